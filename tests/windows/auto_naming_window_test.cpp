// The automatic naming window offscreen.
#include "auto_naming/auto_naming_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"
#include "text/gbk.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

// The window's controls.
QComboBox* surnameCombo(AutoNamingWindow& w) { return test::child<QComboBox>(&w, "surnameCombo"); }
QPlainTextEdit* nameListView(AutoNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "nameListView");
}
QPlainTextEdit* resultsView(AutoNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "resultsView");
}
QLabel* resultsHeading(AutoNamingWindow& w) { return test::child<QLabel>(&w, "resultsHeading"); }
QPushButton* filterButton(AutoNamingWindow& w) {
    return test::child<QPushButton>(&w, "filterButton");
}
QPushButton* closeButton(AutoNamingWindow& w) {
    return test::child<QPushButton>(&w, "closeButton");
}
QTimer* blinkTimer(AutoNamingWindow& w) { return test::child<QTimer>(&w, "blinkTimer"); }

std::string crlf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += l + "\r\n";
    return text;
}

class AutoNaming : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::numberedFixture());
        db.open(dir.path());
        xm = dir.path() / "xm";
        std::filesystem::create_directories(xm);
    }
    // The window as the user finds it: created, then opened (its folder is read then).
    std::unique_ptr<AutoNamingWindow> create() {
        auto w = std::make_unique<AutoNamingWindow>(db, dir.path());
        w->show();
        return w;
    }
    QStringList results(AutoNamingWindow& w) {
        const QString text = resultsView(w)->toPlainText();
        return text.isEmpty() ? QStringList{} : text.split('\n');
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Database db;
    std::filesystem::path xm;
};

TEST_F(AutoNaming, CreationListsTheFolderAndLoadsTheFirstSurname) {
    test::writeFile(xm / "王.txt", crlf({G("王小明"), G("王大明")}));
    test::writeFile(xm / "欧阳.txt", crlf({G("欧阳娜")}));
    test::writeFile(xm / "李.txt", crlf({G("李四海")}));
    test::writeFile(xm / "李白.txt", "");
    auto w = create();
    EXPECT_EQ(w->windowTitle(), "自动取名");
    ASSERT_EQ(surnameCombo(*w)->count(), 4);
    EXPECT_EQ(surnameCombo(*w)->itemText(0), "李");
    EXPECT_EQ(surnameCombo(*w)->itemText(1), "李");
    EXPECT_EQ(surnameCombo(*w)->itemText(2), "欧");
    EXPECT_EQ(surnameCombo(*w)->itemText(3), "王");
    EXPECT_EQ(surnameCombo(*w)->currentText(), "李");
    EXPECT_EQ(nameListView(*w)->toPlainText(), "李四海");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // Picking 欧 looks for 欧.txt, which does not exist; the list stays.
    surnameCombo(*w)->setCurrentIndex(2);
    Q_EMIT surnameCombo(*w)->activated(2);
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});
    EXPECT_EQ(nameListView(*w)->toPlainText(), "李四海");

    // Picking reads the chooser's text.
    surnameCombo(*w)->setEditText("欧阳");
    surnameCombo(*w)->setCurrentIndex(3);
    Q_EMIT surnameCombo(*w)->activated(3);
    EXPECT_EQ(nameListView(*w)->toPlainText(), "王小明\n王大明");
}

// Typing into the chooser and pressing Enter, as a user does: the keys go to the control that has
// the focus in the active window.
// Creating the window reads nothing and says nothing; the first opening lists the folder, loads
// the first surname or gives the message of an empty folder, once; later openings keep what the
// user chose.
TEST_F(AutoNaming, TheFolderIsReadWhenTheWindowFirstOpens) {
    for (const bool withLists : {true, false}) {
        std::filesystem::remove_all(xm);
        std::filesystem::create_directories(xm);
        if (withLists) {
            test::writeFile(xm / "王.txt", crlf({G("王小明")}));
            test::writeFile(xm / "李.txt", crlf({G("李四海")}));
        }
        dialogs.shown.clear();
        AutoNamingWindow w(db, dir.path());
        EXPECT_EQ(surnameCombo(w)->count(), 0);
        EXPECT_TRUE(nameListView(w)->toPlainText().isEmpty());
        EXPECT_TRUE(dialogs.shown.isEmpty());
        w.show();
        EXPECT_EQ(surnameCombo(w)->count(), withLists ? 2 : 0);
        EXPECT_EQ(nameListView(w)->toPlainText(), withLists ? "李四海" : "");
        EXPECT_EQ(dialogs.shown,
                  withLists ? QStringList{} : QStringList{"message: 数据库中不存在此姓"});
        if (withLists) {
            surnameCombo(w)->setEditText("王");
            Q_EMIT surnameCombo(w)->activated(1);
        }
        w.hide();
        w.show();
        EXPECT_EQ(dialogs.shown.size(), withLists ? 0 : 1);
        EXPECT_EQ(nameListView(w)->toPlainText(), withLists ? "王小明" : "");
    }
}

