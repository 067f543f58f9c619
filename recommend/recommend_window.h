// The 名字推荐 window: recommended names for a surname, the user's own list scored, the whole
// reading of a chosen name, export and copy. It reads only the engine's data (NamingData),
// never the database, so its worker thread needs no lock.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "naming/naming_data.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QSplitter;
class QTableView;

namespace quenvil {

class ListScoring;
struct Database;
struct ScoredBatch;
struct ScoringEnd;
class ResultModel;
class ResultFilterProxy;

// Each control has its member's name, without the underscore, as object name; the progress
// dialog of an import is "progressDialog", its 取消 "cancelImportButton".
class RecommendWindow : public QDialog {
    Q_OBJECT
  public:
    // surnames: the known surnames for the surname box, in the order to list them.
    RecommendWindow(const NamingData& data, const std::vector<std::string>& surnames,
                    QWidget* parent = nullptr);
    ~RecommendWindow() override;

    // What the controls do.
    void onRecommend();   // 推荐, and Enter in the choices
    void onImportList();  // 导入名单评分
    void onExport();      // 导出
    void onCopy();        // 复制, Ctrl+C in the table
    void onSend();        // 送到主窗口测算, double-click or Enter on a row
    void onCompare();     // 比较: the selected names side by side
    void onKeep();        // 收藏, Ctrl+D in the table: the selected names onto the shortlist
    void onShortlist();   // 收藏夹: the shortlist

    // The database whose shortlist 收藏 writes to; without one the two buttons are hidden.
    void setShortlistDatabase(Database* db);
    void onCancelImport();  // 取消, Escape or the close box of the progress dialog

    bool importing() const { return job_ != nullptr; }
    // The status line: what the table holds ("罗 不限 双名：200 个名字"). The window title
    // repeats it after "名字推荐 - ".
    QString statusText() const;

    ResultModel* model() const { return model_; }
    ResultFilterProxy* proxy() const { return proxy_; }

  Q_SIGNALS:
    // A name (the full name) for the main window's analysis. The window closes after it.
    void nameSent(const QString& name);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The parts of the window, made by the constructor in this order.
    void makeChoices(const std::vector<std::string>& surnames);
    void makeTable();
    void makeCommands();
    QSplitter* layOut();
    void setTabOrders();
    void makeProgressDialog();
    void connectControls();
    void fitToScreen(QSplitter* splitter);

    void setStatus(const QString& text);
    // The status of a recommendation: its choices and how many names it found and shows.
    void showRecommendationStatus();
    void showDetails();
    // The selected rows of the table (proxy rows), in the order shown.
    std::vector<int> selectedRows() const;
    // Why the current row cannot go to the main window; empty when it can.
    QString whyNotSendable() const;
    void sortByColumn(int section);  // a click on a column's header, or Alt and its number
    void resetOrder();               // best first, as the rows came
    void orderTaken();               // the model's sort has finished
    // The import of a user's list: the worker's batches and end, taken on this window's thread.
    void takeBatch(uint64_t job, ScoredBatch& batch);
    void importEnded(uint64_t job, const ScoringEnd& end);
    void importStopped(const QString& how);

    // The choices.
    QComboBox* surnameBox_ = nullptr;
    QComboBox* genderBox_ = nullptr;       // 不限 / 男 / 女
    QComboBox* lengthBox_ = nullptr;       // 双名 / 单名
    QLineEdit* fixedEdit_ = nullptr;       // the 字辈 character
    QComboBox* fixedAtBox_ = nullptr;      // where it stands in the given name
    QLineEdit* withEdit_ = nullptr;        // a character the given name must hold
    QComboBox* sourceBox_ = nullptr;       // 不限 / 任一古籍 / one book of the classics
    QSpinBox* minimumScoreBox_ = nullptr;  // 最低分: hides the rows below it
    QPushButton* recommendButton_ = nullptr;
    // The names and the reading of the selected one.
    QTableView* table_ = nullptr;
    QPlainTextEdit* details_ = nullptr;
    // The commands under the table.
    QPushButton* importButton_ = nullptr;
    QPushButton* exportButton_ = nullptr;
    QPushButton* copyButton_ = nullptr;
    QPushButton* sendButton_ = nullptr;
    QPushButton* compareButton_ = nullptr;
    QPushButton* keepButton_ = nullptr;
    QPushButton* shortlistButton_ = nullptr;
    Database* shortlistDb_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QLabel* status_ = nullptr;
    // Shown while a list is scored; modal to this window, which keeps painting.
    QProgressDialog* progress_ = nullptr;

    ResultModel* model_;
    ResultFilterProxy* proxy_;
    int sortColumn_;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    // While the model sorts: the status to show again. The row current when the model was last
    // reset (its place in the rows' own order, or -1).
    std::optional<QString> statusBeforeSort_;
    int currentBeforeSort_ = -1;
    std::unique_ptr<ListScoring> job_;
    uint64_t jobId_ = 0;  // batches of an earlier job are dropped
    QString importName_;
    // The choices and count of the recommendation the table holds; empty when it holds a list.
    QString recommendation_;
    size_t recommended_ = 0;
};

}  // namespace quenvil
