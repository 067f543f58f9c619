// The main window offscreen: start-up, name entry, the report and the error box.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "app/startup.h"
#include "data/database.h"
#include "support/cli_runner.h"
#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"
#include "support/worked_examples.h"
#include "text/gbk.h"

namespace quenvil {
namespace {

using test::G;

// The main window's controls.
QLineEdit* nameEdit(MainWindow& w) { return test::child<QLineEdit>(&w, "nameEdit"); }
QLineEdit* strokeEdit(MainWindow& w, int i) {
    return test::child<QLineEdit>(&w, ("strokesOfCharacter" + std::to_string(i + 1)).c_str());
}
QStringList strokeTexts(MainWindow& w) {
    return {strokeEdit(w, 0)->text(), strokeEdit(w, 1)->text(), strokeEdit(w, 2)->text(),
            strokeEdit(w, 3)->text()};
}
QPushButton* button(MainWindow& w, const char* name) { return test::child<QPushButton>(&w, name); }
QPlainTextEdit* reportView(MainWindow& w) { return test::child<QPlainTextEdit>(&w, "reportView"); }

class MainWindowAnalysis : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::standardFixture());
        std::filesystem::create_directories(dir.path() / "xm");
        program = createProgram({dir.path(), dir.path()});
        dialogs.shown.clear();
    }
    MainWindow& w() { return *program.mainWindow; }
    void enter(const QString& name) {
        nameEdit(w())->setText(name);
        QTest::keyClick(nameEdit(w()), Qt::Key_Return);
    }
    QStringList strokeFields() { return strokeTexts(w()); }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Program program;
};

TEST_F(MainWindowAnalysis, LayoutCaptionsAndPresets) {
    EXPECT_EQ(w().windowTitle(), "Quenvil");
    EXPECT_EQ(w().size(), QSize(683, 472));
    EXPECT_EQ(button(w(), "autoNamingButton")->text(), "自动取名");
    EXPECT_EQ(button(w(), "semiAutoNamingButton")->text(), "半自动取名");
    EXPECT_EQ(button(w(), "manualNamingButton")->text(), "手动取名");
    EXPECT_EQ(button(w(), "helpButton")->text(), "帮助");
    EXPECT_EQ(button(w(), "exitButton")->text(), "退出");
    EXPECT_EQ(button(w(), "analyseButton")->geometry(), QRect(296, 12, 97, 25));
    EXPECT_EQ(reportView(w())->geometry(), QRect(3, 77, 673, 351));
    EXPECT_EQ(strokeEdit(w(), 3)->geometry(), QRect(248, 48, 33, 21));
    EXPECT_EQ(strokeFields(), (QStringList{"12", "9", "12", "0"}));
    EXPECT_TRUE(reportView(w())->isReadOnly());
    EXPECT_EQ(test::child<QLabel>(&w(), "nameCaption")->text(), "请输入姓名:");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

TEST_F(MainWindowAnalysis, EnterFillsTheStrokeFieldsAndTheReport) {
    enter("黄思婷");
    EXPECT_EQ(strokeFields(), (QStringList{"12", "9", "12", "0"}));
    const QStringList lines = reportView(w())->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], "黄  的笔画是: 12");
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], "天格是: 13");
    EXPECT_EQ(reportView(w())->textCursor().position(), 0);
}

