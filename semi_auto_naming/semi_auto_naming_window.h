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

    // What the controls do.
    void onBrowse();  // 浏览.....: a name list file into the preview
    void onImport();  // 导入: the loaded list into the database (xm, xm2)
    void onFilter();  // 筛选: the favourable imported names into the results

    bool holdsLoadedList() const { return loaded_.has_value(); }

  private:
    // The controls; each has its member's name, without the underscore, as object name.
    QPlainTextEdit* previewView_ = nullptr;  // the chosen file, for reading
    QLineEdit* surnameEdit_ = nullptr;       // read-only: the surname of the import
    QPushButton* browseButton_ = nullptr;
    QPushButton* importButton_ = nullptr;
    QPushButton* filterButton_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QPlainTextEdit* resultsView_ = nullptr;

    Database& db_;
    std::optional<std::vector<std::string>> loaded_;  // the loaded list, GBK lines
};

}  // namespace quenvil
