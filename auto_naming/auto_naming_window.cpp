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
#include <QTimer>

#include "auto_naming/name_list.h"
#include "data/folders.h"
#include "naming/candidate_filter.h"
#include "text/lines.h"
#include "ui/dialogs.h"
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

    Label1 = new QLabel(utf8Q("请选择或者输入姓氏后回车:"), this);
    Label1->setGeometry(12, 14, 210, 22);
    styleTealCaption(Label1, 14);
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(230, 12, 120, 26);
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    // Enter reaches the chooser itself (its line edit only gets it handed on): watched here.
    ComboBox1->installEventFilter(this);
    Button5 = new QPushButton(utf8Q("关闭"), this);
    Button5->setGeometry(520, 12, 88, 28);

    Label2 = new QLabel(utf8Q("部分名字列表"), this);
    Label2->setGeometry(12, 50, 250, 20);
    setTextColor(Label2, kGreen);
    Memo2 = new QPlainTextEdit(this);
    Memo2->setGeometry(12, 72, 250, 376);
    Memo2->setReadOnly(true);
    Memo2->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Button1 = new QPushButton(utf8Q("筛选->"), this);
    Button1->setGeometry(272, 240, 76, 30);

    Label3 = new QLabel(utf8Q(kHeading), this);
    Label3->setGeometry(358, 50, 250, 20);
    setTextColor(Label3, kGreen);
    Memo3 = new QPlainTextEdit(this);
    Memo3->setGeometry(358, 72, 250, 376);
    Memo3->setReadOnly(true);
    Memo3->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    Timer1 = new QTimer(this);
    Timer1->setInterval(200);

    connectHandler(ComboBox1, &QComboBox::activated, this, &AutoNamingWindow::ComboBox1Select);
    connectHandler(Button1, &QPushButton::clicked, this, &AutoNamingWindow::Button1Click);
    connectHandler(Button5, &QPushButton::clicked, this, &AutoNamingWindow::Button5Click);
    connectHandler(Timer1, &QTimer::timeout, this, &AutoNamingWindow::Timer1Timer);
    pressFocusedButtonOnEnter(this);

    guarded([this] { FormCreate(); });
}

AutoNamingWindow::~AutoNamingWindow() {
    // The chooser loses the focus while the widgets go; a text that names another entry would
    // then pick it, after this window's own members are gone.
    ComboBox1->disconnect(this);
}

void AutoNamingWindow::FormCreate() {
    std::vector<std::string> entries;
    try {
        entries = surnameEntries(folder_);
    } catch (const std::filesystem::filesystem_error& e) {
        Dialogs::current().message(QString::fromStdString(e.code().message()) + ": " +
                                   QString::fromStdU16String(folder_.u16string()));
        return;
    }
    ComboBox1->clear();
    for (const std::string& entry : entries) ComboBox1->addItem(QString::fromUtf8(entry));
    ComboBox1->setEditText(entries.empty() ? QString() : QString::fromUtf8(entries.front()));
    ComboBox1Select();
}

void AutoNamingWindow::ComboBox1Select() {
    if (running_) return;  // the list being filtered stays as it is
    // The chooser's text names the file unchanged.
    const std::filesystem::path file =
        folder_ / std::filesystem::path((ComboBox1->currentText() + ".txt").toStdU16String());
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        Dialogs::current().message(utf8Q(kNoSuchSurname));
        return;
    }
    std::vector<std::string> lines = readLinesFile(file);
    names_ = std::move(lines);
    setLines(Memo2, names_);
    showFromStart(Memo2);
}

void AutoNamingWindow::Button1Click() {
    if (running_) return;  // a second start is ignored
    running_ = true;
    stopRequested_ = false;
    Memo3->clear();
    Label3->setText(utf8Q(kProgress));
    Timer1->start();
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
        appendLines(Memo3, found);
        found.clear();
        QApplication::processEvents();
        if (stopRequested_) return false;  // the window was closed
    }
}

void AutoNamingWindow::endRun(std::vector<std::string>& found) {
    appendLines(Memo3, found);
    found.clear();
    Label3->setText(utf8Q(kHeading));
    Timer1->stop();
    running_ = false;
}

void AutoNamingWindow::clearResults() { Memo3->clear(); }

void AutoNamingWindow::Timer1Timer() {
    setTextColor(Label3, textColor(Label3) == kRed ? kBlue : kRed);
}

void AutoNamingWindow::Button5Click() { close(); }

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
    if (watched == ComboBox1 && event->type() == QEvent::KeyPress &&
        isEnterKey(static_cast<QKeyEvent*>(event))) {
        guarded([this] { ComboBox1Select(); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace quenvil