// Between user actions the window holds no read transaction: another program can take the
// database at once (an import elsewhere is not kept waiting by an idle window).
TEST_F(MainWindowAnalysis, AnAnalysisLeavesNoReadTransactionOpen) {
    ASSERT_TRUE(test::databaseIsIdle(dir.path()));  // after start-up
    enter("黄思婷");
    ASSERT_FALSE(reportView(w())->toPlainText().isEmpty());
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
    enter("张海伟");  // a lookup of several characters goes through the statement
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
    strokeEdit(w(), 0)->setText("13");
    button(w(), "analyseButton")->click();
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(MainWindowAnalysis, MissingCharacterGivesZeroAndTheTwoCharacterRule) {
    enter("  张海龙 ");
    EXPECT_EQ(strokeFields(), (QStringList{"11", "11", "0", "0"}));
    const QStringList lines = reportView(w())->toPlainText().split('\n');
    EXPECT_EQ(lines[2], "龙  的笔画是: 0");
    EXPECT_EQ(lines[4], "天格是: 12");
    EXPECT_EQ(lines[16], "外格是: 2");
}

TEST_F(MainWindowAnalysis, BlockedAndOverlongNamesAreRefused) {
    enter("黄思婷");
    const QString report = reportView(w())->toPlainText();
    strokeEdit(w(), 0)->setText("3");
    enter("王八蛋");
    EXPECT_EQ(dialogs.shown, QStringList{"information: 输入不合法，请重新输入！"});
    EXPECT_EQ(strokeEdit(w(), 0)->text(), "3");
    EXPECT_EQ(reportView(w())->toPlainText(), report);
    EXPECT_EQ(w().slots(), CharacterSlots{});  // emptied by the entry

    enter("黄思婷");
    dialogs.shown.clear();
    enter("欧阳小小明");  // five units
    EXPECT_EQ(dialogs.shown, QStringList{"information: 姓名最多只能有四个汉字，请重新输入！"});
    EXPECT_EQ(w().slots()[0], G("黄"));  // nothing changed
    EXPECT_EQ(strokeFields(), (QStringList{"12", "9", "12", "0"}));
}

TEST_F(MainWindowAnalysis, EmptyNameAnalysesZeros) {
    enter("   ");
    EXPECT_EQ(strokeFields(), (QStringList{"0", "0", "0", "0"}));
    const QStringList lines = reportView(w())->toPlainText().split('\n');
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], "天格是: 1");
    EXPECT_EQ(lines[16], "五行是: 木水木");
}