TEST_F(AutoNaming, EnterInTheChooserLoadsTheTypedSurnameAndKeepsTheWindow) {
    test::writeFile(xm / "王.txt", crlf({G("王小明"), G("王大明")}));
    test::writeFile(xm / "欧阳.txt", crlf({G("欧阳娜")}));
    test::writeFile(xm / "李.txt", crlf({G("李四海")}));
    auto w = create();
    test::showActive(w.get());
    ASSERT_EQ(QApplication::focusWidget(), surnameCombo(*w));  // where the window opens
    auto enter = [&](const QString& surname) {
        test::press(Qt::Key_A, Qt::ControlModifier);  // the whole text is replaced
        test::type(surname);
        ASSERT_EQ(surnameCombo(*w)->currentText(), surname);
        test::pressReturn();
    };

    enter("王");  // a listed surname
    EXPECT_EQ(nameListView(*w)->toPlainText(), "王小明\n王大明");
    EXPECT_TRUE(w->isVisible());

    enter("欧阳");  // the list shows only 欧; the typed compound surname loads its own file
    EXPECT_EQ(nameListView(*w)->toPlainText(), "欧阳娜");
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();

    // Enter with the text unchanged reads the same file again.
    test::writeFile(xm / "欧阳.txt", crlf({G("欧阳娜"), G("欧阳明")}));
    test::pressReturn();
    EXPECT_EQ(nameListView(*w)->toPlainText(), "欧阳娜\n欧阳明");
    EXPECT_TRUE(w->isVisible());

    enter("测");  // no list for it: the message, and the list stays
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});
    EXPECT_EQ(nameListView(*w)->toPlainText(), "欧阳娜\n欧阳明");
    EXPECT_TRUE(w->isVisible());

    // The keypad's Enter does the same.
    test::press(Qt::Key_A, Qt::ControlModifier);
    test::type("李");
    test::pressKeypadEnter();
    EXPECT_EQ(nameListView(*w)->toPlainText(), "李四海");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(QApplication::focusWidget(), surnameCombo(*w));
    EXPECT_EQ(w->result(), 0);  // neither accepted nor rejected
}

// Enter on a focused button presses it; Enter elsewhere presses no button.
TEST_F(AutoNaming, EnterPressesTheFocusedButtonOnly) {
    test::writeFile(xm / "二.txt", crlf({nameOf(2, 9, 4)}));
    auto w = create();
    test::showActive(w.get());
    nameListView(*w)->setFocus();
    test::pressReturn();  // in the name list: nothing happens, the window stays
    EXPECT_TRUE(w->isVisible());
    EXPECT_TRUE(resultsView(*w)->toPlainText().isEmpty());

    test::tabTo(filterButton(*w));  // 筛选->
    test::pressReturn();
    EXPECT_EQ(results(*w), QStringList{toQ(nameOf(2, 9, 4))});
    EXPECT_EQ(dialogs.shown, QStringList{"message: 自动生成名字完成!"});
    // The button stays enabled and keeps the focus: the next Enter filters again, not 关闭.
    EXPECT_EQ(QApplication::focusWidget(), filterButton(*w));
    test::pressKeypadEnter();
    EXPECT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(w->isVisible());

    test::tabTo(closeButton(*w));  // 关闭, pressed on purpose
    test::pressReturn();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(AutoNaming, EmptyOrMissingFolder) {
    auto w = create();
    EXPECT_EQ(surnameCombo(*w)->count(), 0);
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});

    dialogs.shown.clear();
    std::filesystem::remove_all(xm);
    auto missing = create();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0].toStdString(),
              "message: 读不出名单文件夹 " + xm.string() + "：不存在");
    EXPECT_TRUE(nameListView(*missing)->toPlainText().isEmpty());
}

TEST_F(AutoNaming, FilterListsFavourableNamesAndNotices) {
    const std::string yes = nameOf(2, 9, 4), twice = nameOf(6, 11, 14);
    test::writeFile(xm / "二.txt", crlf({yes, nameOf(2, 9, 5), twice, nameOf(20, 1, 1), "", yes}));
    auto w = create();
    QTest::mouseClick(filterButton(*w), Qt::LeftButton);
    EXPECT_EQ(results(*w),
              (QStringList{toQ(yes), toQ(twice), toQ(twice), "数据库里没有此笔画的姓氏！"}));
    EXPECT_EQ(dialogs.shown, QStringList{"message: 自动生成名字完成!"});
    EXPECT_EQ(resultsHeading(*w)->text(), "自动取名结果");
    EXPECT_FALSE(blinkTimer(*w)->isActive());
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));  // no read lock while the results are shown
    // A second run starts afresh.
    filterButton(*w)->click();
    EXPECT_EQ(results(*w).size(), 4);
}

