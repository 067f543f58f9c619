// The 名字推荐 window offscreen, driven with the keyboard as a user does (key events go to the
// focused widget, as typed): recommending, the filters, the details, sorting, copy and export.
#include "windows/recommend_window_fixture.h"

namespace quenvil {
namespace {

using namespace recommend_test;

TEST_F(RecommendWindowFlow, TypingASurnameAndEnterFillsTheTableBestFirst) {
    EXPECT_EQ(w->windowTitle(), "名字推荐");
    EXPECT_EQ(focused(), surnameBox(*w));
    EXPECT_EQ(surnameBox(*w)->count(), 5);
    type("罗");
    key(Qt::Key_Return);
    EXPECT_TRUE(w->isVisible());
    const auto expected = recommended("罗");
    ASSERT_EQ(shownCount(), static_cast<int>(expected.size()));
    ASSERT_GE(expected.size(), 50u);
    const auto shown = shownNames();
    for (size_t i = 0; i < expected.size(); ++i) {
        ASSERT_EQ(shown[i], expected[i].name) << i;  // the engine's order: best first
    }
    EXPECT_EQ(table(*w)->horizontalHeader()->sortIndicatorSection(), kScoreColumn);
    EXPECT_EQ(table(*w)->horizontalHeader()->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(w->statusText().toStdString(), statusOf("罗 不限 双名", expected.size()));
    EXPECT_EQ(w->windowTitle().toStdString(),
              "名字推荐 - " + statusOf("罗 不限 双名", expected.size()));
    EXPECT_EQ(focused(), surnameBox(*w));   // ready for the next surname
    EXPECT_EQ(surnameBox(*w)->count(), 5);  // what was typed is not added to the list
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();

    // A compound surname, typed over the first.
    surnameBox(*w)->lineEdit()->selectAll();
    type("欧阳");
    key(Qt::Key_Enter);
    ASSERT_GE(w->proxy()->rowCount(), 50);
    for (const std::string& name : shownNames()) {
        ASSERT_TRUE(name.starts_with("欧阳")) << name;
        ASSERT_EQ(utf8Characters(name).size(), 4u) << name;
    }
}

TEST_F(RecommendWindowFlow, ASurnamePickedFromTheDropDownTakesOneEnter) {
    key(Qt::Key_Down, Qt::AltModifier);  // opens the list
    ASSERT_TRUE(test::waitUntil([&] { return surnameBox(*w)->view()->isVisible(); }));
    key(Qt::Key_Down);
    key(Qt::Key_Return);
    ASSERT_TRUE(test::waitUntil([&] { return w->proxy()->rowCount() > 0; }));
    const std::string surname = surnameBox(*w)->currentText().toStdString();
    ASSERT_FALSE(surname.empty());
    EXPECT_EQ(shownCount(), static_cast<int>(recommended(surname).size()));
    EXPECT_TRUE(w->isVisible());
}

TEST_F(RecommendWindowFlow, GenderAndLengthChangeTheNames) {
    type("罗");
    key(Qt::Key_Return);
    tabTo(genderBox(*w));
    key(Qt::Key_Down);  // 男
    EXPECT_EQ(genderBox(*w)->currentText(), "男");
    key(Qt::Key_Return);
    const auto boys = shownNames();
    ASSERT_GE(boys.size(), 50u);
    EXPECT_FALSE(kindsShown().count('f'));
    key(Qt::Key_Down);  // 女
    key(Qt::Key_Return);
    const auto girls = shownNames();
    ASSERT_GE(girls.size(), 50u);
    EXPECT_FALSE(kindsShown().count('m'));
    EXPECT_NE(boys, girls);
    EXPECT_EQ(w->statusText().toStdString(), statusOf("罗 女 双名", girls.size()));
    tabTo(lengthBox(*w));
    key(Qt::Key_Down);  // 单名
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 0);
    for (const std::string& name : shownNames()) ASSERT_EQ(utf8Characters(name).size(), 2u);
    EXPECT_FALSE(fixedAtBox(*w)->isEnabled());
}

TEST_F(RecommendWindowFlow, AFixedCharacterStandsWhereAsked) {
    type("罗");
    tabTo(fixedEdit(*w));
    type("文");
    tabTo(fixedAtBox(*w));
    key(Qt::Key_Down);  // the second character of the given name
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 0);
    for (const std::string& name : shownNames()) {
        ASSERT_EQ(std::string(utf8Characters(name)[2]), "文") << name;
    }
    EXPECT_EQ(w->statusText().toStdString(),
              "罗 不限 双名 字辈文：" + std::to_string(w->proxy()->rowCount()) + " 个名字");
    // No name fits: the table is empty and the status says so.
    tabTo(surnameBox(*w));
    surnameBox(*w)->lineEdit()->selectAll();
    type("黄");
    tabTo(fixedEdit(*w));
    fixedEdit(*w)->selectAll();
    type("思");
    key(Qt::Key_Return);
    EXPECT_EQ(w->proxy()->rowCount(), 0);
    EXPECT_EQ(w->statusText(), "黄 不限 双名 字辈思：没有符合条件的名字");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

TEST_F(RecommendWindowFlow, ALikedCharacterAndASourceNarrowTheNames) {
    type("王");
    tabTo(test::child<QLineEdit>(w.get(), "withEdit"));
    type("思");
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 10);
    for (const std::string& name : shownNames()) {
        ASSERT_NE(name.find("思", 3), std::string::npos) << name;
    }
    QComboBox* source = test::child<QComboBox>(w.get(), "sourceBox");
    tabTo(source);
    key(Qt::Key_Down);
    key(Qt::Key_Down);  // 诗经
    EXPECT_EQ(source->currentText(), "诗经");
    test::child<QLineEdit>(w.get(), "withEdit")->clear();
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 0);
    for (int r = 0; r < w->proxy()->rowCount(); ++r) {
        ASSERT_TRUE(w->proxy()->index(r, kSourceColumn).data().toString().startsWith("诗经·"))
            << shownNames()[static_cast<size_t>(r)];
    }
    EXPECT_TRUE(w->statusText().startsWith("王 不限 双名 出自诗经："))
        << w->statusText().toStdString();
    EXPECT_NE(details(*w)->toPlainText().indexOf("出处：诗经·"), -1);
    // A liked character that has no reading is refused where it was typed.
    tabTo(test::child<QLineEdit>(w.get(), "withEdit"));
    type("AB");
    key(Qt::Key_Return);
    ASSERT_EQ(dialogs.shown.size(), 1);
    EXPECT_EQ(dialogs.shown[0], "message: 喜欢的字须是一个查得到笔画和读音的汉字：AB");
    EXPECT_EQ(focused(), test::child<QLineEdit>(w.get(), "withEdit"));
}