TEST_F(MainWindowAnalysis, ConversionErrorIsShownOnceAndKeepsTheReport) {
    enter("黄思婷");
    const QString report = reportView(w())->toPlainText();
    strokeEdit(w(), 1)->setText("九");
    QTest::mouseClick(button(w(), "analyseButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown, QStringList{"error: '九' is not a valid integer value."});
    EXPECT_EQ(reportView(w())->toPlainText(), report);
}

TEST_F(MainWindowAnalysis, DatabaseErrorKeepsTheReportAndTheFields) {
    enter("黄思婷");
    const QString report = reportView(w())->toPlainText();
    w().database().characterQuery.close();  // a table cannot be dropped under an open result
    w().database().connection.execute("drop table sancai");
    QTest::mouseClick(button(w(), "analyseButton"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].contains("no such table: sancai"))
        << dialogs.shown[0].toStdString();
    EXPECT_EQ(reportView(w())->toPlainText(), report);
    // A failing lookup during an entry: the slots hold the new characters, the fields stay.
    dialogs.shown.clear();
    w().database().strokes.dropIndex();
    w().database().characterQuery.close();
    w().database().connection.execute("drop table fantizi");
    enter("张海");
    EXPECT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(w().slots()[1], G("海"));
    EXPECT_EQ(strokeFields(), (QStringList{"12", "9", "12", "0"}));
}

class MainWindowExamples : public MainWindowAnalysis,
                           public ::testing::WithParamInterface<test::WorkedExample> {};

// The fields typed by hand and the button clicked: the report shows the worked-out grids.
TEST_P(MainWindowExamples, TheReportShowsTheWorkedOutGrids) {
    const test::WorkedExample& e = GetParam();
    QLineEdit* fields[] = {strokeEdit(w(), 0), strokeEdit(w(), 1), strokeEdit(w(), 2),
                           strokeEdit(w(), 3)};
    for (int i = 0; i < 4; ++i) fields[i]->setText(QString::fromStdString(e.fields[i]));
    QTest::mouseClick(button(w(), "analyseButton"), Qt::LeftButton);
    const QStringList lines = reportView(w())->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 19);  // no character lines before an entry
    const char* labels[] = {"天格是: ", "人格是: ", "地格是: ", "总格是: ", "外格是: "};
    for (int g = 0; g < 5; ++g) {
        EXPECT_EQ(lines[1 + 3 * g], QString::fromUtf8(labels[g]) + QString::number(e.grids[g]));
    }
    EXPECT_EQ(lines[16], "五行是: " + QString::fromStdString(e.key));
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(ByHand, MainWindowExamples, ::testing::ValuesIn(test::workedExamples()));

TEST_F(MainWindowAnalysis, EditedFieldsAreUsedAndShownAsTyped) {
    enter("黄思婷");
    strokeEdit(w(), 0)->setText("$C");
    strokeEdit(w(), 2)->setText("00");
    button(w(), "analyseButton")->click();
    const QStringList lines = reportView(w())->toPlainText().split('\n');
    EXPECT_EQ(lines[0], "黄  的笔画是: $C");
    EXPECT_EQ(lines[2], "婷  的笔画是: 00");
    EXPECT_EQ(lines[10], "地格是: 9");
}

TEST_F(MainWindowAnalysis, TerminalAndWindowGiveTheSameReport) {
    const auto cli = test::installCli(dir.path());
    for (const char* name : {"黄思婷", "张海", "  李明明明 ", "张海龙a"}) {
        enter(QString::fromUtf8(name));
        const auto r = test::runCli(cli, {"analyze", name});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const QStringList window = reportView(w())->toPlainText().split('\n');
        const auto terminal = test::outputLines(r.out);
        ASSERT_EQ(static_cast<size_t>(window.size()), terminal.size()) << name;
        for (size_t i = 0; i < terminal.size(); ++i) {
            EXPECT_EQ(window[static_cast<int>(i)].toStdString(), terminal[i]) << name;
        }
    }
}

// Enter on a focused button presses it, as Space does; the keypad's Enter too.
TEST_F(MainWindowAnalysis, EnterOnAFocusedButtonPressesIt) {
    test::showActive(&w());
    strokeEdit(w(), 0)->setFocus();
    test::press(Qt::Key_A, Qt::ControlModifier);
    test::type("3");
    test::tabTo(button(w(), "analyseButton"));  // 测算名字五行
    test::pressReturn();
    QStringList lines = reportView(w())->toPlainText().split('\n');
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[1], "天格是: 4");
    strokeEdit(w(), 0)->setFocus();
    test::press(Qt::Key_A, Qt::ControlModifier);
    test::type("7");
    test::tabTo(button(w(), "analyseButton"));
    test::pressKeypadEnter();
    lines = reportView(w())->toPlainText().split('\n');
    EXPECT_EQ(lines[1], "天格是: 8");
    EXPECT_EQ(QApplication::focusWidget(), button(w(), "analyseButton"));
}

// Enter on 自动取名 opens the automatic naming window; Enter in its chooser keeps it open, Enter on
// its 关闭 closes it, and the focus is back on 自动取名.
TEST_F(MainWindowAnalysis, EnterOpensTheAutomaticNamingWindowAndItsChooserKeepsIt) {
    test::writeFile(dir.path() / "xm" / "欧阳.txt", G("欧阳娜") + "\r\n");
    AutoNamingWindow& autoNaming = *program.autoNaming;
    test::showActive(&w());
    test::tabTo(button(w(), "autoNamingButton"));
    const test::WhenModal inside([&](QWidget* modal) {
        EXPECT_EQ(modal, &autoNaming);
        EXPECT_EQ(QApplication::focusWidget(), test::child<QComboBox>(&autoNaming, "surnameCombo"));
        // The folder is listed as the window opens: the chooser shows 欧, replaced by what is
        // typed.
        EXPECT_EQ(test::child<QComboBox>(&autoNaming, "surnameCombo")->currentText(), "欧");
        test::press(Qt::Key_A, Qt::ControlModifier);
        test::type("欧阳");
        test::pressReturn();
        EXPECT_TRUE(autoNaming.isVisible());
        EXPECT_EQ(test::child<QPlainTextEdit>(&autoNaming, "nameListView")->toPlainText(),
                  "欧阳娜");
        test::tabTo(test::child<QPushButton>(&autoNaming, "closeButton"));
        test::pressReturn();
    });
    test::pressReturn();  // returns when the window is closed
    EXPECT_FALSE(autoNaming.isVisible());
    // The opening loaded the chooser's first entry, 欧, which has no list of its own.
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});
}

