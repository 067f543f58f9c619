// The commands of quenvil-cli.
#include "cli/commands.h"

#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "data/database.h"
#include "manual_naming/pair_rows.h"
#include "naming/best_first.h"
#include "naming/candidate_filter.h"
#include "naming/name_cutter.h"
#include "naming/naming_data.h"
#include "naming/recommend.h"
#include "naming/score.h"
#include "recommend/result_rows.h"
#include "semi_auto_naming/name_import.h"
#include "text/encoding.h"
#include "text/gbk.h"
#include "text/integer.h"
#include "text/lines.h"
#include "text/units.h"
#include "text/utf8.h"

namespace quenvil::cli {
namespace {

constexpr const char* kUsage =
    "usage: quenvil-cli COMMAND [ARGUMENT]\n"
    "  strokes TEXT        each two-byte unit of TEXT and its stroke count\n"
    "  analyze NAME        the five-grid report of NAME\n"
    "  filter FILE         the names of a name-list file that the automatic filter keeps\n"
    "  pairs SURNAME       the stroke count of SURNAME and its favourable stroke pairs\n"
    "  chars N             the characters of N strokes\n"
    "  import FILE         imports the names on the first line of a file; prints the surname\n"
    "  filter-imported     the imported names that the filter keeps\n"
    "  recommend SURNAME [--gender m|f|any] [--length 1|2] [--fixed CHAR --at 2|3] [--top N]\n"
    "                      the best names for SURNAME (default: any, 2, 100), best first\n"
    "  score [FILE]        scores the names of FILE or of standard input (one per line, or\n"
    "                      separated by blanks or commas; UTF-8, UTF-16 or GBK), best first\n"
    "  --help              this text\n"
    "recommend and score print one line per name: name, score, pinyin, strokes, the grids\n"
    "天格 人格 地格 总格 外格, the three talents and their rating, notes (tab-separated).\n"
    "Text arguments and all output are UTF-8. The database is the program's data.Mdb (beside the\n"
    "program, or in the installed share/quenvil), or the user's own copy of it in\n"
    "${XDG_DATA_HOME:-~/.local/share}/quenvil when that folder cannot be written.\n"
    "Name-list files may be GBK, UTF-8 (with or without BOM) or UTF-16 with a BOM.\n"
    "Exit status: 0 done; 1 failed (a file or the database cannot be used, a refused name or\n"
    "file, the output cannot be written); 2 usage error (unknown command, wrong number of\n"
    "arguments, an argument that is not UTF-8, an N that is not an integer).\n";

// Results that cannot be written (a full disk, a closed pipe): the run fails.
class OutputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

void checkOutput(std::ostream& out) {
    if (!out) {
        const int error = errno;
        throw OutputError(std::string("cannot write the output (standard output): ") +
                          (error ? std::strerror(error) : "write error"));
    }
}

// A usage error found in an argument.
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Text arguments are UTF-8; anything else is refused instead of being looked up as '?'.
const std::string& textArgument(const std::vector<std::string>& args, size_t i) {
    const bool valid =
        forEachCodePoint(args[i], [](UChar32 cp, std::string_view) { return cp >= 0; });
    if (!valid) {
        throw UsageError("the argument of '" + args[0] + "' is not UTF-8 text");
    }
    return args[i];
}

// Writes GBK lines as UTF-8, one per line, in one conversion.
void printLines(std::ostream& out, const std::vector<std::string>& gbkLines) {
    std::string all;
    size_t size = 0;
    for (const auto& l : gbkLines) size += l.size() + 1;
    all.reserve(size);
    for (const auto& l : gbkLines) {
        all += l;
        all += '\n';
    }
    const std::string utf8 = gbkToUtf8(all);
    errno = 0;
    out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
    checkOutput(out);
}

struct Context {
    const std::vector<std::string>& args;
    const std::filesystem::path& programDir;
    std::ostream& out;
    std::ostream& err;

    Database& db() {
        if (!database) {
            database = std::make_unique<Database>();
            database->open(programDir);
        }
        return *database;
    }
    std::unique_ptr<Database> database;