TEST_F(RecommendWindowFlow, EveryNameIsListedAndAMinimumScoreHidesTheRest) {
    type("罗");
    key(Qt::Key_Return);
    const auto all = recommended("罗");
    ASSERT_GT(all.size(), size_t{ResultModel::kFetchBlock});  // the view fetches them in blocks
    EXPECT_EQ(w->proxy()->rowCount(), ResultModel::kFetchBlock);
    ASSERT_EQ(shownCount(), static_cast<int>(all.size()));
    const auto full =
        std::count_if(all.begin(), all.end(), [](const ScoredName& n) { return n.overall >= 90; });
    ASSERT_GT(full, 0);
    QSpinBox* minimum = test::child<QSpinBox>(w.get(), "minimumScoreBox");
    tabTo(minimum);
    minimum->selectAll();
    type("90");
    EXPECT_EQ(shownCount(), static_cast<int>(full));
    for (int r = 0; r < w->proxy()->rowCount(); ++r) {
        ASSERT_GE(w->proxy()->index(r, kScoreColumn).data().toInt(), 90);
    }
    EXPECT_EQ(w->statusText().toStdString(), statusOf("罗 不限 双名", all.size()) + "，90 分以上 " +
                                                 grouped(static_cast<size_t>(full)) + " 个");
    // A box's choice takes effect at once, and the minimum stays.
    tabTo(genderBox(*w));
    key(Qt::Key_Down);  // 男
    EXPECT_EQ(w->statusText().toStdString().rfind(
                  statusOf("罗 男 双名", recommended("罗", Gender::Male).size()), 0),
              0u)
        << w->statusText().toStdString();
    EXPECT_FALSE(kindsShown().count('f'));
    for (int r = 0; r < w->proxy()->rowCount(); ++r) {
        ASSERT_GE(w->proxy()->index(r, kScoreColumn).data().toInt(), 90);
    }
    // 复制 says what it did.
    tabTo(table(*w));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(w->statusText(), "已复制 2 个名字");
    // Ctrl+A and Ctrl+C take every name shown, not only the block the view has fetched.
    minimum->setValue(0);
    w->model()->sortBy(kScoreColumn, Qt::DescendingOrder);  // a new table: one block fetched
    ASSERT_TRUE(test::waitUntil([&] { return !w->model()->sorting(); }));
    ASSERT_EQ(w->proxy()->rowCount(), ResultModel::kFetchBlock);
    tabTo(table(*w));
    key(Qt::Key_A, Qt::ControlModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    const auto men = recommended("罗", Gender::Male);
    EXPECT_EQ(w->statusText().toStdString(), "已复制 " + std::to_string(men.size()) + " 个名字");
    EXPECT_EQ(QApplication::clipboard()->text().count('\n'), static_cast<int>(men.size()));
    const std::string exported = exportBytes(*w->model(), *w->proxy(), ExportFormat::GbkText);
    EXPECT_EQ(std::count(exported.begin(), exported.end(), '\n'),
              static_cast<std::ptrdiff_t>(men.size()) + 1);  // and the header
    key(Qt::Key_End, Qt::ControlModifier);  // the last name, past the rows fetched so far
    EXPECT_EQ(table(*w)->currentIndex().row(), static_cast<int>(men.size()) - 1);
}

// The main window reads three characters as a single surname and two given-name characters, so
// a compound surname with one given-name character is not sent there: its reading here stays.
TEST_F(RecommendWindowFlow, ACompoundSurnameWithOneGivenCharacterIsNotSent) {
    type("欧阳");
    tabTo(lengthBox(*w));
    key(Qt::Key_Down);  // 单名
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 0);
    QSignalSpy sent(w.get(), &RecommendWindow::nameSent);
    tabTo(table(*w));
    QPushButton* send = button(*w, "sendButton");
    EXPECT_FALSE(send->isEnabled());
    EXPECT_TRUE(send->toolTip().contains("单姓双名")) << send->toolTip().toStdString();
    key(Qt::Key_Return);  // Enter on the row
    const QRect cell = table(*w)->visualRect(w->proxy()->index(0, 0));
    QTest::mouseClick(table(*w)->viewport(), Qt::LeftButton, {}, cell.center());
    QTest::mouseDClick(table(*w)->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(sent.size(), 0);
    EXPECT_TRUE(w->isVisible());
    ASSERT_EQ(dialogs.shown.size(), 2);
    EXPECT_TRUE(dialogs.shown[0].contains("单姓双名"));
    // The full reading of the name stays in the details, and the compound surname's grids.
    ScoredName s;
    ASSERT_TRUE(scoreName(shipped(), shownNames()[0], s));
    EXPECT_EQ(details(*w)->toPlainText().toStdString(), detailText(shipped(), s));
    // A name of two given-name characters goes again.
    tabTo(lengthBox(*w));
    key(Qt::Key_Up);  // 双名
    key(Qt::Key_Return);
    tabTo(table(*w));
    EXPECT_TRUE(send->isEnabled());
    key(Qt::Key_Return);
    EXPECT_EQ(sent.size(), 1);
}

TEST_F(RecommendWindowFlow, TheDetailsSayWhyAnUnluckyGridIsNotCounted) {
    ResultModel& model = *w->model();
    // A single surname with one given-name character always has 外格 2; 张 (11) has 天格 12.
    model.setScored(scoredNames({"罗明", "张明远"}));
    table(*w)->setFocus();
    table(*w)->setCurrentIndex(w->proxy()->index(0, 0));
    EXPECT_NE(details(*w)->toPlainText().indexOf(q(std::string(kOuterNotJudgedNote))), -1)
        << details(*w)->toPlainText().toStdString();
    table(*w)->setCurrentIndex(w->proxy()->index(1, 0));
    EXPECT_NE(details(*w)->toPlainText().indexOf(q(std::string(kHeavenNotJudgedNote))), -1)
        << details(*w)->toPlainText().toStdString();
}

TEST_F(RecommendWindowFlow, SelectingARowShowsItsWholeReading) {
    type("罗");
    key(Qt::Key_Return);
    tabTo(table(*w));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    const std::string name = shownNames()[2];
    ScoredName s;
    ASSERT_TRUE(scoreName(shipped(), name, s));
    EXPECT_EQ(details(*w)->toPlainText().toStdString(), detailText(shipped(), s));
    const QString text = details(*w)->toPlainText();
    for (const char* part : {"人格", "地格", "总格", "外格", "天格", "三才", "拼音：", "说明"}) {
        EXPECT_NE(text.indexOf(QString::fromUtf8(part)), -1) << part;
    }
    EXPECT_NE(text.indexOf(q(std::string(shipped().numberMeaning(s.grids.person)))), -1);
    EXPECT_NE(text.indexOf(q(std::string(shipped().sancaiMeaning(s.sancai)))), -1);
}

TEST_F(RecommendWindowFlow, DetailsExplainLostPoints) {
    ResultModel& model = *w->model();
    model.setScored(scoredNames({"杜子腾"}));
    table(*w)->setFocus();
    table(*w)->setCurrentIndex(w->proxy()->index(0, 0));
    const QString text = details(*w)->toPlainText();
    EXPECT_NE(text.indexOf("谐音:肚子疼（数理 -"), -1) << text.toStdString();
}

TEST_F(RecommendWindowFlow, EnterNeverClosesTheWindow) {
    key(Qt::Key_Return);  // nothing typed
    EXPECT_EQ(dialogs.shown, QStringList{"message: 请选择或者输入姓氏。"});
    EXPECT_TRUE(w->isVisible());
    type("Ab");
    key(Qt::Key_Return);
    EXPECT_EQ(dialogs.shown.last(), "message: 查不到此姓氏的笔画或读音：Ab");
    EXPECT_TRUE(w->isVisible());
    surnameBox(*w)->lineEdit()->selectAll();
    type("曾");
    key(Qt::Key_Return);
    ASSERT_GT(w->proxy()->rowCount(), 0);
    // Enter on a focused button presses that button only.
    tabTo(button(*w, "copyButton"));
    QApplication::clipboard()->clear();
    key(Qt::Key_Return);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), lineOf(recommended("曾")[0]) + "\n");
    EXPECT_TRUE(w->isVisible());
    tabTo(button(*w, "importButton"));
    key(Qt::Key_Enter);  // the file dialog is cancelled
    EXPECT_EQ(dialogs.lastFilter, "名单 (*.txt *.csv);;所有文件 (*)");
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(shownCount(), static_cast<int>(recommended("曾").size()));  // nothing lost
    // Escape closes it, as the other windows.
    key(Qt::Key_Escape);
    EXPECT_FALSE(w->isVisible());
}

