// Main window.
#include "app/main_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <algorithm>

#include "analysis/five_grids.h"
#include "auto_naming/auto_naming_window.h"
#include "auto_naming/name_list.h"
#include "data/folders.h"
#include "manual_naming/manual_naming_window.h"
#include "naming/naming_data.h"
#include "naming/recommend.h"
#include "recommend/recommend_window.h"
#include "semi_auto_naming/name_import.h"
#include "semi_auto_naming/semi_auto_naming_window.h"
#include "ui/dialogs.h"
#include "ui/handler_guard.h"
#include "ui/help_window.h"
#include "ui/keyboard.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

constexpr int kClientWidth = 683;
constexpr int kClientHeight = 472;
constexpr int kButtonRowHeight = 44;  // the panel fills the window below the command buttons

template <typename Widget>
Widget* place(Widget* w, int x, int y, int width, int height) {
    w->setGeometry(x, y, width, height);
    return w;
}

}  // namespace

MainWindow::MainWindow(const AppFolders& folders) : folders_(folders) {
    setWindowTitle(QStringLiteral("Quenvil"));
    makeFixedCentred(this, kClientWidth, kClientHeight);

    const struct {
        QPushButton** button;
        const char* caption;
    } commands[] = {{&Button2, "自动取名"}, {&Button7, "半自动取名"}, {&Button3, "手动取名"},
                    {&Button4, "帮助"},     {&Button5, "退出"},       {&Button8, "名字推荐"}};
    int x = 8;
    for (const auto& c : commands) {
        *c.button = place(new QPushButton(utf8Q(c.caption), this), x, 8, 104, 28);
        x += 112;
    }

    Panel1 = place(new QFrame(this), 0, kButtonRowHeight, kClientWidth,
                   kClientHeight - kButtonRowHeight);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Label1 = place(new QLabel(utf8Q("请输入姓名:"), Panel1), 8, 13, 97, 22);
    styleTealCaption(Label1, 16);
    Edit1 = place(new QLineEdit(utf8Q("黄思婷"), Panel1), 128, 11, 153, 21);
    Button6 = place(new QPushButton(utf8Q("测算名字五行"), Panel1), 296, 12, 97, 25);
    Label2 = place(new QLabel(utf8Q("请修正笔画:"), Panel1), 6, 51, 99, 22);
    styleTealCaption(Label2, 16);
    QLineEdit** strokeFields[] = {&Edit2, &Edit3, &Edit4, &Edit5};
    const char* presets[] = {"12", "9", "12", "0"};
    for (int i = 0; i < 4; ++i) {
        *strokeFields[i] =
            place(new QLineEdit(QString::fromLatin1(presets[i]), Panel1), 128 + 40 * i, 48, 33, 21);
    }
    Label3 =
        place(new QLabel(utf8Q("输入姓名后回车或者修正笔画后点击【测算名字五行】按钮"), Panel1),
              295, 48, 378, 21);
    styleTealCaption(Label3, 14);
    Memo1 = place(new QPlainTextEdit(Panel1), 3, 77, 673, 351);
    Memo1->setReadOnly(true);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    setTabOrder(Memo1, Edit1);
    setTabOrder(Edit1, Edit2);
    setTabOrder(Edit2, Edit3);
    setTabOrder(Edit3, Edit4);
    setTabOrder(Edit4, Edit5);
    setTabOrder(Edit5, Button6);

    connectHandler(Edit1, &QLineEdit::returnPressed, this, &MainWindow::Edit1KeyPress);
    connectHandler(Button6, &QPushButton::clicked, this, &MainWindow::Button6Click);
    connectHandler(Button2, &QPushButton::clicked, this, &MainWindow::Button2Click);
    connectHandler(Button3, &QPushButton::clicked, this, &MainWindow::Button3Click);
    connectHandler(Button7, &QPushButton::clicked, this, &MainWindow::Button7Click);
    connectHandler(Button8, &QPushButton::clicked, this, &MainWindow::Button8Click);
    connectHandler(Button4, &QPushButton::clicked, this, &MainWindow::Button4Click);
    connectHandler(Button5, &QPushButton::clicked, this, &MainWindow::Button5Click);
    pressFocusedButtonOnEnter(this);

    // Opening the database; a failure is reported and start-up carries on.
    try {
        db_.open(folders_.database.empty() ? folders_.program : folders_.database);
    } catch (const DatabaseBusyError& e) {
        // Another program is writing it; the first action after that opens it.
        Dialogs::current().message(utf8Q(kDatabaseBusyMessage) + '\n' +
                                   QString::fromUtf8(e.what()));
    } catch (const std::exception& e) {
        Dialogs::current().message(QString::fromUtf8(e.what()));
    }
}

