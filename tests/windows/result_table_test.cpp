// The 名字推荐 window's table without the window: the model and its filter proxy, sorting on a
// worker thread (a million rows while the event loop runs), export and copy.
#include "windows/recommend_window_fixture.h"

namespace quenvil {
namespace {

using namespace recommend_test;

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

}  // namespace
}  // namespace quenvil
