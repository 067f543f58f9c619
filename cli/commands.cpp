// The commands of quenvil-cli.
#include "cli/commands.h"

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <ostream>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "data/database.h"
#include "manual_naming/pair_rows.h"
#include "naming/candidate_filter.h"
#include "naming/naming_data.h"
#include "naming/recommend.h"
#include "naming/score.h"
#include "semi_auto_naming/name_import.h"
#include "text/encoding.h"
#include "text/gbk.h"
#include "text/integer.h"
#include "text/lines.h"
#include "text/units.h"

namespace quenvil::cli {
namespace {

constexpr const char* kUsage =
    "usage: quenvil-cli COMMAND [ARGUMENT]\n"
    "  strokes TEXT        each two-byte unit of TEXT and its stroke count\n"
    "  analyze NAME        the five-grid report of NAME\n"
    "  filter FILE         the names of a GBK name-list file that the automatic filter keeps\n"
    "  pairs SURNAME       the stroke count of SURNAME and its favourable stroke pairs\n"
    "  chars N             the characters of N strokes\n"
    "  import FILE         imports the names on the first line of a GBK file; prints the surname\n"
    "  filter-imported     the imported names that the filter keeps\n"
    "  recommend SURNAME [--gender m|f|any] [--length 1|2] [--fixed CHAR --at 2|3] [--top N]\n"
    "                      the best names for SURNAME (default: any, 2, 100), best first\n"
    "  score [FILE]        scores the names of FILE or of standard input (one per line, or\n"
    "                      separated by blanks or commas; UTF-8, UTF-16 or GBK), best first\n"
    "recommend and score print one line per name: name, score, pinyin, strokes, the grids\n"
    "天格 人格 地格 总格 外格, the three talents and their rating, notes (tab-separated).\n"
    "Text arguments and all output are UTF-8; the database is the data.Mdb beside the program.\n";

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
    out.write(utf8.data(), static_cast<std::streamsize>(utf8.size()));
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
            cn.setConnectionString(connectionStringFor(programDir / kDatabaseFileName));
            cn.open();
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
    ~BlockWriter() { flush(); }
    std::string& buffer() { return buffer_; }
    void maybeFlush() {
        if (buffer_.size() >= kBlock) flush();
    }
    void flush() {
        out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
        buffer_.clear();
    }

  private:
    static constexpr size_t kBlock = 1 << 20;
    std::ostream& out_;
    std::string buffer_;
};

struct UsageError {};

int recommendNames(Context& c) {
    RecommendOptions o;
    std::string surname;
    bool at = false;
    for (size_t i = 1; i < c.args.size(); ++i) {
        const std::string& a = c.args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= c.args.size()) throw UsageError{};
            return c.args[++i];
        };
        auto number = [&]() {
            const auto n = parseInteger(value());
            if (!n || *n < 0) throw UsageError{};
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
                throw UsageError{};
            }
        } else if (a == "--length") {
            o.length = number();
            if (o.length != 1 && o.length != 2) throw UsageError{};
        } else if (a == "--fixed") {
            o.fixed = value();
        } else if (a == "--at") {
            o.fixedAt = number();
            at = true;
            if (o.fixedAt != 2 && o.fixedAt != 3) throw UsageError{};
        } else if (a == "--top") {
            o.top = static_cast<size_t>(number());
        } else if (surname.empty() && !a.starts_with("--")) {
            surname = a;
        } else {
            throw UsageError{};
        }
    }
    if (surname.empty() || (at && o.fixed.empty())) throw UsageError{};
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
    for (const ScoredName& n : names) appendLine(n, w.buffer());
    return 0;
}