MainWindow::~MainWindow() = default;

void MainWindow::setNamingWindows(AutoNamingWindow* auto_, ManualNamingWindow* manual,
                                  SemiAutoNamingWindow* semiAuto) {
    autoNamingWindow_ = auto_;
    manualNamingWindow_ = manual;
    semiAutoNamingWindow_ = semiAuto;
}

void MainWindow::Edit1KeyPress() {
    const NameCut cut = cutName(fromQ(Edit1->text()));
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
    QLineEdit* fields[] = {Edit2, Edit3, Edit4, Edit5};
    for (size_t i = 0; i < kSlotCount; ++i) fields[i]->setText(QString::number(counts[i]));
    Button6->click();
}

void MainWindow::Button6Click() {
    const StrokeFieldTexts fields = {fromQ(Edit2->text()), fromQ(Edit3->text()),
                                     fromQ(Edit4->text()), fromQ(Edit5->text())};
    const std::vector<std::string> lines = analysisReport(fields, slots_, db_.characterQuery);
    setLines(Memo1, lines);
    showFromStart(Memo1);
}

void MainWindow::Button2Click() {
    if (!autoNamingWindow_) return;
    autoNamingWindow_->clearResults();
    autoNamingWindow_->exec();
}

void MainWindow::Button3Click() {
    if (manualNamingWindow_) manualNamingWindow_->exec();
}

void MainWindow::Button7Click() {
    if (semiAutoNamingWindow_) semiAutoNamingWindow_->exec();
}

void MainWindow::Button8Click() {
    if (!recommendWindow_) {
        if (!naming_) {
            // Read once, on the main thread, before the window (and its worker) exists.
            QApplication::setOverrideCursor(Qt::WaitCursor);
            try {
                naming_ = std::make_unique<NamingData>(loadNamingData(db_.connection));
            } catch (const std::exception& e) {
                QApplication::restoreOverrideCursor();
                Dialogs::current().error(utf8Q("读取名字推荐的数据失败：") +
                                         QString::fromUtf8(e.what()));
                return;  // the next click tries again
            }
            QApplication::restoreOverrideCursor();
        }
        // The surname box lists the surnames of the name lists (in their order) that the
        // engine can read, then the compound surnames.
        std::vector<std::string> surnames;
        std::error_code ec;
        if (std::filesystem::is_directory(nameListFolder(folders_.system), ec)) {
            try {
                for (std::string& s : surnameEntries(nameListFolder(folders_.system))) {
                    if (isKnownSurname(*naming_, s) &&
                        std::find(surnames.begin(), surnames.end(), s) == surnames.end()) {
                        surnames.push_back(std::move(s));
                    }
                }
            } catch (const std::filesystem::filesystem_error&) {
                surnames.clear();  // the compound surnames alone
            }
        }
        for (const std::string& s : naming_->compoundSurnames()) {
            if (std::find(surnames.begin(), surnames.end(), s) == surnames.end()) {
                surnames.push_back(s);
            }
        }
        recommendWindow_ = std::make_unique<RecommendWindow>(*naming_, surnames, this);
        connect(recommendWindow_.get(), &RecommendWindow::nameSent, this,
                [this](const QString& name) { guarded([&] { takeRecommendedName(name); }); });
    }
    recommendWindow_->exec();
}

void MainWindow::takeRecommendedName(const QString& name) {
    Edit1->setText(name);
    Edit1KeyPress();
}

std::filesystem::path MainWindow::helpPage() const {
    return folders_.program / "help" / u8"Quenvil使用教程.html";
}

void MainWindow::Button4Click() {
    const std::filesystem::path page = helpPage();
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdU16String(page.u16string()))))
        return;
    // The desktop has nothing to open the page with: the program's own help window shows it.
    if (!help_) help_ = new HelpWindow(this);
    help_->showPage(page);
}

void MainWindow::Button5Click() { QApplication::quit(); }

}  // namespace quenvil
