// The 名字推荐 window: a user's list scored on a worker thread, with a progress dialog.
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>

#include "recommend/list_scoring.h"
#include "recommend/recommend_window.h"
#include "recommend/result_model.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr int kProgressSteps = 1000;

}  // namespace

// The progress of an import: modal to this window, which keeps painting. It shows from the
// start of an import to its end; its 取消, Escape and its close box all cancel the import.
void RecommendWindow::makeProgressDialog() {
    progress_ = new QProgressDialog(this);
    progress_->setObjectName(QStringLiteral("progressDialog"));
    progress_->setWindowTitle(utf8Q("导入名单评分"));
    progress_->setWindowModality(Qt::WindowModal);
    auto* label = new QLabel(progress_);
    label->setFont(status_->font());
    progress_->setLabel(label);
    // The dialog's own button, with the text set: a button set in its place would add a second
    // Escape shortcut, and two make Escape ambiguous, so that it does nothing.
    progress_->setCancelButtonText(utf8Q("取消"));
    progress_->findChild<QPushButton*>()->setObjectName(QStringLiteral("cancelImportButton"));
    progress_->setRange(0, kProgressSteps);
    progress_->setMinimumWidth(360);
    // Shown and hidden by the import alone: not on a timer of its own, nor when the bar is full.
    progress_->setAutoReset(false);
    progress_->setAutoClose(false);
    progress_->setMinimumDuration(0);
    progress_->reset();  // stops the timer that would show it after minimumDuration
    connectHandler(progress_, &QProgressDialog::canceled, this, &RecommendWindow::onCancelImport);
}

void RecommendWindow::onImportList() {
    if (importing()) return;
    const auto chosen =
        Dialogs::current().openFile(this, utf8Q("名单 (*.txt *.csv);;所有文件 (*)"));
    if (!chosen) return;
    importName_ = QFileInfo(*chosen).fileName();
    recommendation_.clear();  // the choices no longer describe the table
    model_->clear();
    details_->clear();
    resetOrder();
    table_->horizontalHeader()->setSortIndicatorShown(false);  // rows come in file order
    setStatus(utf8Q("正在评分 %1").arg(importName_));
    progress_->setLabelText(utf8Q("正在读取 %1 ……").arg(importName_));
    progress_->setValue(0);
    const uint64_t id = ++jobId_;
    // The sinks run on the worker; what they hand over is taken on this window's thread, and
    // dropped when the job is no longer the current one (cancelled, or the window gone).
    auto onBatch = [this, id](ScoredBatch&& batch) {
        auto shared = std::make_shared<ScoredBatch>(std::move(batch));
        QMetaObject::invokeMethod(
            this, [this, id, shared] { guarded([&] { takeBatch(id, *shared); }); },
            Qt::QueuedConnection);
    };
    auto onEnd = [this, id](const ScoringEnd& end) {
        QMetaObject::invokeMethod(
            this, [this, id, end] { guarded([&] { importEnded(id, end); }); },
            Qt::QueuedConnection);
    };
    job_ = std::make_unique<ListScoring>(model_->maker(), pathFromQ(*chosen), onBatch, onEnd);
    progress_->show();
}

void RecommendWindow::takeBatch(uint64_t job, ScoredBatch& batch) {
    if (job != jobId_ || !job_) return;
    model_->append(std::move(batch.rows), batch.notes);
    job_->batchTaken();
    progress_->setLabelText(utf8Q("%1：已评分 %2 个名字").arg(importName_).arg(model_->size()));
    const double part = batch.total ? static_cast<double>(batch.done) / batch.total : 1.0;
    // Last: the value of a modal progress dialog turns the event loop once, and what runs there
    // (the next batch, the end, 取消) finds this batch complete.
    progress_->setValue(static_cast<int>(part * kProgressSteps));
}

void RecommendWindow::importEnded(uint64_t job, const ScoringEnd& end) {
    if (job != jobId_ || !job_) return;
    job_.reset();  // the worker has finished: this only joins it
    if (!end.error.empty()) {
        importStopped(QString());
        Dialogs::current().message(QString::fromStdString(end.error));
        return;
    }
    importStopped(utf8Q("%1：%2 个名字").arg(importName_).arg(model_->size()));
}

void RecommendWindow::onCancelImport() {
    if (!job_) return;
    ++jobId_;      // what the worker handed over and is still queued is dropped
    job_.reset();  // stops it and waits
    importStopped(utf8Q("%1：已取消，已评分的 %2 个名字").arg(importName_).arg(model_->size()));
}

// The table keeps the rows taken so far (a cancel keeps the names scored before it), best first.
void RecommendWindow::importStopped(const QString& how) {
    progress_->reset();
    progress_->hide();
    activateWindow();  // back from the progress dialog
    if (!focusWidget()) importButton_->setFocus();
    model_->sortBestFirst();
    resetOrder();
    table_->horizontalHeader()->setSortIndicatorShown(true);
    setStatus(how);
    if (model_->size() > 0) table_->setCurrentIndex(proxy_->index(0, 0));
}

}  // namespace quenvil
