// Word rules, famous names and attested given names.
#include "naming/name_rules.h"

#include <algorithm>
#include <span>

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
    forEachHit(surnameLast, given, sex, [&](uint32_t i) { out.push_back(&rules_[i]); });
    std::sort(out.begin(), out.end());  // file order: rules_ is in file order
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

bool WordRules::any(char32_t surnameLast, std::span<const char32_t> given, char sex,
                    bool* refuse) const {
    bool hit = false;
    if (refuse) *refuse = false;
    forEachHit(surnameLast, given, sex, [&](uint32_t i) {
        hit = true;
        if (refuse && rules_[i].action == RuleAction::Refuse) *refuse = true;
    });
    return hit;
}

uint64_t FamousNames::key(std::span<const char32_t> cps) {
    uint64_t k = 0;
    for (char32_t c : cps) k = (k << 16) | (c & 0xFFFF);
    return k;
}

void FamousNames::add(std::string_view name, std::string_view who) {
    const std::vector<char32_t> cps = utf8CodePoints(name);
    const bool basic = std::all_of(cps.begin(), cps.end(), [](char32_t c) { return c < 0x10000; });
    if (cps.size() < 2 || cps.size() > 4 || !basic) {
        throw NamingDataError("famous name " + std::string(name) +
                              ": two to four characters of the basic plane");
    }
    if (index_.emplace(key(cps), static_cast<uint32_t>(names_.size())).second) {
        names_.emplace_back(name);
        who_.emplace_back(who);
    }
}

const std::string* FamousNames::find(std::span<const char32_t> fullName,
                                     size_t surnameLength) const {
    if (index_.empty() || fullName.size() > 4) return nullptr;
    // The longest famous prefix that takes in at least one given-name character.
    for (size_t n = fullName.size(); n > surnameLength; --n) {
        const std::span<const char32_t> prefix = fullName.first(n);
        if (std::any_of(prefix.begin(), prefix.end(), [](char32_t c) { return c >= 0x10000; })) {
            continue;
        }
        if (const auto it = index_.find(key(prefix)); it != index_.end()) {
            return &names_[it->second];
        }
    }
    return nullptr;
}

std::string_view FamousNames::who(const std::string& name) const {
    const std::vector<char32_t> cps = utf8CodePoints(name);
    if (cps.size() < 2 || cps.size() > 4) return {};
    const auto it = index_.find(key(cps));
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
