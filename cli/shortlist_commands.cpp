// shortlist: list, add and remove the names of the user's shortlist.
#include "cli/shortlist_commands.h"

#include <optional>
#include <ostream>

#include "data/database_error.h"
#include "data/shortlist.h"
#include "naming/score.h"
#include "text/utf8.h"

namespace quenvil::cli {
namespace {

// A bad sub-command or option of shortlist: the message, then how shortlist is called.
UsageError shortlistUsage(const std::string& message) {
    return UsageError(message +
                      "\nusage: quenvil-cli shortlist [list] | shortlist add NAME [--gender "
                      "m|f|any] [--remark TEXT] | shortlist remove NAME");
}

struct AddArguments {
    std::string name;
    char gender = 'n';
    std::optional<std::string> remark;
};

// The arguments of shortlist add after "add": the name (UTF-8) and the options.
AddArguments readAddArguments(const std::vector<std::string>& args) {
    AddArguments a;
    for (size_t i = 2; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw shortlistUsage(arg + " needs a value");
            return textArgument(args, ++i);
        };
        if (arg == "--gender") {
            const std::string& g = value();
            if (g != "m" && g != "f" && g != "any") throw shortlistUsage("--gender is m, f or any");
            a.gender = g == "any" ? 'n' : g[0];
        } else if (arg == "--remark") {
            a.remark = value();
            // One entry is one line of tab-separated fields.
            if (a.remark->find_first_of("\t\r\n") != std::string::npos) {
                throw shortlistUsage("--remark cannot hold a tab or a line break");
            }
        } else if (a.name.empty() && !arg.starts_with("--")) {
            a.name = textArgument(args, i);
        } else {
            throw shortlistUsage("unexpected argument " + arg);
        }
    }
    if (a.name.empty()) throw shortlistUsage("shortlist add needs a name");
    return a;
}

void reportBusy(Context& c, const DatabaseBusyError& e) {
    c.err << "quenvil-cli: the database " << shown(c.databaseFile().string())
          << " is in use by another program; the shortlist was not changed, try again later ("
          << shown(e.what()) << ")\n";
}

void reportNoCopy(Context& c, const NoUserCopyError& e) {
    c.err << "quenvil-cli: the shortlist was not changed: " << shown(e.what())
          << "; the program's own database is never written\n";
}

// Runs change on the user's copy; false, with the reason on err, when it is busy or there is no
// copy to write.
template <typename Change>
bool changeShortlist(Context& c, Change&& change) {
    try {
        c.db().requireWritable();
        change(c.db().connection);
        return true;
    } catch (const DatabaseBusyError& e) {
        reportBusy(c, e);
    } catch (const NoUserCopyError& e) {
        reportNoCopy(c, e);
    }
    return false;
}

int listEntries(Context& c) {
    BlockWriter w(c.out);
    for (const ShortlistEntry& e : shortlistEntries(c.db().connection)) {
        w.buffer() +=
            e.name + '\t' + e.surname + '\t' + e.gender + '\t' + e.remark + '\t' + e.added + '\n';
    }
    w.flush();
    return 0;
}

int addEntry(Context& c) {
    const AddArguments a = readAddArguments(c.args);
    // The surname as the engine reads the name: a compound surname of the list, else the first
    // character.
    ScoredName scored;
    ScoreFailure why = ScoreFailure::None;
    if (!scoreName(c.naming(), a.name, scored, &why, a.gender)) {
        c.err << "quenvil-cli: cannot keep " << shown(a.name) << ": "
              << (why == ScoreFailure::Length
                      ? "a name is a surname and one or two given-name characters"
                      : "a character without a stroke count or a reading")
              << '\n';
        return 1;
    }
    const std::string surname =
        leadingCharacters(a.name, static_cast<size_t>(scored.surnameCharacters));
    bool added = false;
    if (!changeShortlist(c, [&](Connection& cn) {
            added = addToShortlist(
                cn, a.name, surname, a.gender,
                a.remark ? std::optional<std::string_view>(*a.remark) : std::nullopt);
        })) {
        return 1;
    }
    c.committed = true;
    c.err << "quenvil-cli: " << (added ? "added " : "updated ") << shown(a.name)
          << (added ? " to" : " on") << " the shortlist\n";
    return 0;
}

int removeEntry(Context& c) {
    if (c.args.size() != 3) {
        throw shortlistUsage(c.args.size() < 3 ? "shortlist remove needs a name"
                                               : "shortlist remove takes one name");
    }
    const std::string& name = textArgument(c.args, 2);
    bool removed = false;
    if (!changeShortlist(c, [&](Connection& cn) { removed = removeFromShortlist(cn, name); })) {
        return 1;
    }
    if (!removed) {
        c.err << "quenvil-cli: " << shown(name) << " is not on the shortlist\n";
        return 1;
    }
    c.committed = true;
    c.err << "quenvil-cli: removed " << shown(name) << " from the shortlist\n";
    return 0;
}

}  // namespace

int shortlist(Context& c) {
    const std::string sub = c.args.size() > 1 ? textArgument(c.args, 1) : "list";
    if (sub == "list") {
        if (c.args.size() > 2) throw shortlistUsage("shortlist list takes no argument");
        return listEntries(c);
    }
    if (sub == "add") return addEntry(c);
    if (sub == "remove") return removeEntry(c);
    throw shortlistUsage("unknown shortlist command " + sub);
}

}  // namespace quenvil::cli
