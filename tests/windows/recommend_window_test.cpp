// The 名字推荐 window offscreen: its table model and proxy, export and copy, and the flows a user
// goes through with the keyboard (key events go to the focused widget, as typed), the import of
// a large list cancelled half-way, and the name sent to the main window.
#include "recommend/recommend_window.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPlainTextEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <functional>
#include <map>
#include <set>

#include "app/startup.h"
#include "data/connection.h"
#include "data/data_location.h"
#include "data/database.h"
#include "data/shortlist.h"
#include "data/user_database.h"
#include "naming/name_cutter.h"
#include "naming/recommend.h"
#include "recommend/list_scoring.h"
#include "recommend/name_export.h"
#include "recommend/reading_text.h"
#include "recommend/result_model.h"
#include "support/fixture_db.h"
#include "support/scored_line.h"
#include "support/shipped_naming.h"
#include "support/test_dialogs.h"
#include "support/wait.h"
#include "support/widgets.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

const NamingData& shipped() { return test::shippedNamingData(); }

// The line quenvil-cli prints for a name, without its line break.
std::string lineOf(const ScoredName& s) { return test::lineOf(shipped(), s); }

std::vector<ScoredName> scoredNames(const std::vector<std::string>& names) {
    std::vector<ScoredName> out;
    for (const std::string& n : names) {
        out.emplace_back();
        EXPECT_TRUE(scoreName(shipped(), n, out.back())) << n;
    }
    return out;
}

std::vector<ScoredName> recommended(const std::string& surname, Gender gender = Gender::Any) {
    RecommendOptions o;
    o.gender = gender;
    o.top = 0;  // the window lists every favourable name
    return recommend(shipped(), surname, o);
}

QString q(const std::string& s) { return QString::fromStdString(s); }

// "罗 不限 双名：17,391 个名字": the status of a recommendation of every favourable name.
std::string grouped(size_t count) {
    std::string digits = std::to_string(count);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<size_t>(at), ",");
    }
    return digits;
}
std::string statusOf(const std::string& choices, size_t count) {
    return choices + "：" + grouped(count) + " 个名字";
}

// Types text into a widget as key events: ASCII as its keys, other characters as a key event
// that carries the character, as a keyboard layout or xdotool delivers it.
void typeInto(QWidget* widget, const QString& text) {
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(widget, ch.toLatin1());
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
        }
    }
}

std::string readFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The window's controls.
QComboBox* surnameBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "surnameBox"); }
QComboBox* genderBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "genderBox"); }
QComboBox* lengthBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "lengthBox"); }
QLineEdit* fixedEdit(RecommendWindow& w) { return test::child<QLineEdit>(&w, "fixedEdit"); }
QComboBox* fixedAtBox(RecommendWindow& w) { return test::child<QComboBox>(&w, "fixedAtBox"); }
QTableView* table(RecommendWindow& w) { return test::child<QTableView>(&w, "table"); }
QPlainTextEdit* details(RecommendWindow& w) { return test::child<QPlainTextEdit>(&w, "details"); }
QPushButton* button(RecommendWindow& w, const char* name) {
    return test::child<QPushButton>(&w, name);
}
QProgressDialog* progressDialog(RecommendWindow& w) {
    return test::child<QProgressDialog>(&w, "progressDialog");
}

// ---- The model and the proxy ---------------------------------------------------------------

// Sorts the rows and waits for the worker's order; the view then fetches every row.
void sortAndWait(ResultModel& model, int column, Qt::SortOrder order) {
    QSignalSpy finished(&model, &ResultModel::sortFinished);
    model.sortBy(column, order);
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() == 1; }));
    model.fetchUpTo(model.size() - 1);
}

class ResultTable : public ::testing::Test {
  protected:
    ResultModel model{shipped()};
    ResultFilterProxy proxy{&model};
    std::string column(int proxyRow, int c) {
        return proxy.data(proxy.index(proxyRow, c)).toString().toStdString();
    }
};

