// The command buttons of the main window, clicked with the mouse as a user does.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <functional>

#include "app/startup.h"
#include "support/fixture_db.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"

namespace quenvil {
namespace {

// Receives the pages that the desktop is asked to open.
class UrlCatcher : public QObject {
    Q_OBJECT
  public:
    Q_INVOKABLE void open(const QUrl& url) { opened << url; }
    QList<QUrl> opened;
};

class MainWindowCommands : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::standardFixture());
        std::filesystem::create_directories(dir.path() / "xm");
        test::writeFile(dir.path() / "xm" / "王.txt", test::G("王文方\r\n"));
        program = createProgram({dir.path(), dir.path()});
        program.mainWindow->show();
    }
    // Clicks a button; while the modal window that it opens runs, look() sees it, then it is
    // closed. Returns the modal window that was shown, nullptr when none was.
    QWidget* click(QPushButton* button, const std::function<void(QWidget*)>& look = {}) {
        QWidget* shown = nullptr;
        QTimer::singleShot(0, [&] {
            shown = QApplication::activeModalWidget();
            if (!shown) return;
            if (look) look(shown);
            shown->close();
        });
        QTest::mouseClick(button, Qt::LeftButton);
        QCoreApplication::processEvents();
        return shown;
    }
    MainWindow& w() { return *program.mainWindow; }
    QPushButton* button(const char* name) { return test::child<QPushButton>(&w(), name); }
    QPlainTextEdit* autoNamingResults() {
        return test::child<QPlainTextEdit>(program.autoNaming.get(), "resultsView");
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Program program;
};

TEST_F(MainWindowCommands, AutomaticNamingOpensWithItsResultsEmptied) {
    autoNamingResults()->setPlainText("王文方");
    QString resultsWhenShown = "not shown";
    QWidget* shown = click(button("autoNamingButton"), [&](QWidget*) {
        resultsWhenShown = autoNamingResults()->toPlainText();
    });
    EXPECT_EQ(shown, program.autoNaming.get());
    EXPECT_EQ(resultsWhenShown, "");
    EXPECT_FALSE(program.autoNaming->isVisible());  // closing hides it; the main window goes on
    EXPECT_TRUE(w().isVisible());
}

TEST_F(MainWindowCommands, ManualAndSemiAutomaticNamingOpenTheirWindows) {
    EXPECT_EQ(click(button("manualNamingButton")), program.manualNaming.get());
    EXPECT_EQ(click(button("semiAutoNamingButton")), program.semiAutoNaming.get());
    // A second visit shows the same window again.
    EXPECT_EQ(click(button("manualNamingButton")), program.manualNaming.get());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

TEST_F(MainWindowCommands, HelpAsksTheDesktopToOpenTheHelpPage) {
    UrlCatcher catcher;
    QDesktopServices::setUrlHandler("file", &catcher, "open");
    QTest::mouseClick(button("helpButton"), Qt::LeftButton);
    QDesktopServices::unsetUrlHandler("file");
    ASSERT_EQ(catcher.opened.size(), 1);
    EXPECT_EQ(catcher.opened.front().toLocalFile().toStdString(),
              (dir.path() / "help" / "Quenvil使用教程.html").string());
}

}  // namespace
}  // namespace quenvil

#include "main_window_commands_test.moc"
