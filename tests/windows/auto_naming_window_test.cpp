// The automatic naming window offscreen.
#include "auto_naming/auto_naming_window.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "support/fixture_db.h"
#include "support/test_dialogs.h"
#include "text/gbk.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

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
    std::unique_ptr<TForm2> create() {
        auto w = std::make_unique<TForm2>(db, dir.path());
        return w;
    }
    QStringList results(TForm2& w) {
        const QString text = w.Memo3->toPlainText();
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
    ASSERT_EQ(w->ComboBox1->count(), 4);
    EXPECT_EQ(w->ComboBox1->itemText(0), "李");
    EXPECT_EQ(w->ComboBox1->itemText(1), "李");
    EXPECT_EQ(w->ComboBox1->itemText(2), "欧");
    EXPECT_EQ(w->ComboBox1->itemText(3), "王");
    EXPECT_EQ(w->ComboBox1->currentText(), "李");
    EXPECT_EQ(w->Memo2->toPlainText(), "李四海");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // Picking 欧 looks for 欧.txt, which does not exist; the list stays.
    w->ComboBox1->setCurrentIndex(2);
    Q_EMIT w->ComboBox1->activated(2);
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});
    EXPECT_EQ(w->Memo2->toPlainText(), "李四海");

    // Typing the compound surname and pressing Enter loads its own file.
    dialogs.shown.clear();
    w->ComboBox1->setEditText("欧阳");
    QTest::keyClick(w->ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->Memo2->toPlainText(), "欧阳娜");
    EXPECT_TRUE(dialogs.shown.isEmpty());

    // Enter with an unchanged text loads the same file again, picking reads the chooser's text.
    test::writeFile(xm / "欧阳.txt", crlf({G("欧阳娜"), G("欧阳明")}));
    QTest::keyClick(w->ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->Memo2->toPlainText(), "欧阳娜\n欧阳明");
    w->ComboBox1->setCurrentIndex(3);
    Q_EMIT w->ComboBox1->activated(3);
    EXPECT_EQ(w->Memo2->toPlainText(), "王小明\n王大明");
}

TEST_F(AutoNaming, EmptyOrMissingFolder) {
    auto w = create();
    EXPECT_EQ(w->ComboBox1->count(), 0);
    EXPECT_EQ(dialogs.shown, QStringList{"message: 数据库中不存在此姓"});

    dialogs.shown.clear();
    std::filesystem::remove_all(xm);
    auto missing = create();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].contains("No such file or directory"))
        << dialogs.shown[0].toStdString();
    EXPECT_TRUE(missing->Memo2->toPlainText().isEmpty());
}

TEST_F(AutoNaming, FilterListsFavourableNamesAndNotices) {
    const std::string yes = nameOf(2, 9, 4), twice = nameOf(6, 11, 14);
    test::writeFile(xm / "二.txt", crlf({yes, nameOf(2, 9, 5), twice, nameOf(20, 1, 1), "", yes}));
    auto w = create();
    QTest::mouseClick(w->Button1, Qt::LeftButton);
    EXPECT_EQ(results(*w),
              (QStringList{toQ(yes), toQ(twice), toQ(twice), "数据库里没有此笔画的姓氏！"}));
    EXPECT_EQ(dialogs.shown, QStringList{"message: 自动生成名字完成!"});
    EXPECT_EQ(w->Label3->text(), "自动取名结果");
    EXPECT_FALSE(w->Timer1->isActive());
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));  // no read lock while the results are shown
    // A second run starts afresh.
    w->Button1->click();
    EXPECT_EQ(results(*w).size(), 4);
}

