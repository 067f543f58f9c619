// The manual naming window offscreen.
#include "manual_naming/manual_naming_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

// The window's controls.
QLineEdit* surnameEdit(ManualNamingWindow& w) { return test::child<QLineEdit>(&w, "surnameEdit"); }
QPushButton* suggestButton(ManualNamingWindow& w) {
    return test::child<QPushButton>(&w, "suggestButton");
}
QPushButton* closeButton(ManualNamingWindow& w) {
    return test::child<QPushButton>(&w, "closeButton");
}
QLabel* surnameStrokesLabel(ManualNamingWindow& w) {
    return test::child<QLabel>(&w, "surnameStrokesLabel");
}
QLabel* pairHeading(ManualNamingWindow& w) { return test::child<QLabel>(&w, "pairHeading"); }
QListWidget* pairList(ManualNamingWindow& w) { return test::child<QListWidget>(&w, "pairList"); }
QPlainTextEdit* secondCharsView(ManualNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "secondCharsView");
}
QPlainTextEdit* thirdCharsView(ManualNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "thirdCharsView");
}

class ManualNaming : public ::testing::Test {
  protected:
    void SetUp() override {
        auto data = test::numberedFixture();
        data.fantizi.emplace_back(4, "王");
        data.fantizi.erase(data.fantizi.begin() + 15);  // no row of 16 strokes
        test::buildFixtureDb(dir.path(), data);
        db.open(dir.path());
        w = std::make_unique<ManualNamingWindow>(db);
    }
    void suggest(const QString& surname) {
        surnameEdit(*w)->setText(surname);
        QTest::keyClick(surnameEdit(*w), Qt::Key_Return);
    }
    QStringList rows() {
        QStringList r;
        for (int i = 0; i < pairList(*w)->count(); ++i) r << pairList(*w)->item(i)->text();
        return r;
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Database db;
    std::unique_ptr<ManualNamingWindow> w;
};

TEST_F(ManualNaming, CreationSuggestsForThePresetSurname) {
    EXPECT_EQ(w->windowTitle(), "手动取名");
    EXPECT_EQ(w->size(), QSize(788, 538));
    EXPECT_EQ(surnameEdit(*w)->text(), "王");
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "王 的笔画是：4");
    EXPECT_EQ(rows().size(), 9);
    EXPECT_EQ(pairList(*w)->currentRow(), -1);
    EXPECT_TRUE(secondCharsView(*w)->toPlainText().isEmpty());
    EXPECT_EQ(pairHeading(*w)->text().simplified(), "第二个汉字 第三个汉字");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

// 1080 pixels at 200 % leave 540 for the window and its frame: the boxes give up what is
// lacking, and every control stays inside the window.
TEST_F(ManualNaming, ALowScreenTakesItsHeightFromTheBoxes) {
    w->fitHeight(540);
    EXPECT_EQ(w->height(), 540 - kFrameHeightAllowance);
    QWidget* boxes[] = {pairList(*w), secondCharsView(*w), thirdCharsView(*w)};
    for (QWidget* box : boxes) EXPECT_LE(box->geometry().bottom(), w->height() - 16);
    EXPECT_LT(secondCharsView(*w)->geometry().bottom(), thirdCharsView(*w)->y());
    EXPECT_EQ(pairList(*w)->geometry().bottom(), thirdCharsView(*w)->geometry().bottom());
    w->fitHeight(1000);  // tall enough: as designed
    EXPECT_EQ(w->size(), QSize(788, 538));
    EXPECT_EQ(thirdCharsView(*w)->geometry(), QRect(332, 304, 440, 218));
}

TEST_F(ManualNaming, SuggestionsForSeveralSurnames) {
    suggest(" 二 ");
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "二 的笔画是：2");
    EXPECT_EQ(rows().first(), "9                     4");
    EXPECT_EQ(rows().last(), "13                    10");
    suggest("二");
    EXPECT_EQ(rows().size(), 6);  // not doubled

    suggest("拾");  // 20 strokes
    EXPECT_EQ(rows(), QStringList{"没有收录此姓氏的名字组合！"});
    EXPECT_FALSE(pairList(*w)->isEnabled());
    suggest("龙");
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "龙 的笔画是：0");
    EXPECT_FALSE(pairList(*w)->isEnabled());
    suggest("玖");  // 19: the list is enabled again
    EXPECT_TRUE(pairList(*w)->isEnabled());
    EXPECT_EQ(rows().size(), 7);
    suggest("一二");
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "一二 的笔画是：0");
    suggest("");
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), " 的笔画是：1");
}

TEST_F(ManualNaming, PickingShowsTheCharactersOfBothCounts) {
    suggest("二");
    pairList(*w)->setCurrentRow(0);  // 9/4
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "9画的汉字有：\n九");
    EXPECT_EQ(thirdCharsView(*w)->toPlainText(), "4画的汉字有：\n四");
    // Arrow keys move the selection and refresh both boxes.
    pairList(*w)->setFocus();
    QTest::keyClick(pairList(*w), Qt::Key_Down);  // 1/10
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "1画的汉字有：\n一");
    EXPECT_EQ(thirdCharsView(*w)->toPlainText(), "10画的汉字有：\n十");
    // A double-click shows each heading once.
    w->show();
    const QRect r = pairList(*w)->visualItemRect(pairList(*w)->item(2));
    // A real double-click: a press and release, then the second press.
    QTest::mouseClick(pairList(*w)->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(pairList(*w)->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "19画的汉字有：\n玖");
    EXPECT_EQ(secondCharsView(*w)->textCursor().position(), 0);
    // A new suggestion leaves both boxes alone.
    suggest("玖");
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "19画的汉字有：\n玖");
    EXPECT_EQ(thirdCharsView(*w)->toPlainText(), "4画的汉字有：\n四");
}