TEST_F(AutoNaming, BlinksRedAndBlueWhileRunningAndKeepsPainting) {
    // A list long enough to outlast any machine's pace; the probe closes the window (which stops
    // the run) once it has seen both colours, so the test does not depend on timing.
    const int kLines = 200000;
    std::vector<std::string> lines(kLines, nameOf(2, 9, 4));
    test::writeFile(xm / "二.txt", crlf(lines));
    auto w = create();
    w->show();
    EXPECT_EQ(textColor(resultsHeading(*w)), QColor(0, 128, 0));
    QStringList captions;
    bool sawRed = false, sawBlue = false, otherColour = false;
    int resultsSeen = 0;
    // Watch the label from inside the run: the timer only fires if the run yields.
    QTimer probe;
    probe.setInterval(50);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        captions << resultsHeading(*w)->text();
        const QColor c = textColor(resultsHeading(*w));
        sawRed |= c == QColor(255, 0, 0);
        sawBlue |= c == QColor(0, 0, 255);
        otherColour |=
            !(c == QColor(255, 0, 0) || c == QColor(0, 0, 255) || c == QColor(0, 128, 0));
        resultsSeen = std::max(resultsSeen, static_cast<int>(results(*w).size()));
        if (sawRed && sawBlue) w->close();
    });
    probe.start();
    w->setYieldSlice(std::chrono::microseconds(500));
    // Slow each slice down so that the run lasts long enough to see ticks.
    db.strokes.dropIndex();
    filterButton(*w)->click();
    probe.stop();
    ASSERT_FALSE(captions.isEmpty());
    EXPECT_EQ(captions.front(), "数据处理中，请稍等...");
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
    EXPECT_FALSE(otherColour);
    // The results were painted while the run went on, and what was found stays listed.
    EXPECT_GT(resultsSeen, 0);
    EXPECT_GE(static_cast<int>(results(*w).size()), resultsSeen);
    EXPECT_EQ(resultsHeading(*w)->text(), "自动取名结果");
}

TEST_F(AutoNaming, TimerTickAlternatesFromGreenToRedToBlue) {
    auto w = create();
    w->onBlink();
    EXPECT_EQ(textColor(resultsHeading(*w)), QColor(255, 0, 0));
    w->onBlink();
    EXPECT_EQ(textColor(resultsHeading(*w)), QColor(0, 0, 255));
    w->onBlink();
    EXPECT_EQ(textColor(resultsHeading(*w)), QColor(255, 0, 0));
}

TEST_F(AutoNaming, SecondStartIgnoredLoadsRefusedAndClosingStopsTheRun) {
    std::vector<std::string> lines(50000, nameOf(2, 9, 4));
    test::writeFile(xm / "二.txt", crlf(lines));
    test::writeFile(xm / "三.txt", crlf({nameOf(3, 3, 3)}));
    auto w = create();
    test::showActive(w.get());
    db.strokes.dropIndex();  // statements only: a slower run
    w->setYieldSlice(std::chrono::microseconds(200));
    int ticks = 0;
    QTimer during;
    during.setInterval(0);  // every turn of the event loop that the run yields to
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!w->running()) return;
        if (++ticks == 1) {
            filterButton(*w)->click();  // ignored
            surnameCombo(*w)->setFocus();
            surnameCombo(*w)->setEditText("三");
            test::pressReturn();  // refused
        } else if (ticks == 3) {
            w->close();
        }
    });
    during.start();
    filterButton(*w)->click();
    during.stop();
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->partialNames().size(), 50000u);
    const int listed = results(*w).size();
    EXPECT_GT(listed, 0);
    EXPECT_LT(listed, 50000);  // stopped before the end, results so far kept
    EXPECT_EQ(resultsHeading(*w)->text(), "自动取名结果");
    EXPECT_FALSE(dialogs.shown.contains("message: 自动生成名字完成!"));
}

TEST_F(AutoNaming, FileLineRules) {
    // 二 (er) comes before 一 (yi) and is loaded first.
    test::writeFile(xm / "二.txt", G("一二三") + "\r\n\r\n");
    test::writeFile(xm / "一.txt", G("一二三") + "\n" + G("二三四") + "\r" + G("三四五"));
    auto w = create();
    EXPECT_EQ(w->partialNames(), (std::vector<std::string>{G("一二三"), ""}));
    test::showActive(w.get());
    ASSERT_EQ(QApplication::focusWidget(), surnameCombo(*w));
    surnameCombo(*w)->setEditText("一");
    test::pressReturn();
    EXPECT_EQ(w->partialNames().size(), 3u);
}

}  // namespace
}  // namespace quenvil
