// Main window.
#include "app/main_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QUrl>
#include <algorithm>
#include <memory>

#include "analysis/five_grids.h"
#include "auto_naming/auto_naming_window.h"
#include "auto_naming/name_list.h"
#include "data/folders.h"
#include "data/user_database.h"
#include "manual_naming/manual_naming_window.h"
#include "naming/naming_data.h"
#include "naming/recommend.h"
#include "recommend/recommend_window.h"
#include "semi_auto_naming/name_import.h"
#include "semi_auto_naming/semi_auto_naming_window.h"
#include "ui/dialogs.h"
#include "ui/error_text.h"
#include "ui/handler_guard.h"
#include "ui/help_window.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr int kClientWidth = 683;
constexpr int kClientHeight = 472;
constexpr int kButtonRowHeight = 44;  // the panel fills the window below the command buttons

// What opening the user's copy of the database found, shown at start-up.
constexpr const char* kRepairedCopyMessage =
    "你的数据库副本已损坏，已改名保存为 %1，并换上了一份新的副本；从旧副本中找回了 %2 "
    "个导入的名字。";
constexpr const char* kDamagedCopyMessage = "你的数据库副本已损坏。";
constexpr const char* kOldReferenceDataMessage =
    "你的数据库副本无法换上新版本的参考数据，暂时继续使用原来的数据。";

template <typename Widget>
Widget* place(Widget* w, int x, int y, int width, int height) {
    w->setGeometry(x, y, width, height);
    return w;
}

// The surnames of the recommendation window's surname box: those of the name lists (in their
// order) that the engine can read, then the compound surnames.
std::vector<std::string> recommendableSurnames(const NamingData& naming,
                                               const std::filesystem::path& systemFolder) {
    std::vector<std::string> surnames;
    const auto add = [&](std::string s) {
        if (std::find(surnames.begin(), surnames.end(), s) == surnames.end()) {
            surnames.push_back(std::move(s));
        }
    };
    std::error_code ec;
    if (std::filesystem::is_directory(nameListFolder(systemFolder), ec)) {
        try {
            for (std::string& s : surnameEntries(nameListFolder(systemFolder))) {
                if (isKnownSurname(naming, s)) add(std::move(s));
            }
        } catch (const std::filesystem::filesystem_error&) {
            surnames.clear();  // the compound surnames alone
        }
    }
    for (const std::string& s : naming.compoundSurnames()) add(s);
    return surnames;
}

}  // namespace

MainWindow::MainWindow(const AppFolders& folders)
    : folders_(folders), helpOpener_(QStandardPaths::findExecutable(QStringLiteral("xdg-open"))) {
    setWindowTitle(QStringLiteral("Quenvil"));
    makeFixedCentred(this, kClientWidth, kClientHeight);
    makeCommandButtons();
    makeAnalysisPanel();

    connectHandler(nameEdit_, &QLineEdit::returnPressed, this, &MainWindow::onNameEntered);
    connectHandler(analyseButton_, &QPushButton::clicked, this, &MainWindow::onAnalyse);
    connectHandler(autoNamingButton_, &QPushButton::clicked, this, &MainWindow::onAutoNaming);
    connectHandler(manualNamingButton_, &QPushButton::clicked, this, &MainWindow::onManualNaming);
    connectHandler(semiAutoNamingButton_, &QPushButton::clicked, this,
                   &MainWindow::onSemiAutoNaming);
    connectHandler(recommendButton_, &QPushButton::clicked, this, &MainWindow::onRecommend);
    connectHandler(helpButton_, &QPushButton::clicked, this, &MainWindow::onHelp);
    connectHandler(exitButton_, &QPushButton::clicked, this, &MainWindow::onExit);
    pressFocusedButtonOnEnter(this);

    openDatabase();
}

// The row of command buttons along the top, in this order from the left.
void MainWindow::makeCommandButtons() {
    const struct {
        QPushButton** button;
        const char* objectName;
        const char* caption;
    } commands[] = {{&autoNamingButton_, "autoNamingButton", "自动取名"},
                    {&semiAutoNamingButton_, "semiAutoNamingButton", "半自动取名"},
                    {&manualNamingButton_, "manualNamingButton", "手动取名"},
                    {&helpButton_, "helpButton", "帮助"},
                    {&exitButton_, "exitButton", "退出"},
                    {&recommendButton_, "recommendButton", "名字推荐"}};
    int x = 8;
    for (const auto& c : commands) {
        *c.button = place(new QPushButton(utf8Q(c.caption), this), x, 8, 104, 28);
        (*c.button)->setObjectName(QLatin1String(c.objectName));
        x += 112;
    }
}

