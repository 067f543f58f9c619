// How the 名字推荐 window is built: its choices, table, commands and layout, the order of its
// tab stops, the signals of its controls, and a size that fits the screen.
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSpinBox>
#include <QSplitter>
#include <QTableView>
#include <QVBoxLayout>

#include "naming/classics.h"
#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "recommend/reading_text.h"
#include "recommend/recommend_window.h"
#include "recommend/result_model.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr int kCaptionPixels = 14;

QLabel* caption(const char* text, QWidget* parent) {
    auto* label = new QLabel(utf8Q(text), parent);
    styleTealCaption(label, kCaptionPixels);
    label->setContentsMargins(4, 2, 4, 2);
    return label;
}

template <typename Widget>
Widget* named(Widget* widget, const char* objectName) {
    widget->setObjectName(QLatin1String(objectName));
    return widget;
}

}  // namespace

RecommendWindow::RecommendWindow(const NamingData& data, const std::vector<std::string>& surnames,
                                 QWidget* parent)
    : QDialog(parent),
      model_(new ResultModel(data, this)),
      proxy_(new ResultFilterProxy(model_, this)),
      sortColumn_(kScoreColumn) {
    setWindowTitle(utf8Q("名字推荐"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinMaxButtonsHint |
                   Qt::WindowCloseButtonHint);
    setModal(true);

    makeChoices(surnames);
    makeTable();
    makeCommands();
    QSplitter* splitter = layOut();
    setTabOrders();
    // Enter presses the focused button, and never a default button that would close the window.
    pressFocusedButtonOnEnter(this);
    makeProgressDialog();
    connectControls();
    fitToScreen(splitter);
    surnameBox_->setFocus();
}

// The choices along the top: surname, gender, length, the 字辈 character and where it stands.
void RecommendWindow::makeChoices(const std::vector<std::string>& surnames) {
    surnameBox_ = named(new QComboBox(this), "surnameBox");
    surnameBox_->setEditable(true);
    surnameBox_->setInsertPolicy(QComboBox::NoInsert);
    surnameBox_->setCompleter(nullptr);  // Enter takes what was typed, never a completion
    surnameBox_->setMaxVisibleItems(20);
    for (const std::string& s : surnames) surnameBox_->addItem(utf8Q(s));
    surnameBox_->setCurrentIndex(-1);
    surnameBox_->setEditText(QString());
    surnameBox_->setMinimumContentsLength(6);
    surnameBox_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    surnameBox_->installEventFilter(this);
    surnameBox_->lineEdit()->installEventFilter(this);

    genderBox_ = named(new QComboBox(this), "genderBox");
    genderBox_->addItems({utf8Q("不限"), utf8Q("男"), utf8Q("女")});
    lengthBox_ = named(new QComboBox(this), "lengthBox");
    lengthBox_->addItems({utf8Q("双名"), utf8Q("单名")});
    fixedEdit_ = named(new QLineEdit(this), "fixedEdit");
    fixedEdit_->setMaxLength(4);
    fixedEdit_->setPlaceholderText(utf8Q("可不填"));
    fixedEdit_->setMaximumWidth(fontMetrics().horizontalAdvance(utf8Q("可不填可")) + 12);
    fixedAtBox_ = named(new QComboBox(this), "fixedAtBox");
    fixedAtBox_->addItems({utf8Q("名的第一个字"), utf8Q("名的第二个字")});
    withEdit_ = named(new QLineEdit(this), "withEdit");
    withEdit_->setMaxLength(4);
    withEdit_->setPlaceholderText(utf8Q("可不填"));
    withEdit_->setToolTip(utf8Q("名字里要有的一个字，在第一个或第二个字都可以"));
    withEdit_->setMaximumWidth(fixedEdit_->maximumWidth());
    sourceBox_ = named(new QComboBox(this), "sourceBox");
    sourceBox_->addItems({utf8Q("不限"), utf8Q("任一古籍")});
    for (size_t b = 0; b < kBookCount; ++b)
        sourceBox_->addItem(utf8Q(bookName(static_cast<Book>(b))));
    sourceBox_->setToolTip(utf8Q("只列两个字出自同一句古籍的名字"));
    minimumScoreBox_ = named(new QSpinBox(this), "minimumScoreBox");
    minimumScoreBox_->setRange(0, 100);
    minimumScoreBox_->setSingleStep(5);
    minimumScoreBox_->setSpecialValueText(utf8Q("不限"));
    minimumScoreBox_->setToolTip(utf8Q("只显示评分不低于此的名字"));
    recommendButton_ = namedButton("推荐", "recommendButton", this);
}

// The table of names, sorted by a click on a column's header, and the box of the reading.
void RecommendWindow::makeTable() {
    table_ = named(new QTableView(this), "table");
    table_->installEventFilter(this);
    table_->setModel(proxy_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setTabKeyNavigation(false);
    table_->setAlternatingRowColors(true);
    table_->setWordWrap(false);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 8);
    QHeaderView* header = table_->horizontalHeader();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(true);
    header->setSortIndicator(kScoreColumn, Qt::DescendingOrder);
    header->setStretchLastSection(true);
    header->setFont(songFont(kCaptionPixels));
    const int em = table_->fontMetrics().horizontalAdvance(QChar(0x56FD));
    const int widths[kColumnCount] = {5 * em, 3 * em, 9 * em, 6 * em,  9 * em, 8 * em,
                                      8 * em, 4 * em, 4 * em, 14 * em, 20 * em};
    for (int c = 0; c < kColumnCount; ++c) header->resizeSection(c, widths[c]);

    details_ = named(new QPlainTextEdit(this), "details");
    details_->setReadOnly(true);
    details_->setTabChangesFocus(true);
    details_->setPlaceholderText(utf8Q("选中一个名字，这里显示它的五格、三才和评分说明。"));
}

void RecommendWindow::makeCommands() {
    importButton_ = namedButton("导入名单评分", "importButton", this);
    exportButton_ = namedButton("导出", "exportButton", this);
    copyButton_ = namedButton("复制", "copyButton", this);
    sendButton_ = namedButton("送到主窗口测算", "sendButton", this);
    compareButton_ = namedButton("比较", "compareButton", this);
    compareButton_->setToolTip(utf8Q("选中两到四个名字，并排比较"));
    keepButton_ = namedButton("收藏", "keepButton", this);
    keepButton_->setToolTip(utf8Q("把选中的名字收进收藏夹（Ctrl+D）"));
    shortlistButton_ = namedButton("收藏夹", "shortlistButton", this);
    keepButton_->hide();
    shortlistButton_->hide();
    closeButton_ = namedButton("关闭", "closeButton", this);
    status_ = named(new QLabel(this), "status");
    status_->setFont(songFont(kCaptionPixels));
}

// The choices, the table beside the details, the commands. Returns the splitter between the
// table and the details.
QSplitter* RecommendWindow::layOut() {
    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(table_);
    splitter->addWidget(details_);
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    // Two rows of choices, so that the window fits a screen at 200 %: what the names are, then
    // which of them to show.
    auto* choices = new QHBoxLayout;
    auto* narrowing = new QHBoxLayout;
    const std::pair<const char*, QWidget*> captioned[] = {
        {"姓氏:", surnameBox_}, {"性别:", genderBox_},        {"字数:", lengthBox_},
        {"字辈:", fixedEdit_},  {nullptr, fixedAtBox_},       {"喜欢的字:", withEdit_},
        {"出处:", sourceBox_},  {"最低分:", minimumScoreBox_}};
    for (const auto& [text, control] : captioned) {
        QHBoxLayout* row =
            control == withEdit_ || control == sourceBox_ || control == minimumScoreBox_ ? narrowing
                                                                                         : choices;
        if (text && control != surnameBox_ && control != withEdit_) row->addSpacing(8);
        if (text) row->addWidget(caption(text, this));
        row->addWidget(control);
    }
    choices->addStretch(1);
    narrowing->addSpacing(8);
    narrowing->addWidget(recommendButton_);
    narrowing->addStretch(1);

    // The commands, and the status line above them.
    auto* commands = new QHBoxLayout;
    for (QWidget* b : {importButton_, exportButton_, copyButton_, sendButton_, compareButton_,
                       keepButton_, shortlistButton_}) {
        commands->addWidget(b);
    }
    commands->addStretch(1);
    commands->addWidget(closeButton_);

    auto* all = new QVBoxLayout(this);
    all->addLayout(choices);
    all->addLayout(narrowing);
    all->addWidget(splitter, 1);
    all->addWidget(status_);
    all->addLayout(commands);
    return splitter;
}

void RecommendWindow::setTabOrders() {
    QWidget* chain[] = {surnameBox_,      genderBox_,       lengthBox_,  fixedEdit_,
                        fixedAtBox_,      withEdit_,        sourceBox_,  minimumScoreBox_,
                        recommendButton_, table_,           details_,    importButton_,
                        exportButton_,    copyButton_,      sendButton_, compareButton_,
                        keepButton_,      shortlistButton_, closeButton_};
    for (size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

void RecommendWindow::connectControls() {
    connectHandler(recommendButton_, &QPushButton::clicked, this, &RecommendWindow::onRecommend);
    connectHandler(importButton_, &QPushButton::clicked, this, &RecommendWindow::onImportList);
    connectHandler(exportButton_, &QPushButton::clicked, this, &RecommendWindow::onExport);
    connectHandler(copyButton_, &QPushButton::clicked, this, &RecommendWindow::onCopy);
    connectHandler(sendButton_, &QPushButton::clicked, this, &RecommendWindow::onSend);
    connectHandler(compareButton_, &QPushButton::clicked, this, &RecommendWindow::onCompare);
    connectHandler(keepButton_, &QPushButton::clicked, this, &RecommendWindow::onKeep);
    connectHandler(shortlistButton_, &QPushButton::clicked, this, &RecommendWindow::onShortlist);
    auto* keepKey = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_D), table_, nullptr, nullptr,
                                  Qt::WidgetWithChildrenShortcut);
    connect(keepKey, &QShortcut::activated, this, [this] {
        if (shortlistDb_) guarded([&] { onKeep(); });
    });
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    // A surname picked from the drop-down (Enter or a click in it) is recommended at once.
    connect(
        surnameBox_, &QComboBox::activated, this,
        [this] {
            if (!importing()) guarded([&] { onRecommend(); });
        },
        Qt::QueuedConnection);
    connectHandler(table_, &QTableView::doubleClicked, this, &RecommendWindow::onSend);
    connectHandler(table_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
                   &RecommendWindow::showDetails);
    connect(table_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { guarded([&] { sortByColumn(section); }); });
    connectHandler(model_, &ResultModel::sortFinished, this, &RecommendWindow::orderTaken);
    // The row current when the sorted order comes (the user may have moved on meanwhile).
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        const QModelIndex current = table_->currentIndex();
        currentBeforeSort_ =
            current.isValid() ? model_->storedIndex(proxy_->mapToSource(current).row()) : -1;
    });
    auto* copyKey =
        new QShortcut(QKeySequence::Copy, table_, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connectHandler(copyKey, &QShortcut::activated, this, &RecommendWindow::onCopy);
    // Alt+1 … Alt+9 sort by the first nine columns from the keyboard, as a click on a header does.
    for (int c = 0; c < std::min<int>(kColumnCount, 9); ++c) {
        auto* sortKey = new QShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + c)), this);
        connect(sortKey, &QShortcut::activated, this,
                [this, c] { guarded([&] { sortByColumn(c); }); });
    }
    connect(lengthBox_, &QComboBox::currentIndexChanged, this, [this](int index) {
        fixedAtBox_->setCurrentIndex(0);
        fixedAtBox_->setEnabled(index == 0);  // a single given name has one place
    });
    // The choices of a box take effect at once on the names of the surname shown.
    for (QComboBox* box : {genderBox_, lengthBox_, fixedAtBox_, sourceBox_}) {
        connect(box, &QComboBox::currentIndexChanged, this, [this] {
            if (!recommendation_.isEmpty() && !importing()) guarded([&] { onRecommend(); });
        });
    }
    connect(minimumScoreBox_, &QSpinBox::valueChanged, this, [this](int score) {
        guarded([&] {
            proxy_->setMinimumScore(score);
            if (!recommendation_.isEmpty()) showRecommendationStatus();
            if (!table_->currentIndex().isValid() && proxy_->rowCount() > 0) {
                table_->setCurrentIndex(proxy_->index(0, 0));
            }
        });
    });
}

// A size that fits the screen, at any scaling.
void RecommendWindow::fitToScreen(QSplitter* splitter) {
    QSize size(1200, 680);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        size = size.boundedTo(area.size() - QSize(40, 60));
        resize(size);
        splitter->setSizes({size.width() * 2 / 3, size.width() / 3});
        move(area.center() - QPoint(size.width() / 2, size.height() / 2));
    } else {
        resize(size);
    }
}

}  // namespace quenvil
