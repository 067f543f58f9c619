// recommend and score: the recommendation engine from a terminal.
#include "cli/recommend_commands.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <ostream>
#include <stdexcept>

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

// Reads FILE, or standard input without one, block by block: onBlock(std::string_view).
template <typename OnBlock>
void readBlocks(const std::vector<std::string>& args, OnBlock&& onBlock) {
    std::vector<char> block(1 << 20);
    if (args.size() == 2) {
        FileBlocks file(args[1]);
        while (const size_t n = file.read(block.data(), block.size())) onBlock({block.data(), n});
        return;
    }
    size_t n;
    while ((n = std::fread(block.data(), 1, block.size(), stdin)) > 0) onBlock({block.data(), n});
    if (std::ferror(stdin)) throw std::runtime_error("cannot read standard input");
}

// Names kept best first as they are read, in little room: one run of chunks per key holds each
// name as its length byte and its bytes, in the order the names came; reading the runs from the
// best key to the unscored gives sortBestFirst's order without a table of all the names.
class BestFirstNames {
  public:
    void add(int key, std::string_view name) {
        const size_t bucket =
            key < 0 ? kUnscored
                    : static_cast<size_t>(kBestFirstMaxKey - std::min(key, kBestFirstMaxKey));
        auto& chunks = buckets_[bucket];
        if (chunks.empty() || chunks.back().size() + 1 + name.size() > kChunk) {
            chunks.emplace_back();
            chunks.back().reserve(kChunk);
        }
        chunks.back() += static_cast<char>(name.size());
        chunks.back() += name;
    }
    template <typename F>
    void forEach(F&& f) const {
        for (const auto& chunks : buckets_) {
            for (const std::string& chunk : chunks) {
                for (size_t i = 0; i < chunk.size();) {
                    const auto length = static_cast<unsigned char>(chunk[i]);
                    f(std::string_view(chunk).substr(i + 1, length));
                    i += 1 + length;
                }
            }
        }
    }

  private:
    static_assert(kLongestNameBytes < 256, "a name's length is one byte");
    static constexpr size_t kChunk = 1 << 16;
    static constexpr size_t kUnscored = kBestFirstMaxKey + 1;
    std::array<std::vector<std::string>, kUnscored + 1> buckets_;
};

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

// The input is read in blocks and each name kept with its key only (BestFirstNames): the memory
// is the names' own bytes and one byte more for each. Its whole result is made when it is written.
int scoreNames(Context& c) {
    const NamingData& data = c.naming();
    BestFirstNames names;
    NameStream stream;
    GbkStreamDecoder decoder(GbkStreamDecoder::Target::Utf8);
    int failed = 0;
    auto onName = [&](std::string_view name) { names.add(orderKeyOnly(data, name), name); };
    auto onTooLong = [&](std::string_view start, size_t bytes) {
        c.err << "quenvil-cli: cannot score " << shown(start) << "... (" << bytes
              << " bytes): longer than any name\n";
        ++failed;
    };
    std::string text;
    readBlocks(c.args, [&](std::string_view block) {
        text.clear();
        decoder.feed(block, text);
        stream.feed(text, onName, onTooLong);
    });
    text.clear();
    decoder.finish(text);
    stream.feed(text, onName, onTooLong);
    stream.finish(onName, onTooLong);

    BlockWriter w(c.out);
    ScoredName scored;
    std::string notes;
    names.forEach([&](std::string_view name) {
        ScoreFailure why = ScoreFailure::None;
        if (!scoreName(data, name, scored, &why)) {
            reportUnscored(c.err, name, why);
            ++failed;
            return;
        }
        const ResultRow row = rowOf(scored, notes);
        appendRowLine(w.buffer(), data, row, notes);
        w.maybeFlush();
    });
    w.flush();
    return failed ? 1 : 0;
}

}  // namespace quenvil::cli
