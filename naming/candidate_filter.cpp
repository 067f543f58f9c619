// The automatic filter.
#include "naming/candidate_filter.h"

#include "text/gbk.h"

namespace quenvil {

const std::string& noSurnameRowNoticeGbk() {
    static const std::string notice = utf8ToGbk(kNoSurnameRowNotice);
    return notice;
}

bool NameListFilter::step(std::vector<std::string>& out) {
    if (finished_) return false;
    if (next_ >= count_ || endsNameList(lines_[next_])) {
        finished_ = true;
        return false;
    }
    const std::string& line = lines_[next_];
    appendVerdict(judgeName(line, lookup_, table_), line, out);
    ++next_;
    return true;
}

bool NameListFilter::runLines(size_t maxLines, std::vector<std::string>& out) {
    for (size_t i = 0; i < maxLines; ++i) {
        if (!step(out)) break;
    }
    return finished_;
}

bool NameListFilter::runUntil(std::chrono::steady_clock::time_point deadline,
                              std::vector<std::string>& out) {
    // The clock is read every few lines: a line takes well under a microsecond through the
    // index, and a fraction of a millisecond when the statement has to answer.
    constexpr size_t kLinesPerClockRead = 8;
    while (!finished_) {
        for (size_t i = 0; i < kLinesPerClockRead; ++i) {
            if (!step(out)) return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) break;
    }
    return finished_;
}

bool NameListStream::judge(std::string_view line, std::vector<std::string>& out) {
    if (endsNameList(line)) {
        ended_ = true;
        return false;
    }
    appendVerdict(judgeName(line, lookup_, table_), line, out);
    return true;
}

bool NameListStream::feed(std::string_view gbk, std::vector<std::string>& out) {
    if (ended_) return false;
    return lines_.feed(gbk, [&](std::string_view line) { return judge(line, out); });
}

void NameListStream::finish(std::vector<std::string>& out) {
    if (ended_) return;
    lines_.finish([&](std::string_view line) { return judge(line, out); });
}

}  // namespace quenvil
