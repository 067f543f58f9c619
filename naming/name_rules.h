// Rules on a whole name beyond its sound: words a given name must not read as
// (resources/name_words.tsv), famous names it must not repeat (resources/famous_people.tsv), and
// the given names that parents really choose (resources/given_names.tsv).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace quenvil {

// What a rule does to a name that hits it.
enum class RuleAction : uint8_t {
    Refuse,  // never recommended; a scored name is marked unusable
    Mark,    // recommended far down, with the reason as a note
};

// A rule of name_words.tsv. A pattern is two characters, either of which may be '*' (any one
// character); it is matched against the given name (two characters) or, for the surname scope,
// against the surname's last character followed by the given name's first.
struct WordRule {
    char32_t first = 0;   // 0: any character
    char32_t second = 0;  // 0: any character
    bool surnameScope = false;
    char sex = 'n';  // 'm' a boys' name only, 'f' a girls' name only, 'n' any name
    RuleAction action = RuleAction::Refuse;
    std::string pattern;  // as written: "小*"
    std::string reason;   // "昵称"
};

class WordRules {
  public:
    // A line of name_words.tsv: pattern, applies (given | surname), gender (any | m | f), action
    // (refuse | mark), reason. Throws NamingDataError for a malformed rule.
    void add(std::string_view pattern, std::string_view applies, std::string_view gender,
             std::string_view action, std::string_view reason);
    size_t size() const { return rules_.size(); }

    // The rules a name hits, in file order. sex is the list's: 'm', 'f', or 'n' when it is not
    // known (then the rules of either sex apply: the name may be given to a boy or a girl).
    // A single given name is matched by the surname rules only.
    void hits(char32_t surnameLast, std::span<const char32_t> given, char sex,
              std::vector<const WordRule*>& out) const;
    // Whether the name hits any rule, and with refuse set whether it hits one that refuses; no
    // allocation (for ranking many names).
    bool any(char32_t surnameLast, std::span<const char32_t> given, char sex,
             bool* refuse = nullptr) const;

  private:
    static uint64_t key(char32_t a, char32_t b) { return (uint64_t{a} << 21) | b; }
    // Calls f(index) for every rule the name hits (a rule may come more than once).
    template <typename F>
    void forEachHit(char32_t surnameLast, std::span<const char32_t> given, char sex, F&& f) const {
        if (given.empty()) return;
        auto collect = [&](const std::unordered_multimap<uint64_t, uint32_t>& index, char32_t a,
                           char32_t b) {
            // The exact pair, then either side as the wildcard.
            for (const uint64_t k : {key(a, b), key(a, 0), key(0, b)}) {
                const auto [from, to] = index.equal_range(k);
                for (auto it = from; it != to; ++it) {
                    const char ruleSex = rules_[it->second].sex;
                    if (ruleSex == 'n' || sex == 'n' || ruleSex == sex) f(it->second);
                }
            }
        };
        collect(surname_, surnameLast, given[0]);
        if (given.size() == 2) collect(given_, given[0], given[1]);
    }
    std::vector<WordRule> rules_;
    // Rule indexes by the pair they match; a wildcard is key 0 on its side.
    std::unordered_multimap<uint64_t, uint32_t> given_, surname_;
};

// Famous people's names (two to four characters) and who they are.
class FamousNames {
  public:
    void add(std::string_view name, std::string_view who);
    size_t size() const { return names_.size(); }
    // The famous name that a full name is, or begins with as its surname and some of its given
    // name (诸葛亮廷 begins with 诸葛亮); nullptr when none. surnameLength is in characters.
    const std::string* find(std::span<const char32_t> fullName, size_t surnameLength) const;
    // Who the person of a famous name is (empty when unknown).
    std::string_view who(const std::string& name) const;

  private:
    // Up to four characters of the basic plane, 16 bits each: no two lengths share a key.
    static uint64_t key(std::span<const char32_t> cps);
    std::unordered_map<uint64_t, uint32_t> index_;
    std::vector<std::string> names_, who_;
};

// Given names that parents really choose, with the sex they are given to ('m', 'f', 'n'), and
// whether they are worn out by over-use (子涵, 宇轩).
class AttestedNames {
  public:
    struct Name {
        char32_t first, second;
        char sex;
        bool overused;
    };
    // A line of given_names.tsv (usage "-" or "overused"; empty is "-"); a name listed twice
    // keeps its first line. Throws NamingDataError for a name that is not two characters, a sex
    // that is not m, f or n, or another usage.
    void add(std::string_view givenName, std::string_view sex, std::string_view usage = "-");
    size_t size() const { return names_.size(); }
    // The attested given name of two characters; nullptr when it is not attested.
    const Name* find(char32_t first, char32_t second) const {
        const auto it = index_.find(key(first, second));
        return it == index_.end() ? nullptr : &names_[it->second];
    }
    // The sex of an attested given name of two characters, 0 when it is not attested.
    char sex(char32_t first, char32_t second) const {
        const Name* n = find(first, second);
        return n ? n->sex : 0;
    }
    // Every attested name, in file order.
    const std::vector<Name>& names() const { return names_; }

  private:
    static uint64_t key(char32_t a, char32_t b) { return (uint64_t{a} << 21) | b; }
    std::vector<Name> names_;
    std::unordered_map<uint64_t, uint32_t> index_;
};

}  // namespace quenvil
