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

constexpr int kWidth = 788, kHeight = 538;
constexpr int kCharsViewHeight = 218, kThirdCharsViewY = 304, kPairListHeight = 394;

// One of the two boxes of characters on the right, `y` from the window's top.
QPlainTextEdit* makeCharsView(QWidget* window, int y) {
    auto* view = new QPlainTextEdit(window);
    view->setGeometry(332, y, 440, kCharsViewHeight);
    view->setReadOnly(true);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    return view;
}

}  // namespace

ManualNamingWindow::ManualNamingWindow(Database& db, QWidget* parent) : QDialog(parent), db_(db) {
    setWindowTitle(utf8Q("手动取名"));
    makeFixedCentred(this, kWidth, kHeight);

    auto* surnameCaption = new QLabel(utf8Q("请输入姓氏:"), this);
    surnameCaption->setGeometry(16, 18, 90, 22);
    surnameEdit_ = new QLineEdit(utf8Q("王"), this);
    surnameEdit_->setObjectName(QStringLiteral("surnameEdit"));
    surnameEdit_->setGeometry(108, 16, 110, 24);
    suggestButton_ = new QPushButton(utf8Q("系统选字"), this);
    suggestButton_->setObjectName(QStringLiteral("suggestButton"));
    suggestButton_->setGeometry(230, 14, 96, 28);
    closeButton_ = new QPushButton(utf8Q("关闭"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setGeometry(684, 14, 88, 28);
    auto* hint =
        new QLabel(utf8Q("输入名字后回车或者按【系统选字】按钮，点击左边列表框的行。"), this);
    hint->setGeometry(16, 50, 560, 22);
    surnameStrokesLabel_ = new QLabel(this);
    surnameStrokesLabel_->setObjectName(QStringLiteral("surnameStrokesLabel"));
    surnameStrokesLabel_->setGeometry(16, 78, 300, 22);
    pairHeading_ = new QLabel(utf8Q("第二个汉字   第三个汉字"), this);
    pairHeading_->setObjectName(QStringLiteral("pairHeading"));
    pairHeading_->setGeometry(16, 104, 300, 22);

    makePairList();
    alignHeading(pairHeading_, pairList_);

    secondCharsView_ = makeCharsView(this, 78);
    secondCharsView_->setObjectName(QStringLiteral("secondCharsView"));
    thirdCharsView_ = makeCharsView(this, kThirdCharsViewY);
    thirdCharsView_->setObjectName(QStringLiteral("thirdCharsView"));

    connectHandler(suggestButton_, &QPushButton::clicked, this, &ManualNamingWindow::onSuggest);
    connectHandler(surnameEdit_, &QLineEdit::returnPressed, this, &ManualNamingWindow::onSuggest);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    // Every change of the selection (mouse or arrow keys), a click, a double-click and Enter pick
    // the row.
    connectHandler(pairList_, &QListWidget::currentRowChanged, this,
                   &ManualNamingWindow::onPairPicked);
    connectHandler(pairList_, &QListWidget::itemClicked, this, &ManualNamingWindow::onPairPicked);
    connectHandler(pairList_, &QListWidget::itemDoubleClicked, this,
                   &ManualNamingWindow::onPairPicked);
    connectHandler(pairList_, &QListWidget::itemActivated, this, &ManualNamingWindow::onPairPicked);
    pressFocusedButtonOnEnter(this);
    if (const int available = availableScreenHeight(); available > 0) fitHeight(available);

    guarded([this] { onSuggest(); });
}

void ManualNamingWindow::fitHeight(int availableHeight) {
    // At most half of each box goes.
    const int lacking =
        std::clamp(kHeight + kFrameHeightAllowance - availableHeight, 0, kCharsViewHeight);
    const int upper = lacking / 2, lower = lacking - upper;
    pairList_->resize(pairList_->width(), kPairListHeight - lacking);
    secondCharsView_->resize(secondCharsView_->width(), kCharsViewHeight - upper);
    thirdCharsView_->setGeometry(thirdCharsView_->x(), kThirdCharsViewY - upper,
                                 thirdCharsView_->width(), kCharsViewHeight - lower);
    makeFixedCentred(this, kWidth, kHeight - lacking);
}

void ManualNamingWindow::makePairList() {
    pairList_ = new QListWidget(this);
    pairList_->setObjectName(QStringLiteral("pairList"));
    pairList_->setGeometry(16, 128, 300, kPairListHeight);
    pairList_->setSelectionMode(QAbstractItemView::SingleSelection);
    pairList_->setSortingEnabled(false);
    pairList_->setUniformItemSizes(true);
    // Fixed-pitch digits keep the blanks of a row lined up as a second column.
    QFont bold = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    bold.setBold(true);
    bold.setPixelSize(14);
    pairList_->setFont(bold);
    setTextColor(pairList_, QColor(255, 0, 0));
    pairList_->setStyleSheet(QStringLiteral("QListWidget::item { height: 20px; }"));
}

void ManualNamingWindow::onSuggest() {
    const Suggestion s = suggestPairs(fromQ(surnameEdit_->text()), db_.strokes);
    surnameStrokesLabel_->setText(toQ(s.label));
    const QSignalBlocker quiet(pairList_);  // refilling the list is not a pick
    pairList_->clear();
    pairList_->setEnabled(true);
    for (const std::string& row : s.rows) pairList_->addItem(toQ(row));
    pairList_->setCurrentRow(-1);
    pairList_->setEnabled(s.listEnabled);
}

void ManualNamingWindow::onPairPicked() {
    QListWidgetItem* item = pairList_->currentItem();
    if (!item || !item->isSelected()) return;
    const auto pair = parsePairRow(fromQ(item->text()));
    if (!pair) return;
    secondCharsView_->clear();
    thirdCharsView_->clear();
    const auto second = charactersOfCount(db_.characterQuery, pair->first);
    if (second) {
        setLines(secondCharsView_, {second->first, second->second});
        showFromStart(secondCharsView_);
    }
    const auto third = charactersOfCount(db_.characterQuery, pair->second);
    if (third) {
        setLines(thirdCharsView_, {third->first, third->second});
        showFromStart(thirdCharsView_);
    }
}

}  // namespace quenvil