TEST_F(ResultTable, ColumnsHeadersAndCells) {
    const auto names = scoredNames({"黄思婷", "杜子腾", "欧阳修"});
    model.setScored(names);
    ASSERT_EQ(model.columnCount(), 11);
    QStringList headers;
    for (int c = 0; c < model.columnCount(); ++c) {
        headers << model.headerData(c, Qt::Horizontal).toString();
    }
    EXPECT_EQ(headers, (QStringList{"名字", "评分", "拼音", "笔画", "五格", "三才", "说明",
                                    "数理分", "取名分", "字义", "出处"}));
    ASSERT_EQ(model.rowCount(), 3);
    for (int r = 0; r < 3; ++r) {
        QStringList cells;
        for (int c = 0; c < 11; ++c) cells << model.data(model.index(r, c)).toString();
        EXPECT_EQ(cells.join('\t').toStdString(), lineOf(names[static_cast<size_t>(r)]));
    }
    EXPECT_NE(model.data(model.index(1, kNotesColumn)).toString().indexOf("谐音:肚子疼"), -1);
    EXPECT_EQ(
        model.data(model.index(0, kScoreColumn), Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignRight,
        Qt::AlignRight);
}

TEST_F(ResultTable, NamesSortByTheirPinyin) {
    model.setScored(scoredNames({"罗一月", "罗业强", "罗安", "罗一友"}));
    sortAndWait(model, kNameColumn, Qt::AscendingOrder);
    std::vector<std::string> order;
    for (int r = 0; r < proxy.rowCount(); ++r) order.push_back(column(r, kNameColumn));
    // luó ān, luó yè, luó yī yǒu, luó yī yuè: not by code point (一 业 安; 友 before 月 too).
    EXPECT_EQ(order, (std::vector<std::string>{"罗安", "罗业强", "罗一友", "罗一月"}));
}

TEST_F(ResultTable, EveryColumnSortsBothWaysAndTiesKeepTheirOrder) {
    // Two surnames' recommendations and names with low scores (bad sounds): scores of one, two
    // and three digits, which a text sort would put as "100" < "62" < "9".
    std::vector<ScoredName> names = recommended("罗");
    for (ScoredName& s : recommended("曾")) names.push_back(std::move(s));
    for (ScoredName& s : scoredNames({"杜梓维", "伍桂辰", "史珍香", "朱逸群", "杜子腾", "刘产"})) {
        names.push_back(std::move(s));
    }
    model.setScored(names);
    ASSERT_GT(model.rowCount(), 300);
    for (int c = 0; c < kColumnCount; ++c) {
        for (Qt::SortOrder order : {Qt::AscendingOrder, Qt::DescendingOrder}) {
            sortAndWait(model, c, order);
            for (int r = 1; r < model.size(); ++r) {
                const int cmp = model.compare(r - 1, r, c);
                ASSERT_TRUE(order == Qt::AscendingOrder ? cmp <= 0 : cmp >= 0)
                    << "column " << c << " row " << r;
                if (cmp == 0) {  // stable: ties stay best first
                    ASSERT_LT(model.storedIndex(r - 1), model.storedIndex(r))
                        << "column " << c << " row " << r;
                }
            }
        }
    }
    sortAndWait(model, kScoreColumn, Qt::DescendingOrder);
    int last = 101;
    for (int r = 0; r < proxy.rowCount(); ++r) {
        const int s = std::stoi(column(r, kScoreColumn));
        ASSERT_LE(s, last);
        last = s;
    }
    EXPECT_LT(last, 10);  // the bad sounds come last, numerically below 100
    sortAndWait(model, kScoreColumn, Qt::AscendingOrder);
    EXPECT_EQ(column(0, kScoreColumn), std::to_string(last));
}

TEST_F(ResultTable, AMillionRowsComeInBlocksAndSortWhileTheEventLoopRuns) {
    constexpr int kRows = 1'000'000;
    const auto names = recommended("罗");
    std::vector<ResultRow> rows;
    std::vector<std::string> notes;
    std::string note;
    for (size_t i = 0; rows.size() < kRows; ++i) {
        rows.push_back(rowOf(names[i % names.size()], note));
        notes.push_back(note);
    }
    model.append(std::move(rows), notes);
    ASSERT_EQ(model.size(), kRows);
    EXPECT_EQ(proxy.rowCount(), ResultModel::kFetchBlock);  // the view has the first block
    ASSERT_TRUE(proxy.canFetchMore({}));
    proxy.fetchMore({});
    EXPECT_EQ(proxy.rowCount(), 2 * ResultModel::kFetchBlock);
    proxy.setMinimumScore(100);  // filters what was fetched, counts over every row
    EXPECT_LT(proxy.rowCount(), 2 * ResultModel::kFetchBlock);
    EXPECT_EQ(
        model.countAtLeast(100),
        static_cast<int>(std::count_if(names.begin(), names.end(),
                                       [](const ScoredName& n) { return n.overall >= 100; }) *
                         (kRows / names.size())) +
            static_cast<int>(std::count_if(names.begin(), names.begin() + kRows % names.size(),
                                           [](const ScoredName& n) { return n.overall >= 100; })));
    proxy.setMinimumScore(0);

    // The sort runs on a worker: a timer on this thread keeps firing until it is done.
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(5);
    QSignalSpy finished(&model, &ResultModel::sortFinished);
    model.sortBy(kNameColumn, Qt::AscendingOrder);
    EXPECT_TRUE(model.sorting());
    ASSERT_TRUE(test::waitUntil([&] { return finished.count() == 1; }, std::chrono::minutes(3)));
    EXPECT_GT(ticks, 0);
    EXPECT_EQ(proxy.rowCount(), ResultModel::kFetchBlock);  // the view starts at the top again
    for (int r = 1; r < kRows; r += 4999) ASSERT_LE(model.compare(r - 1, r, kNameColumn), 0) << r;

    // A sort overtaken by new rows never lands on them.
    model.sortBy(kPinyinColumn, Qt::DescendingOrder);
    model.setScored(scoredNames({"黄思婷", "杜子腾"}));
    EXPECT_FALSE(model.sorting());
    QTest::qWait(20);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_EQ(model.data(model.index(0, kNameColumn)).toString(), "黄思婷");
}

TEST_F(ResultTable, ExportWritesTheRowsAsShownInBothFormats) {
    const auto names = scoredNames({"黄思婷", "杜子腾", "欧阳修"});
    model.setScored(names);
    sortAndWait(model, kPinyinColumn, Qt::AscendingOrder);  // dù, huáng, ōu
    auto csvLine = [](const ScoredName& s) {
        const auto t = test::columnTexts(shipped(), s);
        std::string line = t[0] + "," + t[1] + "," + t[2] + ",\"" + t[3] + "\"";
        for (size_t c = 4; c < t.size(); ++c) line += "," + t[c];
        return line + "\r\n";
    };
    EXPECT_EQ(exportBytes(model, proxy, ExportFormat::CsvUtf8),
              "\xEF\xBB\xBF名字,评分,拼音,笔画,五格,三才,说明,数理分,取名分,字义,出处\r\n" +
                  csvLine(names[1]) + csvLine(names[0]) + csvLine(names[2]));
    EXPECT_EQ(exportBytes(model, proxy, ExportFormat::GbkText),
              utf8ToGbk("名字\t评分\t拼音\t笔画\t五格\t三才\t说明\t数理分\t取名分\t字义\t出处") +
                  "\r\n" + utf8ToGbk(lineOf(names[1])) + "\r\n" + utf8ToGbk(lineOf(names[0])) +
                  "\r\n" + utf8ToGbk(lineOf(names[2])) + "\r\n");
}

TEST_F(ResultTable, AnExportedCsvReadsBackAndScoresTheSame) {
    std::vector<ScoredName> names = recommended("欧阳");
    for (ScoredName& s : scoredNames({"杜梓维", "黄思婷"})) names.push_back(std::move(s));
    model.setScored(names);
    sortAndWait(model, kNameColumn, Qt::DescendingOrder);
    const std::string csv = exportBytes(model, proxy, ExportFormat::CsvUtf8);
    const auto records = parseCsv(csv);
    ASSERT_EQ(records.size(), names.size() + 1);
    std::vector<std::string> shownNames;
    for (int r = 0; r < proxy.rowCount(); ++r) {
        std::vector<std::string> cells;
        for (int c = 0; c < kColumnCount; ++c) cells.push_back(column(r, c));
        EXPECT_EQ(records[static_cast<size_t>(r) + 1], cells);
        shownNames.push_back(cells[0]);
    }
    // Read back as a list: the names in the order shown, scored to the same lines.
    const std::string text = listText(csv);
    NameCutter cutter(text);
    std::string_view n;
    std::vector<std::string> back;
    while (cutter.next(n)) back.emplace_back(n);
    EXPECT_EQ(back, shownNames);
    ResultModel again(shipped());
    again.setScored(scoredNames(back));
    ResultFilterProxy againShown(&again);
    EXPECT_EQ(exportBytes(again, againShown, ExportFormat::CsvUtf8), csv);
}

TEST_F(ResultTable, CopiedRowsAreTabSeparated) {
    const auto names = scoredNames({"黄思婷", "杜子腾", "欧阳修"});
    model.setScored(names);
    EXPECT_EQ(tabSeparated(model, proxy, {0, 2}).toStdString(),
              lineOf(names[0]) + "\n" + lineOf(names[2]) + "\n");
}

// ---- The window, by keyboard ---------------------------------------------------------------

class RecommendWindowFlow : public ::testing::Test {
  protected:
    void SetUp() override {
        w = std::make_unique<RecommendWindow>(
            shipped(), std::vector<std::string>{"罗", "黄", "曾", "欧阳", "诸葛"});
        w->show();
        w->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(w.get()));
    }
    static QWidget* focused() { return QApplication::focusWidget(); }
    static void type(const QString& text) { typeInto(focused(), text); }
    static void key(Qt::Key k, Qt::KeyboardModifiers m = Qt::NoModifier) {
        QTest::keyClick(focused(), k, m);
    }
    // Tabs forward until the widget has the focus.
    void tabTo(QWidget* target) {
        for (int i = 0; i < 20 && focused() != target; ++i) key(Qt::Key_Tab);
        ASSERT_EQ(focused(), target);
    }
    // Every row the table shows, the view fetching them all first.
    int shownCount() {
        while (w->proxy()->canFetchMore({})) w->proxy()->fetchMore({});
        return w->proxy()->rowCount();
    }
    std::vector<std::string> shownNames() {
        shownCount();
        std::vector<std::string> out;
        for (int r = 0; r < w->proxy()->rowCount(); ++r) {
            out.push_back(w->proxy()->index(r, 0).data().toString().toStdString());
        }
        return out;
    }
    // The given-name characters of the names shown, with the kinds of the curated list.
    std::set<char> kindsShown() {
        std::map<std::string, char> kind;
        for (const NameChar& c : shipped().nameChars()) kind[c.text] = c.kind;
        std::set<char> kinds;
        for (const std::string& name : shownNames()) {
            const auto chars = utf8Characters(name);
            for (size_t i = 1; i < chars.size(); ++i) kinds.insert(kind[std::string(chars[i])]);
        }
        return kinds;
    }
    test::TempDir dir;
    test::RecordingDialogs dialogs;
    std::unique_ptr<RecommendWindow> w;
};

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
    EXPECT_EQ(readFile(dir.path() / "list.txt"),
              exportBytes(*w->model(), *w->proxy(), ExportFormat::GbkText));
    EXPECT_EQ(readFile(dir.path() / "list.csv"),
              exportBytes(*w->model(), *w->proxy(), ExportFormat::CsvUtf8));
    EXPECT_EQ(w->statusText().toStdString(),
              "已导出 " + std::to_string(recommended("诸葛").size()) + " 个名字到 list.csv");
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
}

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
    QTimer::singleShot(0, [&] {
        QDialog* compare = nullptr;
        test::waitUntil([&] {
            compare = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return compare && compare->objectName() == "compareWindow";
        });
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
            EXPECT_EQ(readFile(keep) == "mine", !yes) << typed;
        }
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() / "keep"));
    // A new file is written without a question, readable as the user's files are.
    dialogs.shown.clear();
    dialogs.saveAnswers.push_back(SaveChoice{q((dir.path() / "new").string()), 1});
    w->onExport();
    EXPECT_TRUE(dialogs.shown.isEmpty()) << dialogs.shown.join("|").toStdString();
    EXPECT_EQ(readFile(dir.path() / "new.txt"),
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
    EXPECT_EQ(readFile(old), "the old export");
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
    QTimer::singleShot(0, [&] {
        QDialog* list = nullptr;
        test::waitUntil([&] {
            list = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            return list && list->objectName() == "shortlistWindow";
        });
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
    const auto records = parseCsv(readFile(dir.path() / "kept.csv"));
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
