// The shortlist window.
#include "recommend/shortlist_window.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <algorithm>

#include "data/database.h"
#include "data/database_error.h"
#include "naming/score.h"
#include "recommend/compare_window.h"
#include "recommend/name_export.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr int kRemarkColumn = 3;

}  // namespace

ShortlistWindow::ShortlistWindow(Database& db, const NamingData& data, QWidget* parent)
    : QDialog(parent), db_(db), data_(data) {
    setWindowTitle(utf8Q("收藏夹"));
    setObjectName(QStringLiteral("shortlistWindow"));
    table_ = new QTableWidget(0, 5, this);
    table_->setObjectName(QStringLiteral("shortlistTable"));
    table_->setHorizontalHeaderLabels(
        {utf8Q("名字"), utf8Q("姓氏"), utf8Q("性别"), utf8Q("备注"), utf8Q("收藏时间")});
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                            QAbstractItemView::AnyKeyPressed);
    table_->setTabKeyNavigation(false);
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->horizontalHeader()->resizeSection(kRemarkColumn, 240);
    auto* remove = namedButton("删除", "removeFromShortlistButton", this);
    auto* compare = namedButton("比较", "compareShortlistButton", this);
    auto* exportAll = namedButton("导出", "exportShortlistButton", this);
    auto* send = namedButton("送到主窗口测算", "sendFromShortlistButton", this);
    auto* close = namedButton("关闭", "closeShortlistButton", this);
    connectHandler(remove, &QPushButton::clicked, this, &ShortlistWindow::onRemove);
    connectHandler(compare, &QPushButton::clicked, this, &ShortlistWindow::onCompare);
    connectHandler(exportAll, &QPushButton::clicked, this, &ShortlistWindow::onExport);
    connectHandler(send, &QPushButton::clicked, this, &ShortlistWindow::onSend);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(table_, &QTableWidget::cellChanged, this,
            [this](int row, int column) { guarded([&] { remarkEdited(row, column); }); });
    layOutTableAndCommands(this, table_, {remove, compare, exportAll, send}, close);
    pressFocusedButtonOnEnter(this);
    resize(760, 460);
    fill();
}

void ShortlistWindow::fill() {
    entries_ = shortlistEntries(db_.connection);
    filling_ = true;
    table_->setRowCount(static_cast<int>(entries_.size()));
    for (size_t r = 0; r < entries_.size(); ++r) {
        const ShortlistEntry& e = entries_[r];
        const QString cells[] = {utf8Q(e.name), utf8Q(e.surname), utf8Q(genderCaption(e.gender)),
                                 utf8Q(e.remark), utf8Q(e.added)};
        for (int c = 0; c < 5; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            if (c != kRemarkColumn) item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            table_->setItem(static_cast<int>(r), c, item);
        }
    }
    filling_ = false;
    if (!entries_.empty()) table_->setCurrentCell(0, 0);
}

// A remark typed into its cell is kept at once; it holds no tab or line break.
void ShortlistWindow::remarkEdited(int row, int column) {
    if (filling_ || column != kRemarkColumn || row < 0 ||
        row >= static_cast<int>(entries_.size())) {
        return;
    }
    QString remark = table_->item(row, column)->text();
    remark.replace(QLatin1Char('\t'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
    try {
        db_.requireWritable();
        setShortlistRemark(db_.connection, entries_[static_cast<size_t>(row)].name,
                           remark.toStdString());
        entries_[static_cast<size_t>(row)].remark = remark.toStdString();
    } catch (const DatabaseError& e) {
        Dialogs::current().message(utf8Q("备注没有保存：") + QString::fromUtf8(e.what()));
    }
}

std::vector<std::string> ShortlistWindow::selectedNames() const {
    std::vector<int> rows;
    for (const QModelIndex& i : table_->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    std::vector<std::string> names;
    for (const int r : rows) names.push_back(entries_[static_cast<size_t>(r)].name);
    return names;
}

void ShortlistWindow::onRemove() {
    const std::vector<std::string> names = selectedNames();
    if (names.empty()) {
        Dialogs::current().message(utf8Q("请先选中要删除的名字。"));
        return;
    }
    try {
        db_.requireWritable();
        for (const std::string& name : names) removeFromShortlist(db_.connection, name);
    } catch (const DatabaseError& e) {
        Dialogs::current().message(utf8Q("没有删除：") + QString::fromUtf8(e.what()));
    }
    fill();
}

void ShortlistWindow::onCompare() {
    std::vector<ScoredName> names;
    for (const std::string& name : selectedNames()) {
        ScoredName s;
        if (scoreName(data_, name, s)) names.push_back(std::move(s));
    }
    if (names.size() < 2 || names.size() > 4) {
        Dialogs::current().message(utf8Q("请选中两到四个名字再比较。"));
        return;
    }
    CompareWindow compare(data_, names, this);
    compare.exec();
}

void ShortlistWindow::onExport() {
    if (entries_.empty()) {
        Dialogs::current().message(utf8Q("收藏夹里没有名字。"));
        return;
    }
    exportToChosenFile(this, utf8Q("收藏夹.csv"), [&](ExportFormat format) {
        return shortlistExportBytes(data_, entries_, format);
    });
}

void ShortlistWindow::onSend() {
    const std::vector<std::string> names = selectedNames();
    if (names.size() != 1) {
        Dialogs::current().message(utf8Q("请选中一个名字。"));
        return;
    }
    Q_EMIT nameSent(utf8Q(names[0]));
    accept();
}

}  // namespace quenvil