    // The recommendation engine's data, read once over a connection of its own.
    const NamingData& naming() {
        if (!namingData) {
            Connection cn;
            cn.open(programDir / kDatabaseFileName, kDatabasePassword);
            namingData = std::make_unique<NamingData>(loadNamingData(cn));
        }
        return *namingData;
    }
    std::unique_ptr<NamingData> namingData;
};

// Output of many lines, written in large blocks.
class BlockWriter {
  public:
    explicit BlockWriter(std::ostream& out) : out_(out) { buffer_.reserve(kBlock + 4096); }
    // What is left is written by flush(), which each command calls at its end.
    std::string& buffer() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= kBlock) flush();
    }
    // Writes what is buffered; throws OutputError when the output cannot take it.
    void flush() {
        errno = 0;
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
        checkOutput(out_);
    }

  private:
    static constexpr size_t kBlock = 1 << 20;
    std::ostream& out_;
    std::string buffer_;
};

// A bad option of recommend: the message, then how recommend is called.
UsageError recommendUsage(const std::string& message) {
    return UsageError(message +
                      "\nusage: quenvil-cli recommend SURNAME [--gender m|f|any] [--length 1|2] "
                      "[--fixed CHAR --at 2|3] [--top N]");
}

int recommendNames(Context& c) {
    RecommendOptions o;
    std::string surname;
    bool at = false;
    for (size_t i = 1; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= c.args.size()) throw recommendUsage(a + " needs a value");
            return c.args[++i];
        };
        auto number = [&]() {
            const auto n = parseInteger(value());
            if (!n || *n < 0) throw recommendUsage(a + " takes a number");
            return *n;
        };
        if (a == "--gender") {
            const std::string& g = value();
            if (g == "m") {
                o.gender = Gender::Male;
            } else if (g == "f") {
                o.gender = Gender::Female;
            } else if (g == "any") {
                o.gender = Gender::Any;
            } else {
                throw recommendUsage("--gender is m, f or any");
            }
        } else if (a == "--length") {
            o.length = number();
            if (o.length != 1 && o.length != 2) throw recommendUsage("--length is 1 or 2");
        } else if (a == "--fixed") {
            o.fixed = value();
            textArgument(c.args, i);
        } else if (a == "--at") {
            o.fixedAt = number();
            at = true;
            if (o.fixedAt != 2 && o.fixedAt != 3) throw recommendUsage("--at is 2 or 3");
        } else if (a == "--top") {
            o.top = static_cast<size_t>(number());
        } else if (surname.empty() && !a.starts_with("--")) {
            surname = textArgument(c.args, i);
        } else {
            throw recommendUsage("unexpected argument " + a);
        }
    }
    if (surname.empty()) throw recommendUsage("recommend needs a surname");
    if (at && o.fixed.empty()) throw recommendUsage("--at needs --fixed");
    const NamingData& data = c.naming();
    if (!isKnownSurname(data, surname)) {
        c.err << "quenvil-cli: unknown surname " << surname
              << ": neither a compound surname of the list nor a character with a stroke count\n";
        return 1;
    }
    const std::vector<ScoredName> names = recommend(data, surname, o);
    if (names.empty()) {
        c.err << "quenvil-cli: no favourable name for " << surname << " with these options\n";
    }
    BlockWriter w(c.out);
    std::string notes;
    for (const ScoredName& n : names) {
        const ResultRow row = rowOf(n, notes);
        appendRowLine(w.buffer(), data, row, notes);
    }
    w.flush();
    return 0;
}

