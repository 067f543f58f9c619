// The help of the main window: the page handed to the desktop's viewer, and the program's own
// help window when there is no viewer or the opener fails; a missing page reported.
#include "ui/help_window.h"

#include <gtest/gtest.h>

#include <QDesktopServices>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>
#include <cstdlib>

#include "app/startup.h"
#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/test_dialogs.h"
#include "support/wait.h"
#include "support/widgets.h"

namespace quenvil {
namespace {

QPushButton* button(MainWindow& w, const char* name) { return test::child<QPushButton>(&w, name); }

// Takes the file URLs that QDesktopServices hands out, as a desktop's viewer would.
class PageViewer : public QObject {
    Q_OBJECT
  public:
    PageViewer() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~PageViewer() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;
  public Q_SLOTS:
    void open(const QUrl& url) { opened << url; }
};

class Help : public ::testing::Test {
  protected:
    void SetUp() override {
        program = createProgram({test::programDir(), test::programDir()});
        dialogs.shown.clear();
        test::showActive(program.mainWindow.get());
        test::tabTo(button(*program.mainWindow, "helpButton"));  // 帮助
    }
    test::RecordingDialogs dialogs;
    Program program;
};

TEST_F(Help, ADesktopViewerGetsThePage) {
    program.mainWindow->setHelpOpener(QString());  // QDesktopServices and its handler
    PageViewer viewer;
    test::pressReturn();
    EXPECT_EQ(viewer.opened, QList<QUrl>{QUrl::fromLocalFile(QString::fromStdU16String(
                                 program.mainWindow->helpPage().u16string()))});
    EXPECT_EQ(program.mainWindow->helpWindow(), nullptr);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// The offscreen platform has nothing to open pages with, as a desktop without a browser.
TEST_F(Help, WithoutAViewerTheProgramShowsThePageItself) {
    if (QGuiApplication::platformName() != "offscreen")
        GTEST_SKIP() << "needs a desktop without a viewer";
    program.mainWindow->setHelpOpener(QString());
    test::pressReturn();
    HelpWindow* help = program.mainWindow->helpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowTitle(), "Quenvil 使用教程");
    // The GBK page converted: its Chinese text, with the preview where it is (on the left).
    const QString text = help->browser()->toPlainText();
    EXPECT_TRUE(text.contains("复姓在下拉框中只显示第一个字")) << text.left(200).toStdString();
    EXPECT_TRUE(text.contains("左边的预览框"));
    EXPECT_FALSE(text.contains("上方的预览框"));
    EXPECT_TRUE(dialogs.shown.isEmpty());
    // Again: the same window comes back.
    help->close();
    test::showActive(program.mainWindow.get());
    button(*program.mainWindow, "helpButton")->setFocus();
    test::pressReturn();
    EXPECT_EQ(program.mainWindow->helpWindow(), help);
    EXPECT_TRUE(help->isVisible());
}

// xdg-open as a script: its exit status, and the page it was given.
struct FakeOpener {
    explicit FakeOpener(int exitStatus) {
        test::writeFile(script, "#!/bin/sh\nprintf '%s' \"$1\" > '" + given.string() + "'\nexit " +
                                    std::to_string(exitStatus) + "\n");
        std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    }
    test::TempDir dir;
    std::filesystem::path script = dir.path() / "xdg-open", given = dir.path() / "given";
};

TEST_F(Help, AnOpenerThatFailsGivesWayToTheProgramsOwnWindow) {
    for (const int status : {3, 4}) {  // no program for the page, or it failed
        FakeOpener opener(status);
        program.mainWindow->setHelpOpener(QString::fromStdString(opener.script.string()));
        test::showActive(program.mainWindow.get());
        button(*program.mainWindow, "helpButton")->setFocus();
        test::pressReturn();
        ASSERT_TRUE(test::waitUntil([&] {
            return program.mainWindow->helpWindow() &&
                   program.mainWindow->helpWindow()->isVisible();
        })) << status;
        EXPECT_EQ(test::readFile(opener.given), program.mainWindow->helpPage().string());
        HelpWindow* help = program.mainWindow->helpWindow();
        // Centred on the main window, and Escape closes it.
        EXPECT_LE((help->frameGeometry().center() - program.mainWindow->frameGeometry().center())
                      .manhattanLength(),
                  4);
        // Escape at the control that has the focus in it closes it.
        ASSERT_NE(help->focusWidget(), nullptr);
        QTest::keyClick(help->focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(help->isVisible()) << status;
    }
    // An opener that cannot be started at all.
    program.mainWindow->setHelpOpener("/nonexistent/xdg-open");
    test::showActive(program.mainWindow.get());
    button(*program.mainWindow, "helpButton")->setFocus();
    test::pressReturn();
    EXPECT_TRUE(test::waitUntil([&] { return program.mainWindow->helpWindow()->isVisible(); }));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

TEST_F(Help, AnOpenerThatShowsThePageIsLeftToIt) {
    FakeOpener opener(0);
    program.mainWindow->setHelpOpener(QString::fromStdString(opener.script.string()));
    test::pressReturn();
    ASSERT_TRUE(test::waitUntil([&] { return std::filesystem::exists(opener.given); }));
    QTest::qWait(300);  // its exit has come by now
    EXPECT_EQ(program.mainWindow->helpWindow(), nullptr);
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST(HelpMissing, AMissingPageIsReported) {
    test::TempDir dir;
    test::buildFixtureDb(dir.path(), test::standardFixture());
    test::RecordingDialogs dialogs;
    Program program = createProgram({dir.path(), dir.path()});
    dialogs.shown.clear();
    button(*program.mainWindow, "helpButton")->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith("error: ")) << dialogs.shown[0].toStdString();
    EXPECT_TRUE(dialogs.shown[0].contains("Quenvil使用教程.html"));
}

}  // namespace
}  // namespace quenvil

#include "help_window_test.moc"