TEST_F(RecommendWindowFlow, HeaderClicksSortAndComeBackToBestFirst) {
    type("罗");
    tabTo(lengthBox(*w));
    key(Qt::Key_Down);  // 单名: scores from 93 to 100
    key(Qt::Key_Return);
    QApplication::processEvents();  // what a user's event loop runs before the next click
    const int last = w->proxy()->rowCount() - 1;
    ASSERT_GT(last, 50);
    const auto bestFirst = shownNames();
    QHeaderView* header = table(*w)->horizontalHeader();
    const QString status = w->statusText();
    auto sorted = [&] { return test::waitUntil([&] { return !w->model()->sorting(); }); };
    auto clickHeader = [&](int section) {
        const int x = header->sectionViewportPosition(section) + header->sectionSize(section) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
        ASSERT_TRUE(sorted());
    };
    tabTo(table(*w));
    key(Qt::Key_Down);
    key(Qt::Key_Down);
    const QString current = table(*w)->currentIndex().data().toString();
    clickHeader(kStrokesColumn);
    EXPECT_EQ(header->sortIndicatorSection(), kStrokesColumn);
    EXPECT_NE(shownNames(), bestFirst);
    // The name that was current stays current, and the status is the table's again.
    EXPECT_EQ(table(*w)->currentIndex().data().toString(), current);
    EXPECT_EQ(w->statusText(), status);
    clickHeader(kScoreColumn);  // a new column: 评分 starts best first
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::DescendingOrder);
    EXPECT_EQ(shownNames(), bestFirst);
    clickHeader(kScoreColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    // Worst first now; the best score comes last.
    EXPECT_LT(w->proxy()->index(0, kScoreColumn).data().toInt(),
              w->proxy()->index(last, kScoreColumn).data().toInt());
    int best = 0;
    for (int r = 0; r <= last; ++r) {
        best = std::max(best, w->proxy()->index(r, kScoreColumn).data().toInt());
    }
    EXPECT_EQ(w->proxy()->index(last, kScoreColumn).data().toInt(), best);
    // The keyboard's way: Alt and the column's number. A move while it sorts is kept.
    tabTo(table(*w));
    const QString next =
        w->proxy()->index(table(*w)->currentIndex().row() + 1, 0).data().toString();
    key(Qt::Key_3, Qt::AltModifier);
    ASSERT_TRUE(w->model()->sorting());
    key(Qt::Key_Down);
    ASSERT_TRUE(sorted());
    EXPECT_EQ(table(*w)->currentIndex().data().toString(), next);
    EXPECT_EQ(header->sortIndicatorSection(), kPinyinColumn);
    EXPECT_EQ(header->sortIndicatorOrder(), Qt::AscendingOrder);
    const auto byPinyin = shownNames();
    for (size_t r = 1; r < byPinyin.size(); ++r) {
        ASSERT_LE(w->model()->compare(static_cast<int>(r) - 1, static_cast<int>(r), kPinyinColumn),
                  0);
    }
    key(Qt::Key_2, Qt::AltModifier);
    EXPECT_EQ(shownNames(), bestFirst);
}

