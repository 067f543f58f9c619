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

    void BitBtn1Click();      // the suggestion
    void ListBox1DblClick();  // the pick: characters of the selected pair
    void BitBtn2Click();      // close

    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* BitBtn1;
    QLabel* Label4;
    QPushButton* BitBtn2;
    QLabel* Label3;
    QLabel* Label2;
    QListWidget* ListBox1;
    QPlainTextEdit* Memo1;
    QPlainTextEdit* Memo2;

  private:
    Database& db_;
};

}  // namespace quenvil