// The shipped data: the preset name gives the preset strokes, and start-up shows no message.
TEST(RealProgram, StartsQuietlyAndThePresetNameAgreesWithThePresetStrokes) {
    test::RecordingDialogs dialogs;
    Program program = createProgram({test::programDir(), test::programDir()});
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    MainWindow& w = *program.mainWindow;
    const QStringList before = {strokeEdit(w, 0)->text(), strokeEdit(w, 1)->text(),
                                strokeEdit(w, 2)->text(), strokeEdit(w, 3)->text()};
    QTest::keyClick(nameEdit(w), Qt::Key_Return);
    EXPECT_EQ(before, (QStringList{strokeEdit(w, 0)->text(), strokeEdit(w, 1)->text(),
                                   strokeEdit(w, 2)->text(), strokeEdit(w, 3)->text()}));
    EXPECT_TRUE(reportView(w)->toPlainText().startsWith(nameEdit(w)->text().left(1)));
    EXPECT_TRUE(std::filesystem::exists(w.helpPage()));
}

// Started while another program writes data.Mdb for longer than the busy timeout: the window
// says so, and gets its database with the first action after the write.
TEST(MainWindowStartup, ABusyDatabaseAtStartIsOpenedByTheFirstActionAfterwards) {
    test::TempDir dir;
    test::buildFixtureDb(dir.path(), test::standardFixture());
    std::filesystem::create_directories(dir.path() / "xm");
    Connection writer;
    writer.open(dir.path() / "data.Mdb", kDatabasePassword);
    writer.execute("begin exclusive");
    test::RecordingDialogs dialogs;
    Program program = createProgram({dir.path(), dir.path()});
    // The main window says why; the manual naming window, created last, tries again and reports
    // its failed suggestion.
    ASSERT_GE(dialogs.shown.size(), 2) << dialogs.shown.join("|").toStdString();
    EXPECT_TRUE(
        dialogs.shown[0].startsWith("message: 数据库正被其他程序使用，请稍后再试。\n"
                                    "database is locked"))
        << dialogs.shown[0].toStdString();
    EXPECT_TRUE(dialogs.shown.last().startsWith("error: 打不开字库文件 data.Mdb：") &&
                dialogs.shown.last().contains("\nthe database connection is closed"));
    writer.rollback();
    dialogs.shown.clear();
    nameEdit(*program.mainWindow)->setText("张三");
    QTest::keyClick(nameEdit(*program.mainWindow), Qt::Key_Return);
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    EXPECT_EQ(strokeEdit(*program.mainWindow, 0)->text(), "11");
}

TEST(MainWindowStartup, MissingDatabaseIsReportedAndStartupCarriesOn) {
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Program program = createProgram({dir.path(), dir.path()});
    ASSERT_GE(dialogs.shown.size(), 1);
    // In Chinese, the database's own text under it.
    EXPECT_TRUE(dialogs.shown[0].startsWith(
        "message: 打不开字库文件 data.Mdb：查笔画、测算和取名都要用到它。\n"
        "unable to open database file"))
        << dialogs.shown[0].toStdString();
    EXPECT_TRUE(program.autoNaming && program.manualNaming && program.semiAutoNaming);
    // Every later query reports its own error.
    dialogs.shown.clear();
    nameEdit(*program.mainWindow)->setText("张");
    QTest::keyClick(nameEdit(*program.mainWindow), Qt::Key_Return);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith("error: 打不开字库文件 data.Mdb：") &&
                dialogs.shown[0].contains("\nthe database connection is closed"))
        << dialogs.shown[0].toStdString();
}

}  // namespace
}  // namespace quenvil
