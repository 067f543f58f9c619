// The windows of an installed program: they write the user's copy of data.Mdb and read the help
// page and the name lists from the shipped data folder, which stays unchanged.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "data/data_location.h"
#include "semi_auto_naming/name_import.h"
#include "support/fixture_db.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

TEST(InstalledProgram, ImportsIntoTheUsersCopyAndShowsTheShippedHelp) {
    test::TempDir dir;
    const auto bin = dir.path() / "bin";
    const auto shipped = dir.path() / "share" / "quenvil";
    const auto user = dir.path() / "home" / ".local" / "share" / "quenvil";
    std::filesystem::create_directories(bin);
    test::buildFixtureDb(shipped, test::numberedFixture());
    std::filesystem::create_directories(shipped / "xm");
    test::writeFile(shipped / "xm" / "王.txt", nameOf(4, 9, 4) + "\r\n");
    const std::string shippedBytes = test::readFile(shipped / kDatabaseFileName);

    test::RecordingDialogs dialogs;
    const DataLocation data = locateData(bin, user);
    Program program = createProgram(appFolders(data));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    EXPECT_EQ(program.mainWindow->database().connection.file(), user / kDatabaseFileName);
    EXPECT_EQ(program.mainWindow->helpPage().parent_path(), shipped / "help");
    program.autoNaming->show();  // the name lists are read when the window first opens
    EXPECT_EQ(test::child<QComboBox>(program.autoNaming.get(), "surnameCombo")->currentText(),
              "王");  // the shipped name lists
    program.autoNaming->hide();

    const auto names = dir.path() / "names.txt";
    test::writeFile(names, G("李四 ") + nameOf(2, 9, 4) + " " + nameOf(6, 11, 14) + "\r\n");
    dialogs.answers.push_back(QString::fromStdString(names.string()));
    test::child<QPushButton>(program.semiAutoNaming.get(), "browseButton")->click();
    test::child<QPushButton>(program.semiAutoNaming.get(), "importButton")->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");

    EXPECT_EQ(test::readFile(shipped / kDatabaseFileName), shippedBytes);
    Database copy;
    copy.open(user);
    copy.importedNames.setCommandText("select count(*) as n from xm");
    copy.importedNames.open();
    EXPECT_EQ(copy.importedNames.fieldInteger("n"), 2);
}

// An installed program of the fixture data, its user's folder and a list of two names to import.
class Installed : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::create_directories(bin);
        test::buildFixtureDb(shipped, test::numberedFixture());
        std::filesystem::create_directories(shipped / "xm");
        test::writeFile(shipped / "xm" / "王.txt", nameOf(4, 9, 4) + "\r\n");
        shippedBytes = test::readFile(shipped / kDatabaseFileName);
        test::writeFile(names, G("李四 ") + nameOf(2, 9, 4) + " " + nameOf(6, 11, 14) + "\r\n");
    }
    // Browses and imports the list in the semi-automatic window; the last message shown.
    QString import(Program& program) {
        dialogs.answers.push_back(QString::fromStdString(names.string()));
        test::child<QPushButton>(program.semiAutoNaming.get(), "browseButton")->click();
        test::child<QPushButton>(program.semiAutoNaming.get(), "importButton")->click();
        return dialogs.shown.last();
    }
    size_t importedRows(const std::filesystem::path& folder) {
        Database db;
        db.open(folder);
        db.importedNames.setCommandText("select count(*) as n from xm");
        db.importedNames.open();
        return static_cast<size_t>(db.importedNames.fieldInteger("n"));
    }
    test::TempDir dir;
    std::filesystem::path bin = dir.path() / "bin";
    std::filesystem::path shipped = dir.path() / "share" / "quenvil";
    std::filesystem::path user = dir.path() / "home" / ".local" / "share" / "quenvil";
    std::filesystem::path names = dir.path() / "names.txt";
    std::string shippedBytes;
    test::RecordingDialogs dialogs;
};

// Without a copy of its own the program says so at start-up, reads the shipped file and refuses
// every import, without blaming the program's folder.
TEST_F(Installed, WithoutAUsersCopyTheWindowSaysSoAndRefusesTheImport) {
    test::writeFile(dir.path() / "home", "");  // the user's folder cannot be made
    {
        Program program = createProgram(appFolders(locateData(bin, user)));
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(
            dialogs.shown[0].startsWith("message: " + QString::fromUtf8(kNoUserCopyMessage)))
            << dialogs.shown[0].toStdString();
        EXPECT_TRUE(dialogs.shown[0].contains(QString::fromStdString(user.string())));
        EXPECT_EQ(program.mainWindow->database().connection.file(), shipped / kDatabaseFileName);

        const QString refusal = import(program);
        EXPECT_TRUE(refusal.startsWith("message: " + QString::fromUtf8(kNoUserCopyImportMessage)))
            << refusal.toStdString();
        EXPECT_FALSE(refusal.contains(QString::fromUtf8(kDatabaseReadOnlyMessage)));
    }
    EXPECT_EQ(test::readFile(shipped / kDatabaseFileName), shippedBytes);
}

// A damaged copy is replaced at start-up, and the window says where the old one is kept.
TEST_F(Installed, ADamagedCopyIsReplacedAndTheWindowSaysWhereItIsKept) {
    std::filesystem::create_directories(user);
    test::writeFile(user / kDatabaseFileName, "x");
    {
        Program program = createProgram(appFolders(locateData(bin, user)));
        ASSERT_EQ(dialogs.shown.size(), 1);
        EXPECT_TRUE(dialogs.shown[0].startsWith("message: 你的数据库副本已损坏，已改名保存为 " +
                                                QString::fromStdString(user.string()) +
                                                "/data.Mdb.damaged-"))
            << dialogs.shown[0].toStdString();
        EXPECT_TRUE(dialogs.shown[0].contains("从旧副本中找回了 0 个导入的名字"));
        EXPECT_EQ(import(program), "message: 数据导入成功！共导入 2 个名字。");
    }
    EXPECT_EQ(importedRows(user), 2u);
    EXPECT_EQ(test::readFile(shipped / kDatabaseFileName), shippedBytes);
}

// A window started while another program keeps the copy busy says so, stays on the copy, and
// imports into it once the other program is done.
TEST_F(Installed, AWindowStartedWhileTheCopyIsBusyStaysOnTheCopy) {
    const DataLocation data = locateData(bin, user);
    Connection other;
    other.open(user / kDatabaseFileName, kDatabasePassword);
    other.beginTransaction();
    other.execute("insert into xm(xingming) values('x')");
    {
        Program program = createProgram(appFolders(data));
        // (The manual naming window's first lookup, at start-up, then finds the file busy too.)
        ASSERT_GE(dialogs.shown.size(), 1);
        EXPECT_TRUE(
            dialogs.shown[0].startsWith("message: " + QString::fromUtf8(kDatabaseBusyMessage)))
            << dialogs.shown[0].toStdString();
        other.rollback();
        other.close();
        EXPECT_EQ(import(program), "message: 数据导入成功！共导入 2 个名字。");
        EXPECT_EQ(program.mainWindow->database().connection.file(), user / kDatabaseFileName);
    }
    EXPECT_EQ(importedRows(user), 2u);
    EXPECT_EQ(test::readFile(shipped / kDatabaseFileName), shippedBytes);
}

}  // namespace
}  // namespace quenvil