TEST_F(RecommendWindowFlow, CopyAndExportWhatIsShown) {
    type("诸葛");
    key(Qt::Key_Return);
    tabTo(table(*w));
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_Down, Qt::ShiftModifier);
    key(Qt::Key_C, Qt::ControlModifier);
    const auto names = recommended("诸葛");
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(),
              lineOf(names[0]) + "\n" + lineOf(names[1]) + "\n" + lineOf(names[2]) + "\n");

    // The file type chosen decides the format; the suffix is added when missing.
    dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / "list").string()), 1});
    dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / "list.csv").string()), 0});
    tabTo(button(*w, "exportButton"));
    key(Qt::Key_Return);
    key(Qt::Key_Return);
    EXPECT_EQ(dialogs.lastSaveFilters,
              (QStringList{"CSV 文件，UTF-8 (*.csv)", "文本文件，GBK (*.txt)"}));
    EXPECT_EQ(test::readFile(dir.path() / "list.txt"),
              exportBytes(*w->model(), *w->proxy(), ExportFormat::GbkText));
    EXPECT_EQ(test::readFile(dir.path() / "list.csv"),
              exportBytes(*w->model(), *w->proxy(), ExportFormat::CsvUtf8));
    EXPECT_EQ(w->statusText().toStdString(),
              "已导出 " + std::to_string(recommended("诸葛").size()) + " 个名字到 list.csv");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

}  // namespace
}  // namespace quenvil
