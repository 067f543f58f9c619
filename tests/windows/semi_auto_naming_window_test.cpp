// The semi-automatic naming window offscreen.
#include "semi_auto_naming/semi_auto_naming_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cmath>

#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/test_dialogs.h"
#include "text/gbk.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

class SemiAuto : public ::testing::Test {
  protected:
    void SetUp() override {
        test::buildFixtureDb(dir.path(), test::numberedFixture());
        db.open(dir.path());
        w = std::make_unique<SemiAutoNamingWindow>(db);
    }
    void browse(const std::string& bytes) {
        const auto file = dir.path() / "names.txt";
        test::writeFile(file, bytes);
        dialogs.answers.push_back(QString::fromStdString(" " + file.string() + " "));
        w->Button2->click();
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Database db;
    std::unique_ptr<SemiAutoNamingWindow> w;
};

TEST_F(SemiAuto, Utf8AndUtf16FilesAreImportedAsText) {
    const std::string first = "张小华 " + gbkToUtf8(nameOf(2, 9, 4)) + "\r\n第二行\r\n";
    for (const std::string& bytes : {first, "\xEF\xBB\xBF" + first}) {
        browse(bytes);
        EXPECT_EQ(w->Memo1->toPlainText(), QString::fromUtf8("张小华 二九四\n第二行"));
        w->Button1->click();
        EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
        EXPECT_EQ(w->Edit1->text(), "张");
    }
    w->Button3->click();
    EXPECT_EQ(w->Memo2->toPlainText(), "数据库里没有此笔画的姓氏！\n二九四");  // 张 has no row
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(SemiAuto, ABusyDatabaseStopsTheImportWithAMessageAndKeepsTheList) {
    browse(G("张小华 王小明"));
    w->Button1->click();
    browse(G("赵小燕 ") + nameOf(2, 9, 4));
    Connection reader;
    reader.open(dir.path() / "data.Mdb", kDatabasePassword);
    DataSet rows(reader);
    rows.setCommandText("select * from xm");
    rows.open();  // another program in the middle of a read
    db.connection.setBusyTimeout(200);
    dialogs.shown.clear();
    w->Button1->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0], "message: 数据库正被其他程序使用，请稍后再试。");
    EXPECT_TRUE(w->holdsLoadedList());
    EXPECT_TRUE(w->Button1->isEnabled());
    EXPECT_TRUE(w->Memo2->toPlainText().isEmpty());
    rows.close();
    w->Button1->click();  // the reader has finished: the same list goes in
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
    w->Button3->click();
    EXPECT_EQ(w->Memo2->toPlainText(), "数据库里没有此笔画的姓氏！\n" + toQ(nameOf(2, 9, 4)));
}

TEST_F(SemiAuto, AReadOnlyFolderIsNamedInTheImportMessage) {
    browse(G("张小华 王小明"));
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.ok()) GTEST_SKIP() << "the folder cannot be made read-only here";
    dialogs.shown.clear();
    w->Button1->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith(
        "message: 数据库所在的文件夹或数据库文件是只读的，无法导入，原来的名字保持不变。"))
        << dialogs.shown[0].toStdString();
    EXPECT_TRUE(dialogs.shown[0].contains(QString::fromStdString(dir.path().string())));
    EXPECT_TRUE(w->holdsLoadedList());
}

TEST_F(SemiAuto, InitialState) {
    EXPECT_EQ(w->windowTitle(), "半自动取名");
    EXPECT_EQ(w->size(), QSize(668, 355));
    EXPECT_FALSE(w->Button1->isEnabled());
    EXPECT_FALSE(w->Button3->isEnabled());
    EXPECT_TRUE(w->Button2->isEnabled());
    EXPECT_TRUE(w->Memo1->isEnabled());  // read-only, not greyed out
    EXPECT_TRUE(w->Memo1->isReadOnly());
    EXPECT_TRUE(w->Edit1->isReadOnly());
    EXPECT_EQ(w->Label1->text(), "你选择的姓氏是:");
    EXPECT_EQ(w->Button2->text(), "浏览.....");
}

