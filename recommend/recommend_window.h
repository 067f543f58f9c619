// The 名字推荐 window: recommended names for a surname, the user's own list scored, the whole
// reading of a chosen name, export and copy. It reads only the engine's data (NamingData),
// never the database, so its worker thread needs no lock.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "naming/naming_data.h"

class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace quenvil {

class ListScoring;
struct ScoredBatch;
struct ScoringEnd;
class ResultModel;
class ResultSortProxy;

class RecommendWindow : public QDialog {
    Q_OBJECT
  public:
    // surnames: the known surnames for the surname box, in the order to list them.
    RecommendWindow(const NamingData& data, const std::vector<std::string>& surnames,
                    QWidget* parent = nullptr);
    ~RecommendWindow() override;

    // Handlers.
    void recommendClick();  // 推荐, and Enter in the choices
    void importClick();     // 导入名单评分
    void exportClick();     // 导出
    void copyClick();       // 复制
    void sendClick();       // 送到主窗口测算, double-click or Enter on a row
    void cancelImport();    // 取消 in the progress box

    bool importing() const { return job_ != nullptr; }
    // The status line: what the table holds ("罗 不限 双名：200 个名字"). The window title
    // repeats it after "名字推荐 - ".
    QString statusText() const;

    ResultModel* model() const { return model_; }
    ResultSortProxy* proxy() const { return proxy_; }

    QComboBox* surnameBox;
    QComboBox* genderBox;
    QComboBox* lengthBox;
    QLineEdit* fixedEdit;
    QComboBox* fixedAtBox;
    QPushButton* recommendButton;
    QTableView* table;
    QPlainTextEdit* details;
    QPushButton* importButton;
    QPushButton* exportButton;
    QPushButton* copyButton;
    QPushButton* sendButton;
    QPushButton* closeButton;
    QLabel* status;
    // The progress box of an import.
    QDialog* progressBox;
    QLabel* progressLabel;
    QProgressBar* progressBar;
    QPushButton* cancelButton;

  Q_SIGNALS:
    // A name (the full name) for the main window's analysis. The window closes after it.
    void nameSent(const QString& name);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void setStatus(const QString& text);
    void showDetails();
    void headerClicked(int section);
    void resetOrder();  // best first, as the rows came
    void takeBatch(uint64_t job, ScoredBatch& batch);
    void importEnded(uint64_t job, const ScoringEnd& end);
    void importStopped(const QString& how);

    ResultModel* model_;
    ResultSortProxy* proxy_;
    int sortColumn_;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    std::unique_ptr<ListScoring> job_;
    uint64_t jobId_ = 0;  // batches of an earlier job are dropped
    QString importName_;
};

}  // namespace quenvil
