// The parent's workbench in the 名字推荐 window: names compared side by side, exports that ask
// before replacing a file and keep it on a full disk, and the shortlist.
#include "support/keys.h"
#include "windows/recommend_window_fixture.h"

namespace quenvil {
namespace {

using namespace recommend_test;

TEST(Comparison, TwoKnownNamesSideBySide) {
    const auto rows = comparisonRows(shipped(), scoredNames({"黄思婷", "杜子腾"}));
    std::map<std::string, std::vector<std::string>> by;
    for (const auto& r : rows) by[r[0]] = {r.begin() + 1, r.end()};
    EXPECT_EQ(rows[0], (std::vector<std::string>{"名字", "黄思婷", "杜子腾"}));
    EXPECT_EQ(by["拼音"], (std::vector<std::string>{"huáng sī tíng", "dù zǐ téng"}));
    EXPECT_EQ(by["声调"], (std::vector<std::string>{"平平平", "仄仄平"}));
    EXPECT_EQ(by["笔画"], (std::vector<std::string>{"12,9,12", "7,3,20"}));
    EXPECT_EQ(by["人格"], (std::vector<std::string>{"21 大吉", "10 凶"}));
    EXPECT_EQ(by["三才"], (std::vector<std::string>{"火木木 大吉", "金水火 凶多于吉"}));
    EXPECT_EQ(by["数理分"][0], "98");
    EXPECT_NE(by["说明"][1].find("谐音:肚子疼"), std::string::npos);
    EXPECT_NE(by["字义"][0].find("思:"), std::string::npos);
    EXPECT_EQ(rows.size(),
              16u);  // 名字, 3 scores, 拼音, 声调, 笔画, 5 grids, 三才, 字义, 出处, 说明
    const std::string text = comparisonText(rows);
    EXPECT_EQ(text.substr(0, text.find('\n')), "名字\t黄思婷\t杜子腾");
}

TEST_F(RecommendWindowFlow, SelectedNamesAreComparedSideBySide) {
    type("罗");
    key(Qt::Key_Return);
    tabTo(table(*w));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    const auto names = shownNames();
    QString headers, copied;
    bool closed = false;
    tabTo(button(*w, "compareButton"));
    const test::WhenModal inside([&](QWidget* modal) {
        auto* compare = qobject_cast<QDialog*>(modal);
        ASSERT_TRUE(compare && compare->objectName() == "compareWindow");
        auto* t = test::child<QTableWidget>(compare, "compareTable");
        for (int c = 0; c < t->columnCount(); ++c) {
            headers += t->horizontalHeaderItem(c)->text() + "|";
        }
        // Enter on 复制 when it has the focus; Escape closes.
        auto* copy = test::child<QPushButton>(compare, "copyComparisonButton");
        copy->setFocus();
        QTest::keyClick(copy, Qt::Key_Return);
        copied = QApplication::clipboard()->text();
        QTest::keyClick(copy, Qt::Key_Escape);
        closed = !compare->isVisible();
        if (!closed) compare->reject();
    });
    key(Qt::Key_Return);
    EXPECT_EQ(headers.toStdString(), names[0] + "|" + names[1] + "|" + names[2] + "|");
    EXPECT_TRUE(copied.startsWith(q("名字\t" + names[0] + "\t" + names[1])))
        << copied.toStdString();
    EXPECT_TRUE(closed);
    EXPECT_TRUE(w->isVisible());
    // One name is not a comparison.
    w->activateWindow();  // as the desktop gives the focus back when the comparison closes
    ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    tabTo(table(*w));
    key(Qt::Key_Down);
    tabTo(button(*w, "compareButton"));
    key(Qt::Key_Return);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0], "message: 请在表中选中两到四个可以评分的名字再比较。");
}

// The file type's suffix comes first, then the question whether to replace a file of that name:
// typing "keep" asks as typing "keep.csv" does. No keeps the file.
TEST_F(RecommendWindowFlow, AnExportAsksBeforeReplacingAFile) {
    type("罗");
    key(Qt::Key_Return);
    const auto keep = dir.path() / "keep.csv";
    test::writeFile(keep, "mine");
    for (const char* typed : {"keep", "keep.csv"}) {
        for (const bool yes : {false, true}) {
            test::writeFile(keep, "mine");
            dialogs.shown.clear();
            dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / typed).string()), 0});
            dialogs.questionAnswers.push_back(yes);
            w->onExport();
            EXPECT_EQ(dialogs.shown, QStringList{"question: keep.csv 已存在。\n要替换它吗？"})
                << typed;
            EXPECT_EQ(test::readFile(keep) == "mine", !yes) << typed;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "keep"));
    // A new file is written without a question, readable as the user's files are.
    dialogs.shown.clear();
    dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / "new").string()), 1});
    w->onExport();
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    EXPECT_EQ(test::readFile(dir.path() / "new.txt"),
              exportBytes(*w->model(), *w->proxy(), ExportFormat::GbkText));
    EXPECT_NE(std::filesystem::status(dir.path() / "new.txt").permissions() &
                  std::filesystem::perms::others_read,
              std::filesystem::perms::none);
}

