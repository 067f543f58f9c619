// Manual naming window.
#include "manual_naming/manual_naming_window.h"

#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <algorithm>

#include "manual_naming/pair_rows.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

// Lines the heading's two words up with the list's two columns: the first starts where the rows'
// text starts, the second where their second number starts.
void alignHeading(QLabel* heading, const QListWidget* list) {
    // The list draws an item's text this far in from its left edge.
    const int textStart = list->x() - heading->x() + list->frameWidth() +
                          list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, list) +
                          1;
    const QString row = toQ(pairRowText(1, 1));
    const qreal secondColumn = QFontMetricsF(list->font()).horizontalAdvance(row.chopped(1));
    const QStringList words = heading->text().split(QChar(' '), Qt::SkipEmptyParts);
    if (words.size() != 2) return;
    const QString& first = words[0];
    const QString& second = words[1];
    const QFontMetricsF metrics(heading->font());
    const qreal gap = secondColumn - metrics.horizontalAdvance(first);
    const int blanks = std::max(1, qRound(gap / metrics.horizontalAdvance(QChar(' '))));
    heading->setTextFormat(Qt::PlainText);
    heading->setIndent(std::max(0, textStart));
    heading->setText(first + QString(blanks, QChar(' ')) + second);
}

}  // namespace

ManualNamingWindow::ManualNamingWindow(Database& db, QWidget* parent) : QDialog(parent), db_(db) {
    setWindowTitle(utf8Q("手动取名"));
    makeFixedCentred(this, 788, 538);

    Label1 = new QLabel(utf8Q("请输入姓氏:"), this);
    Label1->setGeometry(16, 18, 90, 22);
    Edit1 = new QLineEdit(utf8Q("王"), this);
    Edit1->setGeometry(108, 16, 110, 24);
    BitBtn1 = new QPushButton(utf8Q("系统选字"), this);
    BitBtn1->setGeometry(230, 14, 96, 28);
    BitBtn2 = new QPushButton(utf8Q("关闭"), this);
    BitBtn2->setGeometry(684, 14, 88, 28);
    Label4 = new QLabel(utf8Q("输入名字后回车或者按【系统选字】按钮，点击左边列表框的行。"), this);
    Label4->setGeometry(16, 50, 560, 22);
    Label2 = new QLabel(this);
    Label2->setGeometry(16, 78, 300, 22);
    Label3 = new QLabel(utf8Q("第二个汉字   第三个汉字"), this);
    Label3->setGeometry(16, 104, 300, 22);

    ListBox1 = new QListWidget(this);
    ListBox1->setGeometry(16, 128, 300, 394);
    ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListBox1->setSortingEnabled(false);
    ListBox1->setUniformItemSizes(true);
    // Fixed-pitch digits keep the blanks of a row lined up as a second column.
    QFont bold = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    bold.setBold(true);
    bold.setPixelSize(14);
    ListBox1->setFont(bold);
    setTextColor(ListBox1, QColor(255, 0, 0));
    ListBox1->setStyleSheet(QStringLiteral("QListWidget::item { height: 20px; }"));
    alignHeading(Label3, ListBox1);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setGeometry(332, 78, 440, 218);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(332, 304, 440, 218);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connectHandler(BitBtn1, &QPushButton::clicked, this, &ManualNamingWindow::BitBtn1Click);
    connectHandler(Edit1, &QLineEdit::returnPressed, this, &ManualNamingWindow::BitBtn1Click);
    connectHandler(BitBtn2, &QPushButton::clicked, this, &ManualNamingWindow::BitBtn2Click);
    // Every change of the selection (mouse or arrow keys), a click, a double-click and Enter pick
    // the row.
    connectHandler(ListBox1, &QListWidget::currentRowChanged, this,
                   &ManualNamingWindow::ListBox1DblClick);
    connectHandler(ListBox1, &QListWidget::itemClicked, this,
                   &ManualNamingWindow::ListBox1DblClick);
    connectHandler(ListBox1, &QListWidget::itemDoubleClicked, this,
                   &ManualNamingWindow::ListBox1DblClick);
    connectHandler(ListBox1, &QListWidget::itemActivated, this,
                   &ManualNamingWindow::ListBox1DblClick);
    pressFocusedButtonOnEnter(this);

    guarded([this] { BitBtn1Click(); });
}

void ManualNamingWindow::BitBtn1Click() {
    const Suggestion s = suggestPairs(fromQ(Edit1->text()), db_.strokes);
    Label2->setText(toQ(s.label));
    const QSignalBlocker quiet(ListBox1);  // refilling the list is not a pick
    ListBox1->clear();
    ListBox1->setEnabled(true);
    for (const std::string& row : s.rows) ListBox1->addItem(toQ(row));
    ListBox1->setCurrentRow(-1);
    ListBox1->setEnabled(s.listEnabled);
}

void ManualNamingWindow::ListBox1DblClick() {
    QListWidgetItem* item = ListBox1->currentItem();
    if (!item || !item->isSelected()) return;
    const auto pair = parsePairRow(fromQ(item->text()));
    if (!pair) return;
    Memo1->clear();
    Memo2->clear();
    const auto second = charactersOfCount(db_.characterQuery, pair->first);
    if (second) {
        setLines(Memo1, {second->first, second->second});
        showFromStart(Memo1);
    }
    const auto third = charactersOfCount(db_.characterQuery, pair->second);
    if (third) {
        setLines(Memo2, {third->first, third->second});
        showFromStart(Memo2);
    }
}

void ManualNamingWindow::BitBtn2Click() { close(); }

}  // namespace quenvil
