// The 名字推荐 window's commands on the names of its table: 复制, 导出, 比较, 收藏 and 收藏夹.
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QItemSelectionModel>
#include <QPushButton>
#include <QTableView>
#include <algorithm>

#include "data/database.h"
#include "data/database_error.h"
#include "data/shortlist.h"
#include "naming/score.h"
#include "recommend/compare_window.h"
#include "recommend/name_export.h"
#include "recommend/recommend_window.h"
#include "recommend/result_model.h"
#include "recommend/shortlist_window.h"
#include "text/utf8.h"
#include "ui/dialogs.h"
#include "ui/qt_text.h"

namespace quenvil {

std::vector<int> RecommendWindow::selectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RecommendWindow::onCompare() {
    const std::vector<int> rows = selectedRows();
    std::vector<ScoredName> names;
    for (const int r : rows) {
        ScoredName s;
        const ResultRow& row = model_->row(proxy_->mapToSource(proxy_->index(r, 0)).row());
        if (row.score >= 0 && scoreName(model_->namingData(), row.name, s)) {
            names.push_back(std::move(s));
        }
    }
    if (names.size() < 2 || names.size() > 4) {
        Dialogs::current().message(utf8Q("请在表中选中两到四个可以评分的名字再比较。"));
        return;
    }
    CompareWindow compare(model_->namingData(), names, this);
    compare.exec();
}

void RecommendWindow::setShortlistDatabase(Database* db) {
    shortlistDb_ = db;
    keepButton_->setVisible(db != nullptr);
    shortlistButton_->setVisible(db != nullptr);
}

void RecommendWindow::onKeep() {
    if (!shortlistDb_) return;
    const std::vector<int> rows = selectedRows();
    const char sex = recommendation_.isEmpty() || genderBox_->currentIndex() == 0 ? 'n'
                     : genderBox_->currentIndex() == 1                            ? 'm'
                                                                                  : 'f';
    size_t kept = 0;
    try {
        shortlistDb_->requireWritable();
        for (const int r : rows) {
            const ResultRow& row = model_->row(proxy_->mapToSource(proxy_->index(r, 0)).row());
            if (row.score < 0) continue;
            addToShortlist(shortlistDb_->connection, row.name,
                           leadingCharacters(row.name, row.surnameCharacters), sex);
            ++kept;
        }
    } catch (const DatabaseBusyError&) {
        Dialogs::current().message(utf8Q("数据库正被其他程序使用，请稍后再收藏。"));
        return;
    } catch (const DatabaseError& e) {
        Dialogs::current().message(utf8Q("不能收藏：") + QString::fromUtf8(e.what()));
        return;
    }
    if (kept == 0) {
        Dialogs::current().message(utf8Q("请先在表中选中要收藏的名字。"));
        return;
    }
    setStatus(utf8Q("已收藏 %1 个名字").arg(kept));
}

void RecommendWindow::onShortlist() {
    if (!shortlistDb_) return;
    ShortlistWindow shortlist(*shortlistDb_, model_->namingData(), this);
    QString sent;
    connect(&shortlist, &ShortlistWindow::nameSent, this, [&sent](const QString& n) { sent = n; });
    shortlist.exec();
    if (!sent.isEmpty()) {
        Q_EMIT nameSent(sent);
        accept();
    }
}

void RecommendWindow::onCopy() {
    const std::vector<int> rows = selectedRows();
    if (rows.empty()) {
        Dialogs::current().message(utf8Q("请先在表中选中要复制的名字。"));
        return;
    }
    // Every row the view has, selected (Ctrl+A), while more are still to come: all the rows the
    // table shows go, as an export takes them, not only those scrolled to.
    if (static_cast<int>(rows.size()) == proxy_->rowCount() && proxy_->canFetchMore({})) {
        QGuiApplication::clipboard()->setText(tabSeparatedAll(*model_, *proxy_));
        setStatus(utf8Q("已复制 %1 个名字").arg(model_->countAtLeast(proxy_->minimumScore())));
        return;
    }
    QGuiApplication::clipboard()->setText(tabSeparated(*model_, *proxy_, rows));
    setStatus(utf8Q("已复制 %1 个名字").arg(rows.size()));
}

void RecommendWindow::onExport() {
    const int shown = model_->countAtLeast(proxy_->minimumScore());
    if (shown == 0) {
        Dialogs::current().message(utf8Q("表中没有可导出的名字。"));
        return;
    }
    const auto file = exportToChosenFile(this, utf8Q("名字推荐.csv"), [&](ExportFormat format) {
        return exportBytes(*model_, *proxy_, format);
    });
    if (!file) return;
    setStatus(utf8Q("已导出 %1 个名字到 %2").arg(shown).arg(QFileInfo(*file).fileName()));
}

}  // namespace quenvil
