// The commands of quenvil-cli.
#include "cli/commands.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>
#include <stdexcept>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "data/database.h"
#include "manual_naming/pair_rows.h"
#include "naming/candidate_filter.h"
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
    "  --help              this text\n"
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
};

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
    printLines(c.out, analysisReport(fields, cut.slots, db.ADODS1));
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
    if (const auto found = charactersOfCount(c.db().ADODS1, *n)) {
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
    size_t arguments;
    std::function<int(Context&)> run;
};

}  // namespace

int run(const std::vector<std::string>& args, const std::filesystem::path& programDir,
        std::ostream& out, std::ostream& err) {
    static const std::map<std::string, CommandInfo> commands = {
        {"strokes", {1, strokes}},
        {"analyze", {1, analyze}},
        {"filter", {1, filter}},
        {"pairs", {1, pairs}},
        {"chars", {1, chars}},
        {"import", {1, importFile}},
        {"filter-imported", {0, filterImported}}};
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
    if (it == commands.end() || args.size() != it->second.arguments + 1) {
        err << kUsage;
        return 2;
    }
    Context context{args, programDir, out, err, nullptr};
    try {
        const int rc = it->second.run(context);
        errno = 0;
        out.flush();
        checkOutput(out);
        return rc;
    } catch (const UsageError& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace quenvil::cli
