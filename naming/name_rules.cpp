// Word rules, famous names and attested given names.
#include "naming/name_rules.h"

#include <algorithm>

#include "naming/naming_data.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

// The code points of a pattern, '*' read as 0; empty when the text is not two characters.
std::vector<char32_t> patternPoints(std::string_view pattern) {
    std::vector<char32_t> cps = utf8CodePoints(pattern);
    for (char32_t& c : cps) {
        if (c == U'*') c = 0;
    }
    return cps;
}

}  // namespace

void WordRules::add(std::string_view pattern, std::string_view applies, std::string_view gender,
                    std::string_view action, std::string_view reason) {
    const std::vector<char32_t> cps = patternPoints(pattern);
    WordRule r;
    r.pattern = pattern;
    r.reason = reason;
    const bool shapeOk = cps.size() == 2 && (cps[0] != 0 || cps[1] != 0);
    const bool appliesOk = applies == "given" || applies == "surname";
    const bool genderOk = gender == "any" || gender == "m" || gender == "f";
    const bool actionOk = action == "refuse" || action == "mark";
    if (!shapeOk || !appliesOk || !genderOk || !actionOk || reason.empty()) {
        throw NamingDataError("name word rule " + std::string(pattern) +
                              ": expected two characters (or one and *), given|surname, "
                              "any|m|f, refuse|mark and a reason");
    }
    r.first = cps[0];
    r.second = cps[1];
    r.surnameScope = applies == "surname";
    r.sex = gender == "any" ? 'n' : gender[0];
    r.action = action == "refuse" ? RuleAction::Refuse : RuleAction::Mark;
    const auto index = static_cast<uint32_t>(rules_.size());
    rules_.push_back(std::move(r));
    (rules_.back().surnameScope ? surname_ : given_).emplace(key(cps[0], cps[1]), index);
}

void WordRules::hits(char32_t surnameLast, std::span<const char32_t> given, char sex,
                     std::vector<const WordRule*>& out) const {
    out.clear();
    if (given.empty()) return;
    std::vector<uint32_t> found;
    auto collect = [&](const std::unordered_multimap<uint64_t, uint32_t>& index, char32_t a,
                       char32_t b) {
        // The exact pair, then either side as the wildcard.
        const uint64_t keys[3] = {key(a, b), key(a, 0), key(0, b)};
        for (uint64_t k : keys) {
            const auto [from, to] = index.equal_range(k);
            for (auto it = from; it != to; ++it) {
                const WordRule& r = rules_[it->second];
                if (r.sex == 'n' || sex == 'n' || r.sex == sex) found.push_back(it->second);
            }
        }
    };
    collect(surname_, surnameLast, given[0]);
    if (given.size() == 2) collect(given_, given[0], given[1]);
    std::sort(found.begin(), found.end());
    found.erase(std::unique(found.begin(), found.end()), found.end());
    for (uint32_t i : found) out.push_back(&rules_[i]);
}

void FamousNames::add(std::string_view name, std::string_view who) {
    const std::vector<char32_t> cps = utf8CodePoints(name);
    if (cps.size() < 2 || cps.size() > 4) {
        throw NamingDataError("famous name " + std::string(name) + ": two to four characters");
    }
    const std::u32string key(cps.begin(), cps.end());
    if (index_.emplace(key, static_cast<uint32_t>(names_.size())).second) {
        names_.emplace_back(name);
        who_.emplace_back(who);
    }
}

const std::string* FamousNames::find(std::span<const char32_t> fullName,
                                     size_t surnameLength) const {
    if (index_.empty()) return nullptr;
    std::u32string key;
    // The longest famous prefix that takes in at least one given-name character.
    const std::string* found = nullptr;
    for (size_t n = 0; n < fullName.size(); ++n) {
        key.push_back(fullName[n]);
        if (n + 1 <= surnameLength) continue;
        if (const auto it = index_.find(key); it != index_.end()) found = &names_[it->second];
    }
    return found;
}

std::string_view FamousNames::who(const std::string& name) const {
    const std::vector<char32_t> cps = utf8CodePoints(name);
    const auto it = index_.find(std::u32string(cps.begin(), cps.end()));
    return it == index_.end() ? std::string_view() : std::string_view(who_[it->second]);
}

void AttestedNames::add(std::string_view givenName, std::string_view sex, std::string_view usage) {
    const std::vector<char32_t> cps = utf8CodePoints(givenName);
    if (cps.size() != 2 || (sex != "m" && sex != "f" && sex != "n") ||
        (usage != "-" && usage != "overused" && !usage.empty())) {
        throw NamingDataError("attested given name " + std::string(givenName) + " " +
                              std::string(sex) + " " + std::string(usage) +
                              ": two characters, m, f or n, and - or overused");
    }
    if (index_.emplace(key(cps[0], cps[1]), static_cast<uint32_t>(names_.size())).second) {
        names_.push_back({cps[0], cps[1], sex[0], usage == "overused"});
    }
}

}  // namespace quenvil
