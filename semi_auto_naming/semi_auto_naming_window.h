// The semi-automatic naming window: import of a user's name list and its filter.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "data/database.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace quenvil {

class SemiAutoNamingWindow : public QDialog {
    Q_OBJECT
  public:
    explicit SemiAutoNamingWindow(Database& db, QWidget* parent = nullptr);

    void Button2Click();  // browse
    void Button1Click();  // import
    void Button3Click();  // filter
    void BitBtn3Click();  // close

    bool holdsLoadedList() const { return loaded_.has_value(); }

    QPlainTextEdit* Memo1;
    QPlainTextEdit* Memo2;
    QLabel* Label1;
    QLineEdit* Edit1;
    QPushButton* Button2;
    QPushButton* Button1;
    QPushButton* Button3;
    QPushButton* BitBtn3;

  private:
    Database& db_;
    std::optional<std::vector<std::string>> loaded_;  // the loaded list, GBK lines
};

}  // namespace quenvil
