// The comparison of names.
#include "recommend/compare_window.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTableWidget>

#include "recommend/reading_text.h"
#include "recommend/result_rows.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {

CompareWindow::CompareWindow(const NamingData& data, const std::vector<ScoredName>& names,
                             QWidget* parent)
    : QDialog(parent), rows_(comparisonRows(data, names)) {
    setWindowTitle(utf8Q("比较名字"));
    setObjectName(QStringLiteral("compareWindow"));
    table_ =
        new QTableWidget(static_cast<int>(rows_.size()) - 1, static_cast<int>(names.size()), this);
    table_->setObjectName(QStringLiteral("compareTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(true);
    table_->setTabKeyNavigation(false);
    // The first row (the names) heads the columns, the captions head the rows.
    for (size_t c = 1; c < rows_[0].size(); ++c) {
        table_->setHorizontalHeaderItem(static_cast<int>(c - 1),
                                        new QTableWidgetItem(utf8Q(rows_[0][c])));
    }
    for (size_t r = 1; r < rows_.size(); ++r) {
        table_->setVerticalHeaderItem(static_cast<int>(r - 1),
                                      new QTableWidgetItem(utf8Q(rows_[r][0])));
        for (size_t c = 1; c < rows_[r].size(); ++c) {
            auto* item = new QTableWidgetItem(utf8Q(rows_[r][c]));
            item->setToolTip(item->text());
            table_->setItem(static_cast<int>(r - 1), static_cast<int>(c - 1), item);
        }
    }
    table_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);

    auto* copy = namedButton("复制", "copyComparisonButton", this);
    auto* save = namedButton("保存图片", "saveComparisonButton", this);
    auto* close = namedButton("关闭", "closeComparisonButton", this);
    connectHandler(copy, &QPushButton::clicked, this, &CompareWindow::onCopy);
    connectHandler(save, &QPushButton::clicked, this, &CompareWindow::onSave);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    layOutTableAndCommands(this, table_, {copy, save}, close);
    pressFocusedButtonOnEnter(this);
    QSize size(260 + 220 * static_cast<int>(names.size()), 720);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        size = size.boundedTo(screen->availableGeometry().size() - QSize(40, 80));
    }
    resize(size);
}

void CompareWindow::onCopy() {
    QGuiApplication::clipboard()->setText(utf8Q(comparisonText(rows_)));
}

void CompareWindow::onSave() {
    const auto choice =
        Dialogs::current().saveFile(this, {utf8Q("PNG 图片 (*.png)")}, utf8Q("比较名字.png"));
    if (!choice) return;
    QString file = choice->file;
    if (!file.endsWith(QStringLiteral(".png"), Qt::CaseInsensitive)) file += QStringLiteral(".png");
    if (!grab().save(file, "PNG")) Dialogs::current().message(utf8Q("不能写入文件：") + file);
}

}  // namespace quenvil
