// The manual naming window offscreen.
#include "manual_naming/manual_naming_window.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include "support/fixture_db.h"
#include "support/test_dialogs.h"

namespace quenvil {
namespace {

class ManualNaming : public ::testing::Test {
  protected:
    void SetUp() override {
        auto data = test::numberedFixture();
        data.fantizi.emplace_back(4, "王");
        data.fantizi.erase(data.fantizi.begin() + 15);  // no row of 16 strokes
        test::buildFixtureDb(dir.path(), data);
        db.open(dir.path());
        w = std::make_unique<TForm3>(db);
    }
    void suggest(const QString& surname) {
        w->Edit1->setText(surname);
        QTest::keyClick(w->Edit1, Qt::Key_Return);
    }
    QStringList rows() {
        QStringList r;
        for (int i = 0; i < w->ListBox1->count(); ++i) r << w->ListBox1->item(i)->text();
        return r;
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Database db;
    std::unique_ptr<TForm3> w;
};

TEST_F(ManualNaming, CreationSuggestsForThePresetSurname) {
    EXPECT_EQ(w->windowTitle(), "手动取名");
    EXPECT_EQ(w->size(), QSize(788, 538));
    EXPECT_EQ(w->Edit1->text(), "王");
    EXPECT_EQ(w->Label2->text(), "王 的笔画是：4");
    EXPECT_EQ(rows().size(), 9);
    EXPECT_EQ(w->ListBox1->currentRow(), -1);
    EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());
    EXPECT_EQ(w->Label3->text(), "第二个汉字   第三个汉字");
    EXPECT_TRUE(dialogs.shown.isEmpty());
}

TEST_F(ManualNaming, SuggestionsForSeveralSurnames) {
    suggest(" 二 ");
    EXPECT_EQ(w->Label2->text(), "二 的笔画是：2");
    EXPECT_EQ(rows().first(), "9                     4");
    EXPECT_EQ(rows().last(), "13                    10");
    suggest("二");
    EXPECT_EQ(rows().size(), 6);  // not doubled

    suggest("拾");  // 20 strokes
    EXPECT_EQ(rows(), QStringList{"没有收录此姓氏的名字组合！"});
    EXPECT_FALSE(w->ListBox1->isEnabled());
    suggest("龙");
    EXPECT_EQ(w->Label2->text(), "龙 的笔画是：0");
    EXPECT_FALSE(w->ListBox1->isEnabled());
    suggest("玖");  // 19: the list is enabled again
    EXPECT_TRUE(w->ListBox1->isEnabled());
    EXPECT_EQ(rows().size(), 7);
    suggest("一二");
    EXPECT_EQ(w->Label2->text(), "一二 的笔画是：0");
    suggest("");
    EXPECT_EQ(w->Label2->text(), " 的笔画是：1");
}

TEST_F(ManualNaming, PickingShowsTheCharactersOfBothCounts) {
    suggest("二");
    w->ListBox1->setCurrentRow(0);  // 9/4
    EXPECT_EQ(w->Memo1->toPlainText(), "9画的汉字有：\n九");
    EXPECT_EQ(w->Memo2->toPlainText(), "4画的汉字有：\n四");
    // Arrow keys move the selection and refresh both boxes.
    w->ListBox1->setFocus();
    QTest::keyClick(w->ListBox1, Qt::Key_Down);  // 1/10
    EXPECT_EQ(w->Memo1->toPlainText(), "1画的汉字有：\n一");
    EXPECT_EQ(w->Memo2->toPlainText(), "10画的汉字有：\n十");
    // A double-click shows each heading once.
    w->show();
    const QRect r = w->ListBox1->visualItemRect(w->ListBox1->item(2));
    // A real double-click: a press and release, then the second press.
    QTest::mouseClick(w->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
    QTest::mouseDClick(w->ListBox1->viewport(), Qt::LeftButton, {}, r.center());
    EXPECT_EQ(w->Memo1->toPlainText(), "19画的汉字有：\n玖");
    EXPECT_EQ(w->Memo1->textCursor().position(), 0);
    // A new suggestion leaves both boxes alone.
    suggest("玖");
    EXPECT_EQ(w->Memo1->toPlainText(), "19画的汉字有：\n玖");
    EXPECT_EQ(w->Memo2->toPlainText(), "4画的汉字有：\n四");
}

TEST_F(ManualNaming, PickingLeavesNoReadTransactionOpen) {
    suggest("二");
    w->ListBox1->setCurrentRow(0);
    EXPECT_EQ(w->Memo2->toPlainText(), "4画的汉字有：\n四");
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(ManualNaming, ACountWithoutRowsLeavesItsBoxEmpty) {
    suggest("四");  // row 4 holds 9/12 ... and 3/14; 20/15 first
    const int row = rows().indexOf("19                    12");
    ASSERT_GE(row, 0);
    w->ListBox1->setCurrentRow(row);
    EXPECT_EQ(w->Memo1->toPlainText(), "19画的汉字有：\n玖");
    suggest("玖");  // 19 strokes: 6/7 and 12/17 ...
    suggest("柒");  // 17 strokes: 8/16 has no row of 16
    const int r16 = rows().indexOf("8                     16");
    ASSERT_GE(r16, 0);
    w->ListBox1->setCurrentRow(r16);
    EXPECT_EQ(w->Memo1->toPlainText(), "8画的汉字有：\n八");
    EXPECT_TRUE(w->Memo2->toPlainText().isEmpty());
}

TEST_F(ManualNaming, NoSelectionDoesNothing) {
    w->Memo1->setPlainText("kept");
    w->ListBox1DblClick();
    EXPECT_EQ(w->Memo1->toPlainText(), "kept");
}

}  // namespace
}  // namespace quenvil
