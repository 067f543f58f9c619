// Judging names by the stroke-pair table, and the automatic filter over a name list.
#pragma once

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "data/stroke_lookup.h"
#include "naming/stroke_pair_table.h"
#include "text/lines.h"
#include "text/units.h"

namespace quenvil {

inline constexpr const char* kNoSurnameRowNotice = "数据库里没有此笔画的姓氏！";
inline constexpr const char* kFilterDoneMessage = "自动生成名字完成!";

// The notice in GBK, as it is written into a results list.
const std::string& noSurnameRowNoticeGbk();

struct Verdict {
    bool notice = false;  // the surname's count has no row: the notice instead of the name
    int copies = 0;       // how many times the name is listed
};

// Cuts a GBK name into its first three two-byte pieces (surname, second, third character), looks
// up their strokes in that order and judges them by the table.
inline Verdict judgeName(std::string_view gbkName, StrokeLookup& lookup,
                         const StrokePairTable& table) {
    const int32_t a = lookup.strokes(unitAt(gbkName, 0));
    const int32_t b = lookup.strokes(unitAt(gbkName, 1));
    const int32_t c = lookup.strokes(unitAt(gbkName, 2));
    if (!table.hasRow(a)) return {true, 0};
    return {false, table.matches(a, b, c)};
}

// A name list ends at its first empty line; the lines before it are judged.
inline bool endsNameList(std::string_view line) { return line.empty(); }

// Adds the results that a verdict earns for a line.
inline void appendVerdict(const Verdict& v, std::string_view line, std::vector<std::string>& out) {
    if (v.notice) {
        out.push_back(noSurnameRowNoticeGbk());
        return;
    }
    for (int i = 0; i < v.copies; ++i) out.emplace_back(line);
}

// The automatic filter over the lines of a name list (as readNameListLines of text/lines.h cuts
// them), run in slices so that a window can keep handling its events between them. The list ends
// at its first empty line.
class NameListFilter {
  public:
    NameListFilter(const std::vector<std::string>& lines, StrokeLookup& lookup,
                   const StrokePairTable& table = StrokePairTable::filters())
        : lines_(lines), count_(lines.size()), lookup_(lookup), table_(table) {}

    // Judges lines until the list ends or the deadline passes; appends results to out. Returns
    // true when the run has ended.
    bool runUntil(std::chrono::steady_clock::time_point deadline, std::vector<std::string>& out);
    // Judges at most maxLines lines.
    bool runLines(size_t maxLines, std::vector<std::string>& out);
    // Judges the whole list.
    void runAll(std::vector<std::string>& out) { runLines(SIZE_MAX, out); }

    bool finished() const { return finished_; }

  private:
    bool step(std::vector<std::string>& out);  // false when the run has ended

    const std::vector<std::string>& lines_;
    const size_t count_;  // taken once, when the run starts
    StrokeLookup& lookup_;
    const StrokePairTable& table_;
    size_t next_ = 0;
    bool finished_ = false;
};

// The same filter over a name list that arrives in pieces of GBK text (a file read in blocks):
// the lines are cut by a LineSplitter, judged as they are completed, and the list ends at its
// first empty line, so that memory does not grow with the list.
class NameListStream {
  public:
    explicit NameListStream(StrokeLookup& lookup,
                            const StrokePairTable& table = StrokePairTable::filters())
        : lookup_(lookup), table_(table) {}

    // Judges the lines this piece completes; appends results to out. False once the list has
    // ended (what follows is not read).
    bool feed(std::string_view gbk, std::vector<std::string>& out);
    // Judges the last line when the text did not end in a line break.
    void finish(std::vector<std::string>& out);

  private:
    bool judge(std::string_view line, std::vector<std::string>& out);  // false at the end

    StrokeLookup& lookup_;
    const StrokePairTable& table_;
    LineSplitter lines_;
    bool ended_ = false;
};

}  // namespace quenvil
