// The import tokenizer: outside quotes no token holds a separator (a stray lead byte never swallows
// one); tokens joined by blanks split into the same tokens again; and the rows of xm2 are the
// distinct names of xm, each once, in the order of their first appearance.
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "fuzz/fuzz_support.h"
#include "semi_auto_naming/import_line.h"
#include "semi_auto_naming/name_import.h"

namespace {

std::vector<std::string> tokensOf(std::string_view line) {
    std::vector<std::string> tokens;
    quenvil::forEachImportToken(line, [&](std::string_view t) { tokens.emplace_back(t); });
    return tokens;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace quenvil;
    const std::string_view line = fuzz::bytes(data, size);
    const std::vector<std::string> tokens = tokensOf(line);

    if (line.find('"') == std::string_view::npos) {
        std::string joined;
        for (const std::string& t : tokens) {
            fuzz::check(!t.empty(), "no empty token outside quotes");
            for (const char ch : t) {
                fuzz::check(static_cast<unsigned char>(ch) > 0x20, "no separator in a token");
            }
            joined += t;
            joined += ' ';
        }
        fuzz::check(tokensOf(joined) == tokens, "joined tokens split the same");
    }

    ImportPlan plan;
    try {
        plan = planImportLine(line);
    } catch (const ImportError&) {
        for (const std::string& t : tokens) fuzz::check(!storableName(t), "refused: no name");
        return 0;
    }
    std::vector<PackedName> expected;
    for (const std::string& t : tokens) {
        if (storableName(t)) expected.push_back(packName(t));
    }
    fuzz::check(plan.names == expected, "xm holds every storable token in order");
    fuzz::check(!tokens.empty() && plan.surname == tokens.front().substr(0, 2),
                "the surname from the first token");
    const std::vector<bool> first = firstOccurrences(plan.names);
    std::set<PackedName> seen;
    for (size_t i = 0; i < plan.names.size(); ++i) {
        fuzz::check(unpackName(plan.names[i]).size() == 6, "six bytes a name");
        fuzz::check(packName(unpackName(plan.names[i])) == plan.names[i], "packing round trip");
        const bool isNew = seen.insert(plan.names[i]).second;
        fuzz::check(first[i] == isNew, "xm2: each name once, at its first appearance");
    }
    return 0;
}
