// recommend and score: the recommendation engine from a terminal.
#include "cli/recommend_commands.h"

#include <cstdio>
#include <ostream>

#include "naming/best_first.h"
#include "naming/name_cutter.h"
#include "naming/recommend.h"
#include "recommend/result_rows.h"
#include "text/encoding.h"
#include "text/integer.h"
#include "text/lines.h"

namespace quenvil::cli {
namespace {

// A bad option of recommend: the message, then how recommend is called.
UsageError recommendUsage(const std::string& message) {
    return UsageError(
        message +
        "\nusage: quenvil-cli recommend SURNAME [--gender m|f|any] [--length 1|2] "
        "[--fixed CHAR --at 2|3] [--with CHAR] [--source BOOK|any] [--top N | --all]");
}

Gender genderOption(const std::string& value) {
    if (value == "m") return Gender::Male;
    if (value == "f") return Gender::Female;
    if (value == "any") return Gender::Any;
    throw recommendUsage("--gender is m, f or any");
}

// The arguments of recommend after the command: the surname (UTF-8) and the options.
std::string readRecommendArguments(const std::vector<std::string>& args, RecommendOptions& o) {
    std::string surname;
    bool haveSurname = false;
    bool at = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw recommendUsage(a + " needs a value");
            return args[++i];
        };
        auto number = [&]() {
            const auto n = parseInteger(value());
            if (!n || *n < 0) throw recommendUsage(a + " takes a number");
            return *n;
        };
        if (a == "--gender") {
            o.gender = genderOption(value());
        } else if (a == "--length") {
            o.length = number();
            if (o.length != 1 && o.length != 2) throw recommendUsage("--length is 1 or 2");
        } else if (a == "--fixed") {
            o.fixed = value();
            nameArgument(args, i, a);
        } else if (a == "--at") {
            o.fixedAt = number();
            at = true;
            if (o.fixedAt != 2 && o.fixedAt != 3) throw recommendUsage("--at is 2 or 3");
        } else if (a == "--top") {
            o.top = static_cast<size_t>(number());
        } else if (a == "--all") {
            o.top = 0;
        } else if (a == "--with") {
            o.with = value();
            nameArgument(args, i, a);
        } else if (a == "--source") {
            const std::string& book = value();
            textArgument(args, i, a);
            if (book == "any") {
                o.source = RecommendOptions::Source::AnyClassic;
            } else if (parseBook(book, o.book)) {
                o.source = RecommendOptions::Source::OneBook;
            } else {
                throw recommendUsage("--source is 诗经, 楚辞, 论语, 唐诗, 宋词, 古文 or any");
            }
        } else if (!haveSurname && !a.starts_with("--")) {
            surname = nameArgument(args, i);
            haveSurname = true;
        } else {
            throw recommendUsage("unexpected argument " + a);
        }
    }
    if (!haveSurname) throw recommendUsage("recommend needs a surname");
    if (at && o.fixed.empty()) throw recommendUsage("--at needs --fixed");
    return surname;
}

// The names of FILE, or of standard input without one, as UTF-8 text.
std::string namesText(const std::vector<std::string>& args) {
    std::string bytes;
    if (args.size() == 2) {
        bytes = readWholeFile(args[1]);
    } else {
        char block[1 << 16];
        size_t n;
        while ((n = std::fread(block, 1, sizeof block, stdin)) > 0) bytes.append(block, n);
    }
    return decodeToUtf8(bytes);
}

void reportUnscored(std::ostream& err, std::string_view name, ScoreFailure why) {
    err << "quenvil-cli: cannot score " << shown(name) << ": "
        << (why == ScoreFailure::Length ? "a name is a surname and one or two given-name characters"
                                        : "a character without a stroke count or a reading")
        << '\n';
}

}  // namespace

int recommendNames(Context& c) {
    RecommendOptions o;
    const std::string surname = readRecommendArguments(c.args, o);
    const NamingData& data = c.naming();
    if (!isKnownSurname(data, surname)) {
        c.err << "quenvil-cli: unknown surname " << shown(surname)
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

// Two passes keep the memory small for millions of names: the scores alone and the order best
// first, then the whole result of each name in that order.
int scoreNames(Context& c) {
    const std::string text = namesText(c.args);
    std::vector<std::string_view> names;
    NameCutter cutter(text);
    for (std::string_view name; cutter.next(name);) names.push_back(name);
    const NamingData& data = c.naming();
    std::vector<int16_t> keys(names.size());
    std::vector<uint32_t> order(names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        keys[i] = static_cast<int16_t>(orderKeyOnly(data, names[i]));
        order[i] = static_cast<uint32_t>(i);
    }
    sortBestFirst(order, [&](uint32_t i) { return keys[i]; });
    BlockWriter w(c.out);
    ScoredName scored;
    std::string notes;
    int failed = 0;
    for (size_t k = 0; k < order.size(); ++k) {
        // The order jumps through the names: fetch the ones a little ahead.
        if (k + 16 < order.size()) __builtin_prefetch(&names[order[k + 16]]);
        if (k + 8 < order.size()) __builtin_prefetch(names[order[k + 8]].data());
        const std::string_view name = names[order[k]];
        ScoreFailure why = ScoreFailure::None;
        if (!scoreName(data, name, scored, &why)) {
            reportUnscored(c.err, name, why);
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

}  // namespace quenvil::cli
