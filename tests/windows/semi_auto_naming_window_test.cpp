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
#include "support/widgets.h"
#include "text/gbk.h"
#include "ui/qt_text.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

// The window's controls.
QPlainTextEdit* previewView(SemiAutoNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "previewView");
}
QPlainTextEdit* resultsView(SemiAutoNamingWindow& w) {
    return test::child<QPlainTextEdit>(&w, "resultsView");
}
QLineEdit* surnameEdit(SemiAutoNamingWindow& w) {
    return test::child<QLineEdit>(&w, "surnameEdit");
}
QPushButton* button(SemiAutoNamingWindow& w, const char* name) {
    return test::child<QPushButton>(&w, name);
}

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
        button(*w, "browseButton")->click();
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
        EXPECT_EQ(previewView(*w)->toPlainText(), QString::fromUtf8("张小华 二九四\n第二行"));
        button(*w, "importButton")->click();
        EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
        EXPECT_EQ(surnameEdit(*w)->text(), "张");
    }
    button(*w, "filterButton")->click();
    EXPECT_EQ(resultsView(*w)->toPlainText(),
              "数据库里没有此笔画的姓氏！\n二九四");  // 张 has no row
    EXPECT_TRUE(test::databaseIsIdle(dir.path()));
}

TEST_F(SemiAuto, ABusyDatabaseStopsTheImportWithAMessageAndKeepsTheList) {
    browse(G("张小华 王小明"));
    button(*w, "importButton")->click();
    browse(G("赵小燕 ") + nameOf(2, 9, 4));
    Connection reader;
    reader.open(dir.path() / "data.Mdb", kDatabasePassword);
    DataSet rows(reader);
    rows.setCommandText("select * from xm");
    rows.open();  // another program in the middle of a read
    db.connection.setBusyTimeout(200);
    dialogs.shown.clear();
    button(*w, "importButton")->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0], "message: 数据库正被其他程序使用，请稍后再试。");
    EXPECT_TRUE(w->holdsLoadedList());
    EXPECT_TRUE(button(*w, "importButton")->isEnabled());
    EXPECT_TRUE(resultsView(*w)->toPlainText().isEmpty());
    rows.close();
    button(*w, "importButton")->click();  // the reader has finished: the same list goes in
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
    button(*w, "filterButton")->click();
    EXPECT_EQ(resultsView(*w)->toPlainText(),
              "数据库里没有此笔画的姓氏！\n" + toQ(nameOf(2, 9, 4)));
}

TEST_F(SemiAuto, AReadOnlyFolderIsNamedInTheImportMessage) {
    browse(G("张小华 王小明"));
    test::ReadOnlyFolder readOnly(dir.path());
    if (!readOnly.ok()) GTEST_SKIP() << "the folder cannot be made read-only here";
    dialogs.shown.clear();
    button(*w, "importButton")->click();
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
    EXPECT_FALSE(button(*w, "importButton")->isEnabled());
    EXPECT_FALSE(button(*w, "filterButton")->isEnabled());
    EXPECT_TRUE(button(*w, "browseButton")->isEnabled());
    EXPECT_TRUE(previewView(*w)->isEnabled());  // read-only, not greyed out
    EXPECT_TRUE(previewView(*w)->isReadOnly());
    EXPECT_TRUE(surnameEdit(*w)->isReadOnly());
    EXPECT_EQ(test::child<QLabel>(w.get(), "surnameCaption")->text(), "你选择的姓氏是:");
    EXPECT_EQ(button(*w, "browseButton")->text(), "浏览.....");
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
    const QImage drawn = previewView(*w)->viewport()->grab().toImage();
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
    EXPECT_EQ(QApplication::focusWidget(), button(*w, "browseButton"));
    previewView(*w)->setFocus();
    test::type("abc");
    test::press(Qt::Key_Delete);
    test::press(Qt::Key_Backspace);
    EXPECT_EQ(previewView(*w)->toPlainText(), "张晓雯 张思远\n张一诺");
}

// The buttons with the keyboard: after 导入 and 筛选 disable themselves the focus is on the
// results, so a further Enter presses nothing (never 关闭).
TEST_F(SemiAuto, KeyboardThroughBrowseImportAndFilter) {
    const auto file = dir.path() / "names.txt";
    test::writeFile(file, G("李四 ") + nameOf(2, 9, 4));
    dialogs.answers.push_back(QString::fromStdString(file.string()));
    test::showActive(w.get());
    ASSERT_EQ(QApplication::focusWidget(),
              button(*w, "browseButton"));  // the window opens on 浏览.....
    test::pressReturn();
    EXPECT_EQ(previewView(*w)->toPlainText(), toQ(G("李四 ") + nameOf(2, 9, 4)));
    test::tabTo(button(*w, "importButton"));
    test::pressReturn();  // 导入
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 1 个名字。");
    EXPECT_EQ(QApplication::focusWidget(), resultsView(*w));
    test::tabTo(button(*w, "filterButton"));
    test::pressKeypadEnter();  // 筛选
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
    EXPECT_EQ(resultsView(*w)->toPlainText(), toQ(nameOf(2, 9, 4)));
    EXPECT_FALSE(button(*w, "filterButton")->isEnabled());
    EXPECT_EQ(QApplication::focusWidget(), resultsView(*w));
    const int shown = dialogs.shown.size();
    test::pressReturn();
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(dialogs.shown.size(), shown);
    test::tabTo(button(*w, "closeButton"));  // 关闭, pressed on purpose
    test::pressReturn();
    EXPECT_FALSE(w->isVisible());
}