// The names of a text: separated by line breaks, blanks (also the ideographic space) and commas
// (also the full-width comma and 、).
std::vector<std::string_view> namesOf(std::string_view text) {
    std::vector<std::string_view> names;
    size_t start = 0;
    auto cut = [&](size_t end, size_t next) {
        if (end > start) names.push_back(text.substr(start, end - start));
        start = next;
    };
    for (size_t i = 0; i < text.size();) {
        const auto ch = static_cast<unsigned char>(text[i]);
        if (ch == '\n' || ch == '\r' || ch == ' ' || ch == '\t' || ch == ',') {
            cut(i, i + 1);
            ++i;
        } else if ((ch == 0xE3 || ch == 0xEF) &&
                   (text.compare(i, 3, "\u3000") == 0 || text.compare(i, 3, "\uFF0C") == 0 ||
                    text.compare(i, 3, "\u3001") == 0)) {
            cut(i, i + 3);
            i += 3;
        } else {
            ++i;
        }
    }
    cut(text.size(), text.size());
    return names;
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
    const std::vector<std::string_view> names = namesOf(text);
    const NamingData& data = c.naming();
    // First pass: the scores alone; the order best first, stable, by buckets of score.
    std::vector<int8_t> scores(names.size());
    std::array<size_t, 102> bucketStart{};
    int failed = 0;
    for (size_t i = 0; i < names.size(); ++i) {
        const int s = scoreOnly(data, names[i]);
        scores[i] = static_cast<int8_t>(s);
        ++bucketStart[static_cast<size_t>(100 - s)];  // -1 (not scored) lands in the last bucket
    }
    size_t sum = 0;
    for (size_t& b : bucketStart) {
        const size_t n = b;
        b = sum;
        sum += n;
    }
    std::vector<uint32_t> order(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        order[bucketStart[static_cast<size_t>(100 - scores[i])]++] = static_cast<uint32_t>(i);
    }
    // Second pass: the whole result of each name in that order.
    BlockWriter w(c.out);
    ScoredName scored;
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
        appendLine(scored, w.buffer());
        w.maybeFlush();
    }
    return failed ? 1 : 0;
}

int strokes(Context& c) {
    const std::string text(trimControl(utf8ToGbk(c.args[1])));
    std::vector<std::string> lines;
    for (const std::string& unit : cutUnits(text)) {
        lines.push_back(unit + '\t' + std::to_string(c.db().strokes.strokes(unit)));
    }
    printLines(c.out, lines);
    return 0;
}

int analyze(Context& c) {
    const NameCut cut = cutName(utf8ToGbk(c.args[1]));
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
    printLines(c.out, analysisReport(fields, cut.slots, db.ADODS1));
    return 0;
}

int filter(Context& c) {
    const std::vector<std::string> lines = readLinesFile(c.args[1]);
    std::vector<std::string> found;
    NameListFilter(lines, c.db().strokes).runAll(found);
    printLines(c.out, found);
    return 0;
}

int pairs(Context& c) {
    const Suggestion s = suggestPairs(utf8ToGbk(c.args[1]), c.db().strokes);
    std::vector<std::string> lines{s.label};
    lines.insert(lines.end(), s.rows.begin(), s.rows.end());
    printLines(c.out, lines);
    return 0;
}

int chars(Context& c) {
    const auto n = parseInteger(c.args[1]);
    if (!n) {
        c.err << "'" << c.args[1] << "' is not a valid integer value\n";
        return 2;
    }
    if (const auto found = charactersOfCount(c.db().ADODS1, *n)) {
        printLines(c.out, {found->first, found->second});
    }
    return 0;
}

int importFile(Context& c) {
    const std::vector<std::string> lines = readLinesFile(c.args[1]);
    const ImportPlan plan = planImport(lines);
    writeImport(c.db(), plan);
    printLines(c.out, {plan.surname});
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
    const auto it = commands.find(args[0]);
    if (it == commands.end() || args.size() < it->second.arguments + 1 ||
        args.size() > it->second.maxArguments + 1) {
        err << kUsage;
        return 2;
    }
    Context context{args, programDir, out, err, nullptr, nullptr};
    try {
        const int rc = it->second.run(context);
        out.flush();
        return rc;
    } catch (const UsageError&) {
        err << kUsage;
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
