// A user's own list scored in the 名字推荐 window (and cancelled half-way), and the window opened
// from the main window, where a name sent goes into the analysis.
#include "windows/recommend_window_fixture.h"

namespace quenvil {
namespace {

using namespace recommend_test;

TEST_F(RecommendWindowFlow, DoubleClickSendsTheName) {
    type("罗");
    key(Qt::Key_Return);
    QSignalSpy sent(w.get(), &RecommendWindow::nameSent);
    const QRect cell = table(*w)->visualRect(w->proxy()->index(3, 0));
    QTest::mouseClick(table(*w)->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table(*w)->viewport(), Qt::LeftButton, {}, cell.center());
    ASSERT_EQ(sent.size(), 1);
    EXPECT_EQ(sent[0][0].toString().toStdString(), shownNames()[3]);
    EXPECT_FALSE(w->isVisible());
}

// ---- The user's list -----------------------------------------------------------------------

// A list of names cycling through a pool (UTF-8 in the file when gbk is false).
std::vector<std::string> writeList(const std::filesystem::path& file, size_t count, bool gbk) {
    const std::vector<std::string> pool = {"黄思婷", "罗一凡", "杜梓维", "欧阳修", "李明",
                                           "诸葛亮", "曾国藩", "王芳",   "张伟",   "Tom"};
    std::vector<std::string> names;
    std::string text;
    text.reserve(count * 10);
    for (size_t i = 0; i < count; ++i) {
        names.push_back(pool[(i * 7 + i / 10) % pool.size()]);
        text += names.back();
        text += i % 2 ? "\n" : ", ";
    }
    test::writeFile(file, gbk ? utf8ToGbk(text) : text);
    return names;
}

TEST_F(RecommendWindowFlow, AListIsScoredIntoTheTable) {
    const auto file = dir.path() / "names.txt";
    const auto names = writeList(file, 1000, true);
    dialogs.answers.push_back(q(file.string()));
    tabTo(button(*w, "importButton"));
    key(Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([&] { return !w->importing(); }));
    EXPECT_FALSE(progressDialog(*w)->isVisible());
    ASSERT_EQ(w->proxy()->rowCount(), 1000);
    EXPECT_EQ(w->statusText(), "names.txt：1000 个名字");
    // Best first; the names that cannot be scored last, with the reason.
    int last = 1000;
    for (int r = 0; r < 1000; ++r) {
        const ResultRow& row =
            w->model()->row(w->proxy()->mapToSource(w->proxy()->index(r, 0)).row());
        ASSERT_EQ(row.orderKey(), orderKeyOnly(shipped(), row.name)) << row.name;
        ASSERT_LE(row.orderKey(), last);
        last = row.orderKey();
    }
    EXPECT_EQ(w->proxy()->index(999, 0).data().toString(), "Tom");
    EXPECT_EQ(w->proxy()->index(999, kNotesColumn).data().toString().toStdString(),
              failureNote(ScoreFailure::Unknown));
    // Export and import again: the same table.
    const std::string before = exportBytes(*w->model(), *w->proxy(), ExportFormat::CsvUtf8);
    test::writeFile(dir.path() / "again.csv", before);
    dialogs.answers.push_back(q((dir.path() / "again.csv").string()));
    key(Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([&] { return !w->importing(); }));
    EXPECT_EQ(exportBytes(*w->model(), *w->proxy(), ExportFormat::CsvUtf8), before);
}

TEST_F(RecommendWindowFlow, ALargeListCancelledHalfWayKeepsTheNamesScoredSoFar) {
    const auto file = dir.path() / "large.txt";
    constexpr size_t kCount = 400000;
    const auto names = writeList(file, kCount, false);
    type("罗");
    key(Qt::Key_Return);  // a table to be replaced
    dialogs.answers.push_back(q(file.string()));
    tabTo(button(*w, "importButton"));
    key(Qt::Key_Return);
    ASSERT_TRUE(w->importing());
    ASSERT_TRUE(progressDialog(*w)->isVisible());
    // The window's thread stays free while the list is scored: its event loop turns between the
    // batches, and a timer that fires on every turn sees the table grow.
    std::set<int> rowCountsSeen;
    QTimer everyTurn;
    QObject::connect(&everyTurn, &QTimer::timeout, [&] {
        if (w->importing()) rowCountsSeen.insert(w->model()->size());
    });
    everyTurn.start(0);
    ASSERT_TRUE(test::waitUntil(
        [&] { return !w->importing() || w->model()->size() >= static_cast<int>(kCount / 2); }));
    ASSERT_TRUE(w->importing()) << "the list was scored before it could be cancelled";
    EXPECT_GT(progressDialog(*w)->value(), 0);
    EXPECT_LT(progressDialog(*w)->value(), progressDialog(*w)->maximum());
    QTest::mouseClick(button(*w, "cancelImportButton"), Qt::LeftButton);
    everyTurn.stop();
    EXPECT_GE(rowCountsSeen.size(), 3u);

    // Consistent: no import running, the names taken before the cancel, every one complete,
    // best first; nothing arrives later.
    ASSERT_FALSE(w->importing());
    EXPECT_FALSE(progressDialog(*w)->isVisible());
    const int kept = shownCount();
    EXPECT_GE(kept, static_cast<int>(kCount / 2));
    EXPECT_LT(kept, static_cast<int>(kCount));
    // The cancel waited for the worker, so whatever it handed over is queued by now: delivered,
    // it must be dropped.
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(shownCount(), kept);
    std::multiset<std::string> expected(names.begin(), names.begin() + kept);
    std::multiset<std::string> shown;
    int last = 1000;
    for (int r = 0; r < kept; ++r) {
        const ResultRow& row =
            w->model()->row(w->proxy()->mapToSource(w->proxy()->index(r, 0)).row());
        shown.insert(row.name);
        if (r % 97 == 0) {
            ASSERT_EQ(row.orderKey(), orderKeyOnly(shipped(), row.name)) << row.name;
        }
        ASSERT_LE(row.orderKey(), last);
        last = row.orderKey();
    }
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(w->statusText().toStdString(),
              "large.txt：已取消，已评分的 " + std::to_string(kept) + " 个名字");
    // The window goes on as before.
    tabTo(surnameBox(*w));
    key(Qt::Key_Return);
    EXPECT_EQ(shownCount(),
              static_cast<int>(recommended(surnameBox(*w)->currentText().toStdString()).size()));
}

// Escape and the close box of the progress dialog cancel the import as its 取消 does; the window
// stays open.
TEST_F(RecommendWindowFlow, EscapeOrTheCloseBoxOfTheProgressDialogCancelsTheImport) {
    const auto file = dir.path() / "list.txt";
    writeList(file, 100000, false);
    QProgressDialog* progress = progressDialog(*w);
    const std::function<void()> ways[] = {[&] {
                                              // As a user finds it: active, the focus on 取消.
                                              progress->activateWindow();
                                              ASSERT_TRUE(QTest::qWaitForWindowActive(progress));
                                              key(Qt::Key_Escape);
                                          },
                                          [&] { progress->close(); }};
    for (const auto& cancel : ways) {
        dialogs.answers.push_back(q(file.string()));
        tabTo(button(*w, "importButton"));
        key(Qt::Key_Return);
        ASSERT_TRUE(w->importing());
        ASSERT_TRUE(test::waitUntil([&] { return w->model()->rowCount() > 0; }));
        cancel();
        EXPECT_FALSE(w->importing());
        EXPECT_FALSE(progress->isVisible());
        EXPECT_TRUE(w->statusText().startsWith("list.txt：已取消"))
            << w->statusText().toStdString();
        EXPECT_TRUE(w->isVisible());
    }
}

// ---- From the main window ------------------------------------------------------------------

class RecommendFromMain : public ::testing::Test {
  protected:
    void SetUp() override {
        std::filesystem::copy_file(test::programDir() / kDatabaseFileName,
                                   dir.path() / kDatabaseFileName);
        program = createProgram({dir.path(), test::programDir()});
        program.mainWindow->show();
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    Program program;
};

TEST_F(RecommendFromMain, TheSixthButtonFitsTheRowAndTheOthersStay) {
    MainWindow& w = *program.mainWindow;
    EXPECT_EQ(test::child<QPushButton>(&w, "recommendButton")->text(), "名字推荐");
    EXPECT_EQ(test::child<QPushButton>(&w, "recommendButton")->geometry(), QRect(568, 8, 104, 28));
    EXPECT_EQ(test::child<QPushButton>(&w, "exitButton")->geometry(), QRect(456, 8, 104, 28));
    EXPECT_EQ(test::child<QPushButton>(&w, "autoNamingButton")->geometry(), QRect(8, 8, 104, 28));
    EXPECT_LE(test::child<QPushButton>(&w, "recommendButton")->geometry().right(), w.width());
    EXPECT_EQ(test::child<QLineEdit>(&w, "nameEdit")->geometry(), QRect(128, 11, 153, 21));
    EXPECT_EQ(w.recommendWindow(), nullptr);  // made on the first click
}

TEST_F(RecommendFromMain, MissingEngineDataIsReportedAndTriedAgain) {
    MainWindow& main = *program.mainWindow;
    main.database().characterQuery.close();  // a table cannot be dropped under an open result
    main.database().connection.execute("drop table pinyin");
    QTest::mouseClick(test::child<QPushButton>(&main, "recommendButton"), Qt::LeftButton);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_TRUE(dialogs.shown[0].startsWith("error: 读取名字推荐的数据失败："))
        << dialogs.shown[0].toStdString();
    EXPECT_EQ(main.recommendWindow(), nullptr);
    QTest::mouseClick(test::child<QPushButton>(&main, "recommendButton"), Qt::LeftButton);
    EXPECT_EQ(dialogs.shown.size(), 2);  // read again, failed again
}

TEST_F(RecommendFromMain, ANameSentGoesIntoTheAnalysis) {
    MainWindow& main = *program.mainWindow;
    std::string sentName;
    bool wasModal = false;
    QTimer::singleShot(0, [&] {
        RecommendWindow* w = main.recommendWindow();
        ASSERT_NE(w, nullptr);
        wasModal = QApplication::activeModalWidget() == w;
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w));
        ASSERT_EQ(QApplication::focusWidget(), surnameBox(*w));
        typeInto(QApplication::focusWidget(), "罗");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        for (int i = 0; i < 20 && QApplication::focusWidget() != table(*w); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        sentName = w->proxy()->index(1, 0).data().toString().toStdString();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    });
    QTest::mouseClick(test::child<QPushButton>(&main, "recommendButton"), Qt::LeftButton);
    EXPECT_TRUE(wasModal);
    ASSERT_FALSE(sentName.empty());
    EXPECT_FALSE(main.recommendWindow()->isVisible());
    EXPECT_EQ(test::child<QLineEdit>(&main, "nameEdit")->text().toStdString(), sentName);
    // The analysis ran as by Enter: the stroke of the surname and the report.
    EXPECT_EQ(test::child<QLineEdit>(&main, "strokesOfCharacter1")->text(), "20");
    EXPECT_TRUE(test::child<QPlainTextEdit>(&main, "reportView")
                    ->toPlainText()
                    .startsWith("罗  的笔画是: 20"));
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();

    // The window is made once and keeps its table.
    RecommendWindow* first = main.recommendWindow();
    QTimer::singleShot(0, [&] {
        EXPECT_EQ(first->model()->size(), static_cast<int>(recommended("罗").size()));
        EXPECT_GT(surnameBox(*first)->count(), 100);  // the name lists' surnames and compounds
        EXPECT_NE(surnameBox(*first)->findText("欧阳"), -1);
        first->close();
    });
    QTest::mouseClick(test::child<QPushButton>(&main, "recommendButton"), Qt::LeftButton);
    EXPECT_EQ(main.recommendWindow(), first);
}

}  // namespace
}  // namespace quenvil
