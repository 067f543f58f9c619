// Qt's own texts in the real message boxes and file dialog: Chinese, from Qt's translation that the
// program (and this test program) installs at start-up.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

#include "auto_naming/auto_naming_window.h"
#include "data/database_error.h"
#include "support/fixture_db.h"
#include "support/keys.h"
#include "support/wait.h"
#include "support/widgets.h"
#include "ui/dialogs.h"
#include "ui/error_text.h"
#include "ui/translation.h"

namespace quenvil {
namespace {

using test::G;

// The real dialogs, whatever a test installed before.
struct RealDialogs {
    RealDialogs() { Dialogs::setCurrent(nullptr); }
};

TEST(QtTexts, MessageBoxSpeaksChineseAndEnterClosesIt) {
    RealDialogs real;
    const test::WhenModal inside([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->windowTitle(), "Quenvil");
        EXPECT_EQ(box->text(), "数据库中不存在此姓");
        ASSERT_NE(box->button(QMessageBox::Ok), nullptr);
        EXPECT_EQ(box->button(QMessageBox::Ok)->text(), "确定");
        EXPECT_EQ(QApplication::focusWidget(), box->button(QMessageBox::Ok));
        test::pressReturn();
    });
    Dialogs::current().message(QStringLiteral("数据库中不存在此姓"));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST(QtTexts, FileDialogSpeaksChinese) {
    RealDialogs real;
    const test::WhenModal inside([&](QWidget* modal) {
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "打开");
        EXPECT_EQ(dialog->labelText(QFileDialog::LookIn), "查找范围：");
        EXPECT_EQ(dialog->labelText(QFileDialog::FileName), "文件名称(&N)：");
        EXPECT_EQ(dialog->labelText(QFileDialog::FileType), "文件类型：");
        EXPECT_EQ(dialog->labelText(QFileDialog::Accept), "打开(&O)");
        EXPECT_EQ(dialog->labelText(QFileDialog::Reject), "取消");
        test::press(Qt::Key_Escape);
    });
    EXPECT_EQ(Dialogs::current().openFile(nullptr, QStringLiteral("*.txt")), std::nullopt);
}

// The 类型 column of the file dialog: Qt's translation leaves "Folder"; ours says 文件夹.
TEST(QtTexts, TheFileDialogCallsAFolderAFolder) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "名单");
    QFileSystemModel files;
    const QModelIndex root = files.setRootPath(QString::fromStdString(dir.path().string()));
    ASSERT_TRUE(test::waitUntil([&] { return files.rowCount(root) == 1; }));
    EXPECT_EQ(files.headerData(2, Qt::Horizontal).toString(), "类型");
    EXPECT_EQ(files.index(0, 2, root).data().toString(), "文件夹");
    EXPECT_EQ(fileKindText(QLatin1StringView("Drive")), "驱动器");
    EXPECT_EQ(fileKindText(QLatin1StringView("Name")), "");  // Qt's own translation has it
}

// The errors a user meets read in Chinese; a database's or a conversion's own text stays.
TEST(QtTexts, ErrorsReadInChinese) {
    using std::filesystem::filesystem_error;
    const auto code = [](int e) { return std::make_error_code(static_cast<std::errc>(e)); };
    EXPECT_EQ(errorText(filesystem_error("listing", "/home/u/xm", code(ENOENT))),
              "读不出 /home/u/xm：不存在");
    EXPECT_EQ(errorText(std::system_error(code(EACCES), "/home/u/a.txt")),
              "/home/u/a.txt：没有权限");
    EXPECT_EQ(errorText(std::system_error(code(ENOSPC), "cannot write /tmp/x")),
              "cannot write /tmp/x：磁盘已满");
    EXPECT_EQ(errorText(DatabaseError("unable to open database file: /q/data.Mdb")),
              "打不开字库文件 data.Mdb：查笔画、测算和取名都要用到它。\n"
              "unable to open database file: /q/data.Mdb");
    EXPECT_EQ(errorText(DatabaseError("no such table: xm")), "no such table: xm");
    EXPECT_EQ(errorText(std::runtime_error("'x' is not a valid integer value")),
              "'x' is not a valid integer value");
}

// The auto window with the real message box: a surname without a list brings up the box, Enter
// closes the box, and the window stays with its list.
TEST(QtTexts, UnknownSurnameInTheChooserShowsTheBoxAndTheWindowStays) {
    test::TempDir dir;
    test::buildFixtureDb(dir.path(), test::numberedFixture());
    Database db;
    db.open(dir.path());
    std::filesystem::create_directories(dir.path() / "xm");
    test::writeFile(dir.path() / "xm" / "王.txt", G("王小明") + "\r\n");
    RealDialogs real;
    AutoNamingWindow w(db, dir.path());
    test::showActive(&w);
    ASSERT_EQ(QApplication::focusWidget(), test::child<QComboBox>(&w, "surnameCombo"));
    QString shown;
    const test::WhenModal inside([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr);
        shown = box->text() + "|" + box->button(QMessageBox::Ok)->text();
        test::pressReturn();
    });
    test::press(Qt::Key_A, Qt::ControlModifier);
    test::type("测");
    test::pressReturn();
    EXPECT_EQ(shown, "数据库中不存在此姓|确定");
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(test::child<QPlainTextEdit>(&w, "nameListView")->toPlainText(), "王小明");
    // Back in the window (offscreen, nothing activates it again), the chooser has the focus.
    test::showActive(&w);
    EXPECT_EQ(QApplication::focusWidget(), test::child<QComboBox>(&w, "surnameCombo"));
}

}  // namespace
}  // namespace quenvil
