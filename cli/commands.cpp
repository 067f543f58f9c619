// The commands of quenvil-cli: the usage text and the choice of the command.
#include "cli/commands.h"

#include <cerrno>
#include <cstring>
#include <functional>
#include <map>
#include <ostream>

#include "cli/classic_commands.h"
#include "cli/recommend_commands.h"
#include "cli/shortlist_commands.h"
#include "naming/recommend.h"

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
    "  recommend SURNAME [--gender m|f|any] [--length 1|2] [--fixed CHAR --at 2|3]\n"
    "            [--with CHAR] [--source 诗经|楚辞|论语|唐诗|宋词|古文|any] [--top N | --all]\n"
    "                      the best names for SURNAME, best first (default: any, 2, the top\n"
    "                      100; --top 0 or --all: every one); --with: names holding CHAR;\n"
    "                      --source: names whose two given characters stand in one line of\n"
    "                      that classic, or of any (default: names of every kind)\n"
    "  score [FILE]        scores the names of FILE or of standard input (one per line, or\n"
    "                      separated by blanks or commas; UTF-8, UTF-16 or GBK), best first\n"
    "  shortlist [list]    the names on your shortlist (收藏), by surname, then the oldest first\n"
    "  shortlist add NAME [--gender m|f|any] [--remark TEXT]\n"
    "                      keeps NAME (a name that score can score) on the shortlist; a name\n"
    "                      already there is kept once, with the new gender (default: any) and,\n"
    "                      when given, the new remark\n"
    "  shortlist remove NAME\n"
    "                      takes NAME off the shortlist\n"
    "  --help              this text\n"
    "recommend and score print one line per name, tab-separated: name, score (the overall one,\n"
    "which orders the names), pinyin, strokes, the grids 天格 人格 地格 总格 外格, the three\n"
    "talents and their rating, notes, the numerology score, the naming score, the meaning of\n"
    "each given character (思:思考; 远:深远) and the line of a classic the given name comes from\n"
    "(诗经·小雅·鹿鸣: 呦呦鹿鸣，食野之苹。; empty when none). The README gives the scores' "
    "formula.\n"
    "shortlist prints one line per name, tab-separated: name, surname, gender (m, f or n for\n"
    "any), remark and when it was added (UTC, 2026-01-31T08:00:00Z). The shortlist is kept in\n"
    "the database named below, where import writes too, and stays through every update of the\n"
    "program's reference data.\n"
    "Text arguments and all output are UTF-8. The database is the program's data.Mdb (beside the\n"
    "program, or in the installed share/quenvil), or the user's own copy of it in\n"
    "${XDG_DATA_HOME:-~/.local/share}/quenvil when that folder cannot be written.\n"
    "Name-list files may be GBK, UTF-8 (with or without BOM) or UTF-16 with a BOM.\n"
    "Exit status: 0 done; 1 failed (a file or the database cannot be used, a refused name or\n"
    "file, a character outside GBK such as an emoji, a name to remove that is not on the\n"
    "shortlist, the output cannot be written); 2 usage error (unknown command, wrong number of\n"
    "arguments, a name or text that is blank or longer than 1024 bytes, an argument that is not\n"
    "UTF-8, an N that is not an integer). Bytes that are not UTF-8 are shown as \\xNN in\n"
    "messages.\n";

struct CommandInfo {
    size_t arguments;     // at least
    size_t maxArguments;  // at most
    std::function<int(Context&)> run;
};

}  // namespace

int run(const std::vector<std::string>& args, const DataLocation& location, std::ostream& out,
        std::ostream& err) {
    static const std::map<std::string, CommandInfo> commands = {
        {"strokes", {1, 1, strokes}},
        {"analyze", {1, 1, analyze}},
        {"filter", {1, 1, filter}},
        {"pairs", {1, 1, pairs}},
        {"chars", {1, 1, chars}},
        {"import", {1, 1, importFile}},
        {"filter-imported", {0, 0, filterImported}},
        // A surname, seven options with a value and --all.
        {"recommend", {1, 16, recommendNames}},
        {"score", {0, 1, scoreNames}},
        // A sub-command; add takes a name and two options with a value.
        {"shortlist", {0, 6, shortlist}}};
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
    Context context(args, location, out, err);
    try {
        const int rc = it->second.run(context);
        errno = 0;
        out.flush();
        checkOutput(out);
        return rc;
    } catch (const OutputError& e) {
        err << "quenvil-cli: " << shown(e.what()) << '\n';
        if (!context.committed) return 1;
        // What was asked is done; a script that reads the status must not do it again.
        err << "quenvil-cli: the change was made all the same; only its report is missing\n";
        return 0;
    } catch (const DatabaseBusyError& e) {
        err << "quenvil-cli: the database " << shown(context.databaseFile().string())
            << " is in use by another program; nothing was changed, try again later ("
            << shown(e.what()) << ")\n";
        return 1;
    } catch (const UsageError& e) {
        err << "quenvil-cli: " << shown(e.what()) << '\n';
        return 2;
    } catch (const RecommendError& e) {
        err << "quenvil-cli: " << shown(e.what()) << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "quenvil-cli: " << shown(e.what()) << '\n';
        return 1;
    }
}

}  // namespace quenvil::cli
