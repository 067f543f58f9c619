// The classic commands of quenvil-cli.
#include "cli/classic_commands.h"

#include <algorithm>
#include <ostream>

#include "analysis/five_grids.h"
#include "analysis/name_entry.h"
#include "manual_naming/pair_rows.h"
#include "naming/candidate_filter.h"
#include "semi_auto_naming/import_line.h"
#include "semi_auto_naming/name_import.h"
#include "text/encoding.h"
#include "text/gbk.h"
#include "text/integer.h"
#include "text/lines.h"
#include "text/units.h"

namespace quenvil::cli {

int strokes(Context& c) {
    const std::string text(trimControl(utf8ToGbk(nameArgument(c.args, 1))));
    std::vector<std::string> lines;
    for (const std::string& unit : cutUnits(text)) {
        lines.push_back(unit + '\t' + std::to_string(c.db().strokes.strokes(unit)));
    }
    printLines(c.out, lines);
    return 0;
}

int analyze(Context& c) {
    const NameCut cut = cutName(utf8ToGbk(nameArgument(c.args, 1)));
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

namespace {

// Reads the next block of file and puts its GBK text into text; at the end of the file (0 bytes
// read) what the decoder still holds back. Returns the bytes read.
size_t readDecoded(FileBlocks& file, std::vector<char>& block, GbkStreamDecoder& decoder,
                   std::string& text) {
    const size_t n = file.read(block.data(), block.size());
    text.clear();
    if (n == 0) {
        decoder.finish(text);
    } else {
        decoder.feed(std::string_view(block.data(), n), text);
    }
    return n;
}

}  // namespace

// The filter reads its file block by block and writes its results as it goes: its memory does not
// grow with the file. The list's rules are NameListStream's.
int filter(Context& c) {
    FileBlocks file(c.args[1]);
    NameListStream list(c.db().strokes);
    constexpr size_t kBlockSize = 1 << 20;
    constexpr size_t kResultsPerWrite = 1 << 16;
    std::vector<char> block(kBlockSize);
    GbkStreamDecoder decoder;
    std::string text;                  // the decoded GBK of a block
    std::vector<std::string> results;  // GBK result lines not yet written
    for (;;) {
        const size_t n = readDecoded(file, block, decoder, text);
        if (!list.feed(text, results)) break;
        if (n == 0) {
            list.finish(results);
            break;
        }
        if (results.size() >= kResultsPerWrite) {
            printLines(c.out, results);
            results.clear();
        }
    }
    printLines(c.out, results);
    return 0;
}

int pairs(Context& c) {
    const Suggestion s = suggestPairs(utf8ToGbk(nameArgument(c.args, 1)), c.db().strokes);
    std::vector<std::string> lines{s.label};
    lines.insert(lines.end(), s.rows.begin(), s.rows.end());
    printLines(c.out, lines);
    return 0;
}

int chars(Context& c) {
    const auto n = parseInteger(textArgument(c.args, 1));
    if (!n) throw UsageError("'" + shown(c.args[1]) + "' is not a valid integer value");
    if (const auto found = charactersOfCount(c.db().characterQuery, *n)) {
        printLines(c.out, {found->first, found->second});
    }
    return 0;
}

// The import reads its file block by block up to the first line break and keeps each name in
// eight bytes (ImportPlanner), never the line itself: its memory grows with the names only.
int importFile(Context& c) {
    FileBlocks file(c.args[1]);
    GbkStreamDecoder decoder;
    // Room for the names a file of that size can hold on one line, up to 4 million at first.
    ImportPlanner planner(std::min<size_t>(file.sizeHint() / 7, size_t{1} << 22));
    ImportLineStream line(
        [&](std::string_view first, size_t length) { planner.token(first, length); });
    std::vector<char> block(1 << 20);
    std::string text;  // the decoded GBK of a block
    for (bool lineEnded = false; !lineEnded;) {
        const size_t n = readDecoded(file, block, decoder, text);
        const size_t lineBreak = text.find_first_of("\r\n");
        line.feed(std::string_view(text).substr(0, lineBreak));
        lineEnded = n == 0 || lineBreak != std::string::npos;
    }
    line.finish();
    const ImportPlan plan = planner.finish();
    size_t stored = 0;
    try {
        stored = writeImport(c.db(), plan);
    } catch (const DatabaseBusyError& e) {
        c.err << "quenvil-cli: the database " << shown(c.databaseFile().string())
              << " is in use by another program; nothing was imported, try again later ("
              << shown(e.what()) << ")\n";
        return 1;
    } catch (const NoUserCopyError& e) {
        c.err << "quenvil-cli: nothing was imported: " << shown(e.what())
              << "; the program's own database is never written\n";
        return 1;
    }
    c.committed = true;
    c.err << importDoneMessage(stored) << '\n';
    printLines(c.out, {plan.surname});
    return 0;
}

int filterImported(Context& c) {
    if (!c.db().readOnlyReason.empty()) {
        c.err << "quenvil-cli: the imported names are kept in the user's own copy of the database, "
                 "which cannot be used: "
              << shown(c.db().readOnlyReason) << '\n';
        return 1;
    }
    std::vector<std::string> found;
    std::string lastSurname;
    quenvil::filterImported(c.db(), found, lastSurname);
    printLines(c.out, found);
    return 0;
}

}  // namespace quenvil::cli