// The panel below the buttons: the name, its stroke counts and the report.
void MainWindow::makeAnalysisPanel() {
    auto* panel = place(new QFrame(this), 0, kButtonRowHeight, kClientWidth,
                        kClientHeight - kButtonRowHeight);
    panel->setFrameShape(QFrame::StyledPanel);
    auto* nameCaption = place(new QLabel(utf8Q("请输入姓名:"), panel), 8, 13, 97, 22);
    nameCaption->setObjectName(QStringLiteral("nameCaption"));
    styleTealCaption(nameCaption, 16);
    nameEdit_ = place(new QLineEdit(utf8Q("黄思婷"), panel), 128, 11, 153, 21);
    nameEdit_->setObjectName(QStringLiteral("nameEdit"));
    analyseButton_ = place(new QPushButton(utf8Q("测算名字五行"), panel), 296, 12, 97, 25);
    analyseButton_->setObjectName(QStringLiteral("analyseButton"));
    auto* strokeCaption = place(new QLabel(utf8Q("请修正笔画:"), panel), 6, 51, 99, 22);
    styleTealCaption(strokeCaption, 16);
    const char* presets[kSlotCount] = {"12", "9", "12", "0"};
    for (size_t i = 0; i < kSlotCount; ++i) {
        const int x = 128 + 40 * static_cast<int>(i);
        strokeEdits_[i] =
            place(new QLineEdit(QString::fromLatin1(presets[i]), panel), x, 48, 33, 21);
        strokeEdits_[i]->setObjectName(QStringLiteral("strokesOfCharacter%1").arg(i + 1));
    }
    auto* hint =
        place(new QLabel(utf8Q("输入姓名后回车或者修正笔画后点击【测算名字五行】按钮"), panel), 295,
              48, 378, 21);
    styleTealCaption(hint, 14);
    reportView_ = place(new QPlainTextEdit(panel), 3, 77, 673, 351);
    reportView_->setObjectName(QStringLiteral("reportView"));
    reportView_->setReadOnly(true);
    reportView_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    // The report comes first in the panel's tab chain, then the name, the strokes and the button.
    QWidget* chain[] = {reportView_,     nameEdit_,       strokeEdits_[0], strokeEdits_[1],
                        strokeEdits_[2], strokeEdits_[3], analyseButton_};
    for (size_t i = 1; i < std::size(chain); ++i) setTabOrder(chain[i - 1], chain[i]);
}

