// The commands of quenvil-cli.
#include "cli/commands.h"

#include <functional>
#include <map>
#include <ostream>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "data/database.h"
#include "manual_naming/pair_rows.h"
#include "naming/candidate_filter.h"
#include "semi_auto_naming/name_import.h"
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
};

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
    const auto it = commands.find(args[0]);
    if (it == commands.end() || args.size() != it->second.arguments + 1) {
        err << kUsage;
        return 2;
    }
    Context context{args, programDir, out, err, nullptr};
    try {
        const int rc = it->second.run(context);
        out.flush();
        return rc;
    } catch (const std::exception& e) {
        err << "quenvil-cli: " << e.what() << '\n';
        return 1;
    }
}

}  // namespace quenvil::cli