TEST_F(AutoNaming, BlinksRedAndBlueWhileRunningAndKeepsPainting) {
    std::vector<std::string> lines(20000, nameOf(2, 9, 4));
    test::writeFile(xm / "二.txt", crlf(lines));
    auto w = create();
    w->show();
    EXPECT_EQ(textColor(w->Label3), QColor(0, 128, 0));
    QStringList captions;
    std::vector<QColor> colours;
    // Watch the label from inside the run: the timer only fires if the run yields.
    QTimer probe;
    probe.setInterval(50);
    QObject::connect(&probe, &QTimer::timeout, [&] {
        captions << w->Label3->text();
        colours.push_back(textColor(w->Label3));
    });
    probe.start();
    w->setYieldSlice(std::chrono::microseconds(500));
    // Slow each slice down so that the run lasts long enough to see ticks.
    db.strokes.dropIndex();
    w->Button1->click();
    probe.stop();
    ASSERT_FALSE(captions.isEmpty());
    EXPECT_EQ(captions.front(), "数据处理中，请稍等...");
    bool sawRed = false, sawBlue = false;
    for (const QColor& c : colours) {
        sawRed |= c == QColor(255, 0, 0);
        sawBlue |= c == QColor(0, 0, 255);
        EXPECT_TRUE(c == QColor(255, 0, 0) || c == QColor(0, 0, 255) || c == QColor(0, 128, 0));
    }
    EXPECT_TRUE(sawRed);
    EXPECT_TRUE(sawBlue);
    EXPECT_EQ(results(*w).size(), 20000);
}

TEST_F(AutoNaming, TimerTickAlternatesFromGreenToRedToBlue) {
    auto w = create();
    w->Timer1Timer();
    EXPECT_EQ(textColor(w->Label3), QColor(255, 0, 0));
    w->Timer1Timer();
    EXPECT_EQ(textColor(w->Label3), QColor(0, 0, 255));
    w->Timer1Timer();
    EXPECT_EQ(textColor(w->Label3), QColor(255, 0, 0));
}

TEST_F(AutoNaming, SecondStartIgnoredLoadsRefusedAndClosingStopsTheRun) {
    std::vector<std::string> lines(50000, nameOf(2, 9, 4));
    test::writeFile(xm / "二.txt", crlf(lines));
    test::writeFile(xm / "三.txt", crlf({nameOf(3, 3, 3)}));
    auto w = create();
    w->show();
    db.strokes.dropIndex();  // statements only: a slower run
    w->setYieldSlice(std::chrono::microseconds(200));
    int ticks = 0;
    QTimer during;
    during.setInterval(1);
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!w->running()) return;
        if (++ticks == 1) {
            w->Button1->click();  // ignored
            w->ComboBox1->setEditText("三");
            QTest::keyClick(w->ComboBox1->lineEdit(), Qt::Key_Return);  // refused
        } else if (ticks == 3) {
            w->close();
        }
    });
    during.start();
    w->Button1->click();
    during.stop();
    EXPECT_GE(ticks, 3);
    EXPECT_FALSE(w->running());
    EXPECT_FALSE(w->isVisible());
    EXPECT_EQ(w->partialNames().size(), 50000u);
    const int listed = results(*w).size();
    EXPECT_GT(listed, 0);
    EXPECT_LT(listed, 50000);  // stopped before the end, results so far kept
    EXPECT_EQ(w->Label3->text(), "自动取名结果");
    EXPECT_FALSE(dialogs.shown.contains("message: 自动生成名字完成!"));
}

TEST_F(AutoNaming, FileLineRules) {
    // 二 (er) comes before 一 (yi) and is loaded first.
    test::writeFile(xm / "二.txt", G("一二三") + "\r\n\r\n");
    test::writeFile(xm / "一.txt", G("一二三") + "\n" + G("二三四") + "\r" + G("三四五"));
    auto w = create();
    EXPECT_EQ(w->partialNames(), (std::vector<std::string>{G("一二三"), ""}));
    w->ComboBox1->setEditText("一");
    QTest::keyClick(w->ComboBox1->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(w->partialNames().size(), 3u);
}

}  // namespace
}  // namespace quenvil