// Opening the database; what the opening found (a damaged copy replaced, a copy that cannot be
// used) and a failure are reported, and start-up carries on.
void MainWindow::openDatabase() {
    const DataLocation location{folders_.program, folders_.system,
                                folders_.database.empty() ? folders_.program : folders_.database,
                                folders_.home, folders_.problem};
    try {
        const OpenReport report = quenvil::openDatabase(db_, location);
        if (!report.damage.empty()) {
            Dialogs::current().message(
                (report.setAside.empty()
                     ? utf8Q(kDamagedCopyMessage)
                     : utf8Q(kRepairedCopyMessage)
                           .arg(QString::fromStdU16String(report.setAside.u16string()))
                           .arg(report.recoveredNames)) +
                '\n' + QString::fromUtf8(report.damage));
        }
        if (!report.refreshProblem.empty()) {
            Dialogs::current().message(utf8Q(kOldReferenceDataMessage) + '\n' +
                                       QString::fromUtf8(report.refreshProblem));
        }
        if (!report.readingShipped.empty()) {
            Dialogs::current().message(utf8Q(kNoUserCopyMessage) + '\n' +
                                       QString::fromUtf8(report.readingShipped));
        }
    } catch (const DatabaseBusyError& e) {
        // Another program is writing it; the first action after that opens it.
        Dialogs::current().message(utf8Q(kDatabaseBusyMessage) + '\n' +
                                   QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        Dialogs::current().message(errorText(e));
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::setNamingWindows(AutoNamingWindow* auto_, ManualNamingWindow* manual,
                                  SemiAutoNamingWindow* semiAuto) {
    autoNamingWindow_ = auto_;
    manualNamingWindow_ = manual;
    semiAutoNamingWindow_ = semiAuto;
}

void MainWindow::onNameEntered() {
    const NameCut cut = cutName(fromQ(nameEdit_->text()));
    if (cut.outcome == NameCut::Outcome::TooLong) {
        Dialogs::current().information(utf8Q(kNameTooLongMessage));
        return;
    }
    slots_ = {};
    if (cut.outcome == NameCut::Outcome::Blocked) {
        Dialogs::current().information(utf8Q(kInvalidNameMessage));
        return;
    }
    slots_ = cut.slots;
    const StrokeCounts counts = slotStrokes(slots_, db_.strokes);
    for (size_t i = 0; i < kSlotCount; ++i) strokeEdits_[i]->setText(QString::number(counts[i]));
    analyseButton_->click();
}

void MainWindow::onAnalyse() {
    StrokeFieldTexts fields;
    for (size_t i = 0; i < kSlotCount; ++i) fields[i] = fromQ(strokeEdits_[i]->text());
    const std::vector<std::string> lines = analysisReport(fields, slots_, db_.characterQuery);
    setLines(reportView_, lines);
    showFromStart(reportView_);
}

void MainWindow::onAutoNaming() {
    if (!autoNamingWindow_) return;
    autoNamingWindow_->clearResults();
    autoNamingWindow_->exec();
}

void MainWindow::onManualNaming() {
    if (manualNamingWindow_) manualNamingWindow_->exec();
}

void MainWindow::onSemiAutoNaming() {
    if (semiAutoNamingWindow_) semiAutoNamingWindow_->exec();
}

bool MainWindow::ensureNamingData() {
    if (naming_) return true;
    // Read once, on the main thread, before the window (and its worker) exists.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    try {
        naming_ = std::make_unique<NamingData>(loadNamingData(db_.connection));
    } catch (const std::exception& e) {
        QApplication::restoreOverrideCursor();
        Dialogs::current().error(utf8Q("读取名字推荐的数据失败：") + errorText(e));
        return false;  // the next click tries again
    }
    QApplication::restoreOverrideCursor();
    return true;
}

void MainWindow::onRecommend() {
    if (!recommendWindow_) {
        if (!ensureNamingData()) return;
        recommendWindow_ = std::make_unique<RecommendWindow>(
            *naming_, recommendableSurnames(*naming_, folders_.system), this);
        connect(recommendWindow_.get(), &RecommendWindow::nameSent, this,
                [this](const QString& name) { guarded([&] { takeRecommendedName(name); }); });
        recommendWindow_->setShortlistDatabase(&db_);
    }
    recommendWindow_->exec();
}

void MainWindow::takeRecommendedName(const QString& name) {
    nameEdit_->setText(name);
    onNameEntered();
}

std::filesystem::path MainWindow::helpPage() const {
    return folders_.program / "help" / u8"Quenvil使用教程.html";
}

void MainWindow::onHelp() {
    const std::filesystem::path page = helpPage();
    const QString file = QString::fromStdU16String(page.u16string());
    if (helpOpener_.isEmpty()) {
        if (QDesktopServices::openUrl(QUrl::fromLocalFile(file))) return;
        showOwnHelp(page);  // the desktop has nothing to open the page with
        return;
    }
    // xdg-open says at once when it cannot show the page (3: no program for it, 4: the program
    // failed), while QDesktopServices only knows that it started: its exit status decides. It
    // runs without a parent, so that a browser it waits for outlives this program.
    auto* opener = new QProcess;
    auto since = std::make_shared<QElapsedTimer>();
    since->start();
    connect(
        opener, &QProcess::finished, this,
        [this, opener, page, since](int code, QProcess::ExitStatus status) {
            opener->deleteLater();
            // A browser closed much later with an error is not a failure to open the page.
            constexpr qint64 kPatienceMs = 15000;
            if ((status != QProcess::NormalExit || code != 0) && since->elapsed() < kPatienceMs) {
                guarded([&] { showOwnHelp(page); });
            }
        });
    connect(opener, &QProcess::errorOccurred, this,
            [this, opener, page](QProcess::ProcessError error) {
                if (error != QProcess::FailedToStart) return;
                opener->deleteLater();
                guarded([&] { showOwnHelp(page); });
            });
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->start(helpOpener_, {file});
}

void MainWindow::showOwnHelp(const std::filesystem::path& page) {
    if (!help_) help_ = new HelpWindow(this);
    help_->showPage(page);
}

void MainWindow::onExit() { QApplication::quit(); }

}  // namespace quenvil