// Relative luminance and contrast ratio of two colours (WCAG 2).
double luminance(QRgb c) {
    auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

TEST_F(SemiAuto, ThePreviewReadsAsNormalTextAndStaysUnchanged) {
    browse(G("张晓雯 张思远") + "\r\n" + G("张一诺"));
    test::showActive(w.get());
    // What is drawn: the darkest ink against the lightest background, as for normal text.
    const QImage drawn = w->Memo1->viewport()->grab().toImage();
    double darkest = 1, lightest = 0;
    for (int y = 0; y < drawn.height(); ++y) {
        for (int x = 0; x < drawn.width(); ++x) {
            const double l = luminance(drawn.pixel(x, y));
            darkest = std::min(darkest, l);
            lightest = std::max(lightest, l);
        }
    }
    EXPECT_GE((lightest + 0.05) / (darkest + 0.05), 7.0);  // greyed out, it was about 1.6
    // Not editable, and out of the tab chain.
    EXPECT_EQ(QApplication::focusWidget(), w->Button2);
    w->Memo1->setFocus();
    test::type("abc");
    test::press(Qt::Key_Delete);
    test::press(Qt::Key_Backspace);
    EXPECT_EQ(w->Memo1->toPlainText(), "张晓雯 张思远\n张一诺");
}

// The buttons with the keyboard: after 导入 and 筛选 disable themselves the focus is on the
// results, so a further Enter presses nothing (never 关闭).
TEST_F(SemiAuto, KeyboardThroughBrowseImportAndFilter) {
    const auto file = dir.path() / "names.txt";
    test::writeFile(file, G("李四 ") + nameOf(2, 9, 4));
    dialogs.answers.push_back(QString::fromStdString(file.string()));
    test::showActive(w.get());
    ASSERT_EQ(QApplication::focusWidget(), w->Button2);  // the window opens on 浏览.....
    test::pressReturn();
    EXPECT_EQ(w->Memo1->toPlainText(), toQ(G("李四 ") + nameOf(2, 9, 4)));
    test::tabTo(w->Button1);
    test::pressReturn();  // 导入
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 1 个名字。");
    EXPECT_EQ(QApplication::focusWidget(), w->Memo2);
    test::tabTo(w->Button3);
    test::pressKeypadEnter();  // 筛选
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
    EXPECT_EQ(w->Memo2->toPlainText(), toQ(nameOf(2, 9, 4)));
    EXPECT_FALSE(w->Button3->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), w->Memo2);
    const int shown = dialogs.shown.size();
    test::pressReturn();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(dialogs.shown.size(), shown);
    test::tabTo(w->BitBtn3);  // 关闭, pressed on purpose
    test::pressReturn();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SemiAuto, BrowseImportFilterOncePerImport) {
    const std::string yes = nameOf(2, 9, 4);
    browse(G("李四 ") + yes + " " + nameOf(20, 1, 1) + " " + yes + "\r\n" + nameOf(2, 9, 4) +
           "\r\n");
    EXPECT_EQ(dialogs.lastFilter, "*.txt");
    EXPECT_EQ(w->Memo1->toPlainText().split('\n').size(), 2);
    EXPECT_TRUE(w->Button1->isEnabled());

    dialogs.onMessage = [&](const QString&) {
        // While the message is up, the progress line is still there.
        EXPECT_TRUE(w->Memo2->toPlainText().endsWith("正在导入数据，请等待！"));
    };
    w->Button1->click();
    dialogs.onMessage = nullptr;
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 3 个名字。");
    EXPECT_EQ(w->Edit1->text(), "李");
    EXPECT_TRUE(w->Memo2->toPlainText().isEmpty());
    EXPECT_TRUE(w->Button3->isEnabled());
    EXPECT_FALSE(w->Button1->isEnabled());  // until the next browse
    EXPECT_FALSE(w->holdsLoadedList());

    w->Button3->click();
    EXPECT_EQ(w->Memo2->toPlainText(), toQ(yes) + "\n数据库里没有此笔画的姓氏！");
    EXPECT_EQ(w->Edit1->text(), "拾");  // the surname of the last row judged
    EXPECT_FALSE(w->Button1->isEnabled());
    EXPECT_FALSE(w->Button3->isEnabled());
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, CancelAndUnreadableFiles) {
    browse(G("张小华"));
    dialogs.answers.push_back(QString());
    w->Button2->click();  // cancelled: the preview is emptied, the rest stays
    EXPECT_TRUE(w->Memo1->toPlainText().isEmpty());
    EXPECT_TRUE(w->Button1->isEnabled());
    EXPECT_TRUE(w->holdsLoadedList());

    SemiAutoNamingWindow fresh(db);
    dialogs.answers.push_back(QString::fromStdString((dir.path() / "missing.txt").string()));
    fresh.Button2->click();
    EXPECT_TRUE(dialogs.shown.last().contains("No such file or directory"));
    EXPECT_FALSE(fresh.Button1->isEnabled());
}

TEST_F(SemiAuto, AFirstLineWithoutNamesChangesNothing) {
    browse(G("张小华 王小明"));
    w->Button1->click();
    browse("   \r\n" + G("赵小燕"));
    dialogs.shown.clear();
    w->Button1->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].contains("第一行没有任何名字"));
    EXPECT_TRUE(w->Button1->isEnabled());
    EXPECT_TRUE(w->Button3->isEnabled());
    EXPECT_EQ(w->Edit1->text(), "张");
    w->Button3->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, AFirstLineWithoutStorableNamesIsRefusedAndAnEmptyXm2StillFilters) {
    // Tokens, but none of six bytes: refused like an empty first line.
    browse(G("李四 欧阳娜娜"));
    w->Button1->click();
    EXPECT_TRUE(dialogs.shown.last().contains("第一行没有任何名字"));
    EXPECT_TRUE(w->Edit1->text().isEmpty());
    EXPECT_FALSE(w->Button3->isEnabled());
    // The filter over the empty xm2 of the fresh database still completes.
    w->Button3Click();
    EXPECT_TRUE(w->Memo2->toPlainText().isEmpty());
    EXPECT_TRUE(w->Edit1->text().isEmpty());
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, BinaryAndHugeFirstLines) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) % 256);
    browse(binary);
    w->Button1->click();
    EXPECT_FALSE(dialogs.shown.isEmpty());
    std::string huge;
    for (int i = 0; i < 300000; ++i) huge += nameOf(2, 9, 4) + " ";
    browse(huge);
    EXPECT_TRUE(w->Memo1->toPlainText().contains("预览只显示开头部分"));
    EXPECT_LT(w->Memo1->toPlainText().size(), 70000);
    w->Button1->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 300000 个名字。");
    w->Button3->click();
    EXPECT_EQ(w->Memo2->toPlainText(), toQ(nameOf(2, 9, 4)));  // one distinct name
    // Unbalanced quotes and NUL bytes: a clear outcome, nothing lost.
    browse("\"" + nameOf(2, 9, 4) + std::string(" \0 ", 3) + G("张小华"));
    w->Button1->click();
    EXPECT_TRUE(dialogs.shown.last().contains("第一行没有任何名字"));  // one 15-byte token
    browse(nameOf(2, 9, 4) + std::string(" \0 ", 3) + "\"" + G("张小华"));
    w->Button1->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
    EXPECT_EQ(w->Edit1->text(), "二");
}

}  // namespace
}  // namespace quenvil
