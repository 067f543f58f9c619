// Automatic naming window.
#include "auto_naming/auto_naming_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include "auto_naming/name_list.h"
#include "data/folders.h"
#include "naming/candidate_filter.h"
#include "text/lines.h"
#include "ui/dialogs.h"
#include "ui/error_text.h"
#include "ui/handler_guard.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr const char* kHeading = "自动取名结果";
constexpr const char* kProgress = "数据处理中，请稍等...";
constexpr const char* kNoSuchSurname = "数据库中不存在此姓";
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);

}  // namespace

AutoNamingWindow::AutoNamingWindow(Database& db, const std::filesystem::path& systemFolder,
                                   QWidget* parent)
    : QDialog(parent), db_(db), folder_(nameListFolder(systemFolder)) {
    setWindowTitle(utf8Q("自动取名"));
    makeFixedCentred(this, 620, 460);

    auto* surnameCaption = new QLabel(utf8Q("请选择或者输入姓氏后回车:"), this);
    surnameCaption->setGeometry(12, 14, 210, 22);
    styleTealCaption(surnameCaption, 14);
    surnameCombo_ = new QComboBox(this);
    surnameCombo_->setObjectName(QStringLiteral("surnameCombo"));
    surnameCombo_->setGeometry(230, 12, 120, 26);
    surnameCombo_->setEditable(true);
    surnameCombo_->setInsertPolicy(QComboBox::NoInsert);
    // Enter reaches the chooser itself (its line edit only gets it handed on): watched here.
    surnameCombo_->installEventFilter(this);
    closeButton_ = new QPushButton(utf8Q("关闭"), this);
    closeButton_->setObjectName(QStringLiteral("closeButton"));
    closeButton_->setGeometry(520, 12, 88, 28);

    auto* nameListCaption = new QLabel(utf8Q("部分名字列表"), this);
    nameListCaption->setGeometry(12, 50, 250, 20);
    setTextColor(nameListCaption, kGreen);
    nameListView_ = new QPlainTextEdit(this);
    nameListView_->setObjectName(QStringLiteral("nameListView"));
    nameListView_->setGeometry(12, 72, 250, 376);
    nameListView_->setReadOnly(true);
    nameListView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    filterButton_ = new QPushButton(utf8Q("筛选->"), this);
    filterButton_->setObjectName(QStringLiteral("filterButton"));
    filterButton_->setGeometry(272, 240, 76, 30);

    resultsHeading_ = new QLabel(utf8Q(kHeading), this);
    resultsHeading_->setObjectName(QStringLiteral("resultsHeading"));
    resultsHeading_->setGeometry(358, 50, 250, 20);
    setTextColor(resultsHeading_, kGreen);
    resultsView_ = new QPlainTextEdit(this);
    resultsView_->setObjectName(QStringLiteral("resultsView"));
    resultsView_->setGeometry(358, 72, 250, 376);
    resultsView_->setReadOnly(true);
    resultsView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    blinkTimer_ = new QTimer(this);
    blinkTimer_->setObjectName(QStringLiteral("blinkTimer"));
    blinkTimer_->setInterval(200);

    connectHandler(surnameCombo_, &QComboBox::activated, this, &AutoNamingWindow::onSurnameChosen);
    connectHandler(filterButton_, &QPushButton::clicked, this, &AutoNamingWindow::onFilter);
    connect(closeButton_, &QPushButton::clicked, this, &QDialog::close);
    connectHandler(blinkTimer_, &QTimer::timeout, this, &AutoNamingWindow::onBlink);
    pressFocusedButtonOnEnter(this);
}

void AutoNamingWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (loaded_) return;
    loaded_ = true;
    guarded([this] { loadSurnames(); });
}

AutoNamingWindow::~AutoNamingWindow() {
    // The chooser loses the focus while the widgets go; a text that names another entry would
    // then pick it, after this window's own members are gone.
    surnameCombo_->disconnect(this);
}

void AutoNamingWindow::loadSurnames() {
    std::vector<std::string> entries;
    try {
        entries = surnameEntries(folder_);
    } catch (const std::filesystem::filesystem_error& e) {
        Dialogs::current().message(
            utf8Q("读不出名单文件夹 %1：%2")
                .arg(QString::fromStdU16String(folder_.u16string()), reasonText(e.code())));
        return;
    }
    surnameCombo_->clear();
    for (const std::string& entry : entries) surnameCombo_->addItem(QString::fromUtf8(entry));
    surnameCombo_->setEditText(entries.empty() ? QString() : QString::fromUtf8(entries.front()));
    onSurnameChosen();
}

void AutoNamingWindow::onSurnameChosen() {
    if (running_) return;  // the list being filtered stays as it is
    // The chooser's text names the file unchanged.
    const std::filesystem::path file =
        folder_ / std::filesystem::path((surnameCombo_->currentText() + ".txt").toStdU16String());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        Dialogs::current().message(utf8Q(kNoSuchSurname));
        return;
    }
    std::vector<std::string> lines = readLinesFile(file);
    names_ = std::move(lines);
    setLines(nameListView_, names_);
    showFromStart(nameListView_);
}

void AutoNamingWindow::onFilter() {
    if (running_) return;  // a second start is ignored
    running_ = true;
    stopRequested_ = false;
    resultsView_->clear();
    resultsHeading_->setText(utf8Q(kProgress));
    blinkTimer_->start();
    std::vector<std::string> found;
    bool completed = false;
    try {
        completed = runFilter(found);
    } catch (...) {
        endRun(found);  // the results so far stay; the label and timer return to idle
        throw;
    }
    endRun(found);
    if (completed) Dialogs::current().message(utf8Q(kFilterDoneMessage));
}

bool AutoNamingWindow::runFilter(std::vector<std::string>& found) {
    NameListFilter filter(names_, db_.strokes);
    while (true) {
        if (yieldSlice_.count() == 0) {
            filter.runLines(1, found);
        } else {
            filter.runUntil(std::chrono::steady_clock::now() + yieldSlice_, found);
        }
        if (filter.finished()) return true;
        appendLines(resultsView_, found);
        found.clear();
        QApplication::processEvents();
        if (stopRequested_) return false;  // the window was closed
    }
}

void AutoNamingWindow::endRun(std::vector<std::string>& found) {
    appendLines(resultsView_, found);
    found.clear();
    resultsHeading_->setText(utf8Q(kHeading));
    blinkTimer_->stop();
    running_ = false;
}

void AutoNamingWindow::clearResults() { resultsView_->clear(); }

void AutoNamingWindow::onBlink() {
    setTextColor(resultsHeading_, textColor(resultsHeading_) == kRed ? kBlue : kRed);
}

void AutoNamingWindow::stopRun() {
    if (running_) stopRequested_ = true;
}

void AutoNamingWindow::closeEvent(QCloseEvent* event) {
    stopRun();
    QDialog::closeEvent(event);
}

void AutoNamingWindow::reject() {
    stopRun();
    QDialog::reject();
}

bool AutoNamingWindow::eventFilter(QObject* watched, QEvent* event) {
    // Enter in the chooser loads the typed surname and goes no further: the window stays.
    if (watched == surnameCombo_ && event->type() == QEvent::KeyPress &&
        isEnterKey(static_cast<QKeyEvent*>(event))) {
        guarded([this] { onSurnameChosen(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quenvil