TEST_F(ManualNaming, PickingLeavesNoReadTransactionOpen) {
    suggest("二");
    pairList(*w)->setCurrentRow(0);
    EXPECT_EQ(thirdCharsView(*w)->toPlainText(), "4画的汉字有：\n四");
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(ManualNaming, ACountWithoutRowsLeavesItsBoxEmpty) {
    suggest("四");  // row 4 holds 9/12 ... and 3/14; 20/15 first
    const int row = rows().indexOf("19                    12");
    ASSERT_GE(row, 0);
    pairList(*w)->setCurrentRow(row);
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "19画的汉字有：\n玖");
    suggest("玖");  // 19 strokes: 6/7 and 12/17 ...
    suggest("柒");  // 17 strokes: 8/16 has no row of 16
    const int r16 = rows().indexOf("8                     16");
    ASSERT_GE(r16, 0);
    pairList(*w)->setCurrentRow(r16);
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "8画的汉字有：\n八");
    EXPECT_TRUE(thirdCharsView(*w)->toPlainText().isEmpty());
}

// The columns where pixels of the wanted kind start: the first one, and the first after a gap of
// at least `gap` pixels. In the coordinates of `window`.
std::pair<int, int> twoColumns(QWidget* window, QWidget* drawn, const QRect& area, int gap,
                               const std::function<bool(QRgb)>& wanted) {
    const QImage image = drawn->grab().toImage();
    std::vector<bool> inked(image.width(), false);
    for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x) {
        for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom());
             ++y) {
            if (wanted(image.pixel(x, y))) inked[x] = true;
        }
    }
    int first = -1, second = -1, blank = 0;
    for (int x = 0; x < image.width(); ++x) {
        if (!inked[x]) {
            ++blank;
            continue;
        }
        if (first < 0) {
            first = x;
        } else if (second < 0 && blank >= gap) {
            second = x;
        }
        blank = 0;
    }
    const auto inWindow = [&](int x) {
        return x < 0 ? -1 : drawn->mapTo(window, QPoint(x, 0)).x();
    };
    return {inWindow(first), inWindow(second)};
}

TEST_F(ManualNaming, HeadingLinesUpWithTheColumns) {
    suggest("二");
    ASSERT_EQ(rows().first(), "9                     4");
    test::showActive(w.get());
    QWidget* rowsDrawn = pairList(*w)->viewport();
    const auto columns =
        twoColumns(w.get(), rowsDrawn, pairList(*w)->visualItemRect(pairList(*w)->item(0)), 40,
                   [](QRgb p) { return qRed(p) > 150 && qGreen(p) < 110 && qBlue(p) < 110; });
    const auto heading = twoColumns(w.get(), pairHeading(*w), pairHeading(*w)->rect(), 12,
                                    [](QRgb p) { return qGray(p) < 110; });
    ASSERT_GE(columns.second, 0);
    ASSERT_GE(heading.second, 0);
    EXPECT_LE(std::abs(heading.first - columns.first), 4)
        << "heading at " << heading.first << ", first column at " << columns.first;
    EXPECT_LE(std::abs(heading.second - columns.second), 5)
        << "第三个汉字 at " << heading.second << ", second column at " << columns.second;
}

// Keys at the focused control of the active window.
TEST_F(ManualNaming, EnterOnThePairListPicksTheRowAndNothingElse) {
    suggest("二");
    test::showActive(w.get());
    pairList(*w)->setFocus();  // as with Tab: the first row is current, not yet picked
    test::press(Qt::Key_Down);
    test::press(Qt::Key_Up);  // the first row, picked
    ASSERT_EQ(pairList(*w)->currentRow(), 0);
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "9画的汉字有：\n九");
    secondCharsView(*w)->clear();
    thirdCharsView(*w)->clear();
    surnameEdit(*w)->setText("玖");  // typed but not yet asked for
    test::pressReturn();
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "9画的汉字有：\n九");
    EXPECT_EQ(thirdCharsView(*w)->toPlainText(), "4画的汉字有：\n四");
    // 系统选字 did not run again: the rows, the pick and the surname label stay.
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "二 的笔画是：2");
    EXPECT_EQ(pairList(*w)->currentRow(), 0);
    EXPECT_EQ(rows().size(), 6);
    EXPECT_EQ(QApplication::focusWidget(), pairList(*w));
    test::pressKeypadEnter();
    EXPECT_EQ(pairList(*w)->currentRow(), 0);
    EXPECT_TRUE(w->isVisible());
}

TEST_F(ManualNaming, EnterPressesTheFocusedButton) {
    test::showActive(w.get());
    ASSERT_EQ(QApplication::focusWidget(), surnameEdit(*w));
    test::press(Qt::Key_A, Qt::ControlModifier);
    test::type("二");
    test::tabTo(suggestButton(*w));  // 系统选字
    test::pressReturn();
    EXPECT_EQ(surnameStrokesLabel(*w)->text(), "二 的笔画是：2");
    EXPECT_EQ(rows().size(), 6);
    EXPECT_EQ(QApplication::focusWidget(), suggestButton(*w));
    secondCharsView(*w)->setFocus();
    test::pressReturn();  // in a text box: no button is pressed
    EXPECT_TRUE(w->isVisible());
    test::tabTo(closeButton(*w));  // 关闭, pressed on purpose
    test::pressKeypadEnter();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(ManualNaming, NoSelectionDoesNothing) {
    secondCharsView(*w)->setPlainText("kept");
    w->onPairPicked();
    EXPECT_EQ(secondCharsView(*w)->toPlainText(), "kept");
}

}  // namespace
}  // namespace quenvil
