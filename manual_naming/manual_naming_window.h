// The manual naming window: favourable stroke pairs for a surname and the characters of a pair.
#pragma once

#include <QDialog>

#include "data/database.h"

class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;

namespace quenvil {

class ManualNamingWindow : public QDialog {
    Q_OBJECT
  public:
    // The creation step runs the suggestion once for the preset surname.
    explicit ManualNamingWindow(Database& db, QWidget* parent = nullptr);

    // What the controls do.
    void onSuggest();     // 系统选字, or Enter in the surname field: the favourable pairs
    void onPairPicked();  // a pair picked in the list: the characters of its two counts

    // On a screen lower than the window and its frame (1080 pixels at 200 %), the pair list and
    // the two boxes of characters give up the difference, so that nothing is cut off; what they
    // hold scrolls. Nothing changes on a screen tall enough. The constructor calls it with the
    // primary screen's free height.
    void fitHeight(int availableHeight);

  private:
    void makePairList();

    // The controls; each has its member's name, without the underscore, as object name.
    QLineEdit* surnameEdit_ = nullptr;
    QPushButton* suggestButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* surnameStrokesLabel_ = nullptr;  // "王 的笔画是：4"
    QLabel* pairHeading_ = nullptr;    // 第二个汉字   第三个汉字, over the pair list
    QListWidget* pairList_ = nullptr;  // the favourable pairs of stroke counts
    QPlainTextEdit* secondCharsView_ = nullptr;  // the characters of a pair's first count
    QPlainTextEdit* thirdCharsView_ = nullptr;   // ... and of its second count

    Database& db_;
};

}  // namespace quenvil