// On a full disk the export fails with a message and the file it was to replace stays whole.
TEST_F(RecommendWindowFlow, AnExportOnAFullDiskLeavesTheOldFile) {
    test::SmallFileSystem disk(dir.path() / "disk", 64);
    if (!disk.ok()) GTEST_SKIP() << "mounting a small file system needs root";
    const auto old = dir.path() / "disk" / "names.csv";
    test::writeFile(old, "the old export");
    disk.fill();
    type("罗");
    key(Qt::Key_Return);
    dialogs.saveAnswers.push_back(SaveChoice{q(old.string()), 0});
    dialogs.questionAnswers.push_back(true);
    w->onExport();
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[1].startsWith("message: 不能写入文件：" + q(old.string()) + "\n"))
        << dialogs.shown[1].toStdString();
    EXPECT_EQ(test::readFile(old), "the old export");
    std::vector<std::string> left;
    for (const auto& e : std::filesystem::directory_iterator(dir.path() / "disk")) {
        left.push_back(e.path().filename());
    }
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"filler", "names.csv"}));
}

// 收藏 (Ctrl+D) keeps the selected names in the database; a window made later (as after a
// restart) lists them in 收藏夹, where a remark is typed into its cell and 删除 takes a name off.
TEST_F(RecommendWindowFlow, StarredNamesStayOnTheShortlist) {
    std::filesystem::copy_file(test::programDir() / kDatabaseFileName,
                               dir.path() / kDatabaseFileName);
    const DataLocation here{dir.path(), dir.path(), dir.path(), DatabaseHome::Program, ""};
    auto db = std::make_unique<Database>();
    openDatabase(*db, here);
    EXPECT_FALSE(button(*w, "keepButton")->isVisibleTo(w.get()));  // no database, no 收藏
    w->setShortlistDatabase(db.get());
    EXPECT_TRUE(button(*w, "keepButton")->isVisibleTo(w.get()));
    type("罗");
    key(Qt::Key_Return);
    tabTo(genderBox(*w));
    key(Qt::Key_Down);  // 男, at once
    tabTo(table(*w));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_D, Qt::ControlModifier);
    EXPECT_EQ(w->statusText(), "已收藏 2 个名字");
    const auto shown = shownNames();
    std::vector<ShortlistEntry> kept = shortlistEntries(db->connection);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].name, shown[0]);
    EXPECT_EQ(kept[1].name, shown[1]);
    EXPECT_EQ(kept[0].surname, "罗");
    EXPECT_EQ(kept[0].gender, 'm');

    db = std::make_unique<Database>();  // the program again
    openDatabase(*db, here);
    RecommendWindow again(shipped(), {"罗"});
    again.setShortlistDatabase(db.get());
    again.show();
    QStringList listed;
    const test::WhenModal inside([&](QWidget* modal) {
        auto* list = qobject_cast<QDialog*>(modal);
        ASSERT_TRUE(list && list->objectName() == "shortlistWindow");
        auto* t = test::child<QTableWidget>(list, "shortlistTable");
        for (int r = 0; r < t->rowCount(); ++r) listed << t->item(r, 0)->text();
        t->item(0, 3)->setText("外婆喜欢");  // as typed into the cell
        t->setFocus();
        QTest::keyClick(t, Qt::Key_Down);  // the second name alone
        auto* remove = test::child<QPushButton>(list, "removeFromShortlistButton");
        remove->setFocus();
        QTest::keyClick(remove, Qt::Key_Return);
        listed << QString::number(t->rowCount());
        // 导出: the table's columns for the name, then its gender, remark and time.
        dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / "kept").string()), 0});
        auto* exportAll = test::child<QPushButton>(list, "exportShortlistButton");
        exportAll->setFocus();
        QTest::keyClick(exportAll, Qt::Key_Return);
        list->reject();
    });
    again.onShortlist();
    EXPECT_EQ(listed, (QStringList{q(shown[0]), q(shown[1]), "1"}));
    kept = shortlistEntries(db->connection);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept[0].name, shown[0]);
    EXPECT_EQ(kept[0].remark, "外婆喜欢");
    const auto records = parseCsv(test::readFile(dir.path() / "kept.csv"));
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].size(), 14u);
    EXPECT_EQ(records[0][11] + records[0][12] + records[0][13], "性别备注收藏时间");
    std::vector<std::string> expected = test::columnTexts(shipped(), scoredNames({shown[0]})[0]);
    expected.insert(expected.end(), {"男", "外婆喜欢", kept[0].added});
    EXPECT_EQ(records[1], expected);
    std::string tabbed;
    for (const auto& record : records) {
        for (const std::string& field : record) tabbed += field + '\t';
        tabbed.back() = '\r';
        tabbed += '\n';
    }
    EXPECT_EQ(shortlistExportBytes(shipped(), kept, ExportFormat::GbkText), utf8ToGbk(tabbed));
}

}  // namespace
}  // namespace quenvil
