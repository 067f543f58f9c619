// The windows of an installed program: they write the user's copy of data.Mdb and read the help
// page and the name lists from the shipped data folder, which stays unchanged.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QPushButton>
#include <fstream>
#include <sstream>

#include "app/startup.h"
#include "data/data_location.h"
#include "support/fixture_db.h"
#include "support/test_dialogs.h"
#include "support/widgets.h"

namespace quenvil {
namespace {

using test::G;
using test::nameOf;

std::string slurp(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(InstalledProgram, ImportsIntoTheUsersCopyAndShowsTheShippedHelp) {
    test::TempDir dir;
    const auto bin = dir.path() / "bin";
    const auto shipped = dir.path() / "share" / "quenvil";
    const auto user = dir.path() / "home" / ".local" / "share" / "quenvil";
    std::filesystem::create_directories(bin);
    test::buildFixtureDb(shipped, test::numberedFixture());
    std::filesystem::create_directories(shipped / "xm");
    test::writeFile(shipped / "xm" / "王.txt", nameOf(4, 9, 4) + "\r\n");
    const std::string shippedBytes = slurp(shipped / kDatabaseFileName);

    test::RecordingDialogs dialogs;
    const DataLocation data = locateData(bin, user);
    Program program = createProgram({data.shipped, data.system, data.database});
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    EXPECT_EQ(program.mainWindow->database().connection.file(), user / kDatabaseFileName);
    EXPECT_EQ(program.mainWindow->helpPage().parent_path(), shipped / "help");
    EXPECT_EQ(test::child<QComboBox>(program.autoNaming.get(), "surnameCombo")->currentText(),
              "王");  // the shipped name lists

    const auto names = dir.path() / "names.txt";
    test::writeFile(names, G("李四 ") + nameOf(2, 9, 4) + " " + nameOf(6, 11, 14) + "\r\n");
    dialogs.answers.push_back(QString::fromStdString(names.string()));
    test::child<QPushButton>(program.semiAutoNaming.get(), "browseButton")->click();
    test::child<QPushButton>(program.semiAutoNaming.get(), "importButton")->click();
    EXPECT_EQ(dialogs.shown.last(), "message: 数据导入成功！共导入 2 个名字。");

    EXPECT_EQ(slurp(shipped / kDatabaseFileName), shippedBytes);
    Database copy;
    copy.open(user);
    copy.importedNames.setCommandText("select count(*) as n from xm");
    copy.importedNames.open();
    EXPECT_EQ(copy.importedNames.fieldInteger("n"), 2);
}

}  // namespace
}  // namespace quenvil