int scoreNames(Context& c) {
    std::string bytes;
    if (c.args.size() == 2) {
        bytes = readWholeFile(c.args[1]);
    } else {
        char block[1 << 16];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, stdin)) > 0) bytes.append(block, n);
    }
    const std::string text = decodeToUtf8(bytes);
    bytes.clear();
    bytes.shrink_to_fit();
    std::vector<std::string_view> names;
    NameCutter cutter(text);
    for (std::string_view name; cutter.next(name);) names.push_back(name);
    const NamingData& data = c.naming();
    // First pass: the scores alone, and the order best first.
    std::vector<int8_t> scores(names.size());
    std::vector<uint32_t> order(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        scores[i] = static_cast<int8_t>(scoreOnly(data, names[i]));
        order[i] = static_cast<uint32_t>(i);
    }
    sortBestFirst(order, [&](uint32_t i) { return scores[i]; });
    // Second pass: the whole result of each name in that order.
    BlockWriter w(c.out);
    ScoredName scored;
    std::string notes;
    int failed = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        // The order jumps through the names: fetch the ones a little ahead.
        if (k + 16 < order.size()) __builtin_prefetch(&names[order[k + 16]]);
        if (k + 8 < order.size()) __builtin_prefetch(names[order[k + 8]].data());
        const uint32_t i = order[k];
        ScoreFailure why = ScoreFailure::None;
        if (!scoreName(data, names[i], scored, &why)) {
            c.err << "quenvil-cli: cannot score " << names[i] << ": "
                  << (why == ScoreFailure::Length
                          ? "a name is a surname and one or two given-name characters"
                          : "a character without a stroke count or a reading")
                  << '\n';
            ++failed;
            continue;
        }
        const ResultRow row = rowOf(scored, notes);
        appendRowLine(w.buffer(), data, row, notes);
        w.maybeFlush();
    }
    w.flush();
    return failed ? 1 : 0;
}

int strokes(Context& c) {
    const std::string text(trimControl(utf8ToGbk(textArgument(c.args, 1))));
    std::vector<std::string> lines;
    for (const std::string& unit : cutUnits(text)) {
        lines.push_back(unit + '\t' + std::to_string(c.db().strokes.strokes(unit)));
    }
    printLines(c.out, lines);
    return 0;
}

int analyze(Context& c) {
    const NameCut cut = cutName(utf8ToGbk(textArgument(c.args, 1)));
    if (cut.outcome != NameCut::Outcome::Accepted) {
        c.err << (cut.outcome == NameCut::Outcome::Blocked ? kInvalidNameMessage
                                                           : kNameTooLongMessage)
              << '\n';
        return 1;
    }
    Database& db = c.db();
    const StrokeCounts counts = slotStrokes(cut.slots, db.strokes);
    StrokeFieldTexts fields;
    for (size_t i = 0; i < kSlotCount; ++i) fields[i] = std::to_string(counts[i]);
    printLines(c.out, analysisReport(fields, cut.slots, db.characterQuery));
    return 0;
}

// The filter reads its file block by block and writes its results as it goes: its memory does not
// grow with the file. Lines end at CR, LF or CR LF; the list ends at its first empty line.
int filter(Context& c) {
    FileBlocks file(c.args[1]);
    StrokeLookup& lookup = c.db().strokes;
    const StrokePairTable& table = StrokePairTable::filters();
    constexpr size_t kBlockSize = 1 << 20;
    std::vector<char> block(kBlockSize);
    GbkStreamDecoder decoder;
    std::string text;     // decoded GBK not yet cut into lines
    std::string results;  // GBK result lines not yet written
    auto write = [&] {
        const std::string utf8 = gbkToUtf8(results);
        errno = 0;
        c.out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
        checkOutput(c.out);
        results.clear();
    };
    // False at the empty line that ends the list.
    auto judge = [&](std::string_view line) {
        if (line.empty()) return false;
        const Verdict v = judgeName(line, lookup, table);
        if (v.notice) {
            results += noSurnameRowNoticeGbk();
            results += '\n';
        }
        for (int i = 0; i < v.copies; ++i) {
            results += line;
            results += '\n';
        }
        return true;
    };
    bool afterCr = false;  // the text so far ended in CR: an LF that follows belongs to it
    bool ended = false;
    while (!ended) {
        const size_t n = file.read(block.data(), block.size());
        if (n == 0) {
            decoder.finish(text);
        } else {
            decoder.feed(std::string_view(block.data(), n), text);
        }
        size_t start = 0;
        if (afterCr && !text.empty()) {
            if (text[0] == '\n') start = 1;
            afterCr = false;
        }
        for (size_t i = start; i < text.size(); ++i) {
            const char ch = text[i];
            if (ch != '\r' && ch != '\n') continue;
            if (!judge(std::string_view(text).substr(start, i - start))) {
                ended = true;
                break;
            }
            if (ch == '\r') {
                if (i + 1 < text.size()) {
                    if (text[i + 1] == '\n') ++i;
                } else {
                    afterCr = true;
                }
            }
            start = i + 1;
        }
        if (ended) break;
        text.erase(0, start);
        if (n == 0) {
            if (!text.empty()) judge(text);  // the last line, without a break after it
            break;
        }
        if (results.size() >= kBlockSize) write();
    }
    write();
    return 0;
}

