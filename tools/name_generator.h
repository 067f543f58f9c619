// Generates the surname name-list files (xm/<surname>.txt) from the curated given-name characters.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace quenvil {

class NamingData;

// A line of given_name_chars.txt.
struct GivenNameChar {
    std::string character;             // UTF-8, one character
    char kind = 'n';                   // 'm' male, 'f' female, 'n' either (also for nm, nf)
    std::vector<std::string> columns;  // gender, tier, place, double, meaning (as written)
};

struct NameSources {
    std::vector<std::string> surnames;       // UTF-8
    std::vector<GivenNameChar> givenChars;   // exclusions already removed
    std::map<std::string, int32_t> strokes;  // character -> count of the first row that holds it
    // The recommendation engine's data, for its sound check; without it no name is dropped.
    std::shared_ptr<const NamingData> naming;
};

// Reads surnames.txt, given_name_chars.txt, given_name_exclusions.txt and fantizi.tsv, and the
// engine's data (tools/naming_sources.h).
NameSources readNameSources(const std::filesystem::path& resources);

// The names of one surname (UTF-8 full names of three characters), deterministic. Every
// favourable name that the given-name characters allow is included (up to half the target),
// the rest is a random choice of the other combinations of two characters of the same kind.
// A name that sounds like a bad word (the engine's sound check, naming/sound_check.h) is never
// included; two characters of one given name are never one boys' and one girls' character.
std::vector<std::string> generateNames(const NameSources& sources, const std::string& surname,
                                       size_t target);

// Writes every surname's file into folder, in GBK with CR LF line breaks.
void writeNameLists(const NameSources& sources, const std::filesystem::path& folder, size_t target);

}  // namespace quenvil