TEST_F(SemiAuto, BrowseImportFilterOncePerImport) {
    const std::string yes = nameOf(2, 9, 4);
    browse(G("李四 ") + yes + " " + nameOf(20, 1, 1) + " " + yes + "\r\n" + nameOf(2, 9, 4) +
           "\r\n");
    EXPECT_EQ(dialogs.lastFilter, "名单文件 (*.txt)");
    EXPECT_EQ(previewView(*w)->toPlainText().split('\n').size(), 2);
    EXPECT_TRUE(button(*w, "importButton")->isEnabled());

    dialogs.onMessage = [&](const QString&) {
        // While the message is up, the progress line is still there.
        EXPECT_TRUE(resultsView(*w)->toPlainText().endsWith("正在导入数据，请等待！"));
    };
    button(*w, "importButton")->click();
    dialogs.onMessage = nullptr;
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 3 个名字。");
    EXPECT_EQ(surnameEdit(*w)->text(), "李");
    EXPECT_TRUE(resultsView(*w)->toPlainText().isEmpty());
    EXPECT_TRUE(button(*w, "filterButton")->isEnabled());
    EXPECT_FALSE(button(*w, "importButton")->isEnabled());  // until the next browse
    EXPECT_FALSE(w->holdsLoadedList());

    button(*w, "filterButton")->click();
    EXPECT_EQ(resultsView(*w)->toPlainText(), toQ(yes) + "\n数据库里没有此笔画的姓氏！");
    EXPECT_EQ(surnameEdit(*w)->text(), "拾");  // the surname of the last row judged
    EXPECT_FALSE(button(*w, "importButton")->isEnabled());
    EXPECT_FALSE(button(*w, "filterButton")->isEnabled());
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, CancelAndUnreadableFiles) {
    browse(G("张小华"));
    dialogs.answers.push_back(QString());
    button(*w, "browseButton")->click();  // cancelled: the preview is emptied, the rest stays
    EXPECT_TRUE(previewView(*w)->toPlainText().isEmpty());
    EXPECT_TRUE(button(*w, "importButton")->isEnabled());
    EXPECT_TRUE(w->holdsLoadedList());

    SemiAutoNamingWindow fresh(db);
    dialogs.answers.push_back(QString::fromStdString((dir.path() / "missing.txt").string()));
    button(fresh, "browseButton")->click();
    EXPECT_EQ(dialogs.shown.last().toStdString(),
              "message: 读不出文件 " + (dir.path() / "missing.txt").string() + "：不存在");
    EXPECT_FALSE(button(fresh, "importButton")->isEnabled());
}

TEST_F(SemiAuto, AFirstLineWithoutNamesChangesNothing) {
    browse(G("张小华 王小明"));
    button(*w, "importButton")->click();
    browse("   \r\n" + G("赵小燕"));
    dialogs.shown.clear();
    button(*w, "importButton")->click();
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].contains("第一行没有任何名字"));
    EXPECT_TRUE(button(*w, "importButton")->isEnabled());
    EXPECT_TRUE(button(*w, "filterButton")->isEnabled());
    EXPECT_EQ(surnameEdit(*w)->text(), "张");
    button(*w, "filterButton")->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, AFirstLineWithoutStorableNamesIsRefusedAndAnEmptyXm2StillFilters) {
    // Tokens, but none of six bytes: refused like an empty first line.
    browse(G("李四 欧阳娜娜"));
    button(*w, "importButton")->click();
    EXPECT_TRUE(dialogs.shown.last().contains("第一行没有任何名字"));
    EXPECT_TRUE(surnameEdit(*w)->text().isEmpty());
    EXPECT_FALSE(button(*w, "filterButton")->isEnabled());
    // The filter over the empty xm2 of the fresh database still completes.
    w->onFilter();
    EXPECT_TRUE(resultsView(*w)->toPlainText().isEmpty());
    EXPECT_TRUE(surnameEdit(*w)->text().isEmpty());
    EXPECT_EQ(dialogs.shown.last(), "message: 自动生成名字完成!");
}

TEST_F(SemiAuto, BinaryAndHugeFirstLines) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>((i * 37) % 256);
    browse(binary);
    button(*w, "importButton")->click();
    EXPECT_FALSE(dialogs.shown.isEmpty());
    std::string huge;
    for (int i = 0; i < 300000; ++i) huge += nameOf(2, 9, 4) + " ";
    browse(huge);
    EXPECT_TRUE(previewView(*w)->toPlainText().contains("预览只显示开头部分"));
    EXPECT_LT(previewView(*w)->toPlainText().size(), 70000);
    button(*w, "importButton")->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 300000 个名字。");
    button(*w, "filterButton")->click();
    EXPECT_EQ(resultsView(*w)->toPlainText(), toQ(nameOf(2, 9, 4)));  // one distinct name
    // Unbalanced quotes and NUL bytes: a clear outcome, nothing lost.
    browse("\"" + nameOf(2, 9, 4) + std::string(" \0 ", 3) + G("张小华"));
    button(*w, "importButton")->click();
    EXPECT_TRUE(dialogs.shown.last().contains("第一行没有任何名字"));  // one 15-byte token
    browse(nameOf(2, 9, 4) + std::string(" \0 ", 3) + "\"" + G("张小华"));
    button(*w, "importButton")->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");
    EXPECT_EQ(surnameEdit(*w)->text(), "二");
}

}  // namespace
}  // namespace quenvil