int pairs(Context& c) {
    const Suggestion s = suggestPairs(utf8ToGbk(textArgument(c.args, 1)), c.db().strokes);
    std::vector<std::string> lines{s.label};
    lines.insert(lines.end(), s.rows.begin(), s.rows.end());
    printLines(c.out, lines);
    return 0;
}

int chars(Context& c) {
    const auto n = parseInteger(textArgument(c.args, 1));
    if (!n) throw UsageError("'" + c.args[1] + "' is not a valid integer value");
    if (const auto found = charactersOfCount(c.db().characterQuery, *n)) {
        printLines(c.out, {found->first, found->second});
    }
    return 0;
}

int importFile(Context& c) {
    const GbkText text = toGbkText(readWholeFile(c.args[1]));
    const std::string_view firstLine =
        std::string_view(text.gbk).substr(0, text.gbk.find_first_of("\r\n"));
    const ImportPlan plan = planImportLine(firstLine);
    size_t stored = 0;
    try {
        stored = writeImport(c.db(), plan);
    } catch (const DatabaseBusyError& e) {
        c.err << "quenvil-cli: the database " << (c.programDir / kDatabaseFileName).string()
              << " is in use by another program; nothing was imported, try again later ("
              << e.what() << ")\n";
        return 1;
    }
    printLines(c.out, {plan.surname});
    c.err << importDoneMessage(stored) << '\n';
    return 0;
}

int filterImported(Context& c) {
    std::vector<std::string> found;
    std::string lastSurname;
    quenvil::filterImported(c.db(), found, lastSurname);
    printLines(c.out, found);
    return 0;
}

struct CommandInfo {
    size_t arguments;     // at least
    size_t maxArguments;  // at most
    std::function<int(Context&)> run;
};

}  // namespace

int run(const std::vector<std::string>& args, const std::filesystem::path& programDir,
        std::ostream& out, std::ostream& err) {
    static const std::map<std::string, CommandInfo> commands = {
        {"strokes", {1, 1, strokes}},
        {"analyze", {1, 1, analyze}},
        {"filter", {1, 1, filter}},
        {"pairs", {1, 1, pairs}},
        {"chars", {1, 1, chars}},
        {"import", {1, 1, importFile}},
        {"filter-imported", {0, 0, filterImported}},
        {"recommend", {1, 9, recommendNames}},
        {"score", {0, 1, scoreNames}}};
    if (args.empty()) {
        err << kUsage;
        return 2;
    }
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h")) {
        errno = 0;
        out << kUsage;
        out.flush();
        if (!out) {
            err << "quenvil-cli: cannot write the output (standard output): "
                << std::strerror(errno) << '\n';
            return 1;
        }
        return 0;
    }
    const auto it = commands.find(args[0]);
    if (it == commands.end() || args.size() < it->second.arguments + 1 ||
        args.size() > it->second.maxArguments + 1) {
        err << kUsage;
        return 2;
    }
    Context context{args, programDir, out, err, nullptr, nullptr};
    try {
        const int rc = it->second.run(context);
        errno = 0;
        out.flush();
        checkOutput(out);
        return rc;
    } catch (const UsageError& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 2;
    } catch (const RecommendError& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace quenvil::cli
