// The reference data of the recommendation engine, in memory: stroke counts, readings, surname
// readings, compound surnames, bad sounds, the curated given-name characters, and the ratings and
// meanings of the grid numbers and three-talent configurations. Loaded once (from data.Mdb by
// loadNamingData, or from resources/ by tools/naming_sources.h), then read by any number of
// threads without locking. All text is UTF-8.
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "naming/classics.h"
#include "naming/favourable.h"
#include "naming/name_rules.h"
#include "naming/sound_check.h"

namespace quenvil {

class Connection;
struct Database;

// Thrown for data that does not fit together (a bad-sound syllable no character reads, a
// number without a rating ...), and by loadNamingData when a table is missing.
class NamingDataError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// Where a given-name character sits well in a given name of two characters.
enum class CharPlace : uint8_t { Any, First, Last };

// A curated given-name character and what resources/given_name_chars.txt says of it.
struct NameChar {
    char32_t codePoint = 0;
    std::string text;  // the character, UTF-8
    char kind = 'n';   // 'm' mostly boys, 'f' mostly girls, 'n' both
    char lean = 0;     // of an 'n' character: 'm' or 'f' when it clearly leans to one sex
    int tier = 3;      // 1 首选, 2 雅, 3 平, 4 避 (never recommended)
    CharPlace place = CharPlace::Any;
    bool doubled = false;  // the doubled form (婷婷) is a natural name
    std::string meaning;   // a short meaning, UTF-8 ("思考，情思深远")
    int rank = 0;          // position in given_name_chars.txt (0 first)
};

// The columns of a line of given_name_chars.txt after the character, as text: gender (m f n
// nm nf), tier (1-4), place (any first last), double (y -), meaning. Missing columns take the
// defaults of NameChar.
struct NameCharText {
    std::string_view gender = "n", tier = "3", place = "any", doubled = "-", meaning;
};

class NamingData {
  public:
    // ---- Building: the loaders call these with the rows of the tables, then finish(). ----

    // A row of fantizi: every character of the row gets the count unless an earlier row gave it
    // one (the first row that holds a character decides, as everywhere in the program).
    void addStrokeRow(int32_t count, std::string_view characters);
    // The reading of a character (one tone-marked syllable).
    void addReading(std::string_view character, std::string_view syllable);
    // A surname's reading: one tone-marked syllable per character, separated by blanks.
    void addSurnameReading(std::string_view surname, std::string_view syllables);
    void addCompoundSurname(std::string_view surname);
    // A bad-sound entry: toneless syllables separated by blanks, their tones ("*", or one tone
    // 1-4 or "*" per syllable, separated by blanks), the word, the category.
    void addBadSound(std::string_view syllables, std::string_view tones, std::string_view word,
                     std::string_view category);
    // A curated given-name character, excluded characters already left out; rank orders them.
    // Throws NamingDataError for a value out of range.
    void addNameChar(std::string_view character, const NameCharText& columns, int rank);
    // The reading a character takes in a given name, where it differs from its reading.
    void addNameReading(std::string_view character, std::string_view syllable);
    WordRules& wordRules() { return wordRules_; }
    FamousNames& famous() { return famous_; }
    AttestedNames& attested() { return attested_; }
    ClassicLines& classics() { return classics_; }
    // The rating (大吉/吉/半吉/凶) and meaning of a number 1..81; other numbers are ignored.
    void setNumber(int32_t n, std::string_view rating, std::string_view meaning);
    // The rating (one of the seven levels) and meaning of a configuration ("火木木").
    void setSancai(std::string_view key, std::string_view rating, std::string_view meaning);
    // Checks that the data is complete and consistent (every number and configuration rated,
    // every bad-sound syllable read by some character, every surname reading of the right
    // length) and builds the indexes. Throws NamingDataError.
    void finish();

    // ---- Reading. ----

    // Stroke count of a character (0 when no fantizi row holds it).
    int32_t strokes(char32_t cp) const { return cp < strokes_.size() ? strokes_[cp] : 0; }
    // The syllable id of a character's reading (0 when it has none); see syllable().
    uint16_t readingId(char32_t cp) const { return cp < reading_.size() ? reading_[cp] : 0; }
    const Syllable& syllable(uint16_t id) const { return syllables_[id]; }
    // Tone-marked reading of a character; empty when it has none.
    std::string_view reading(char32_t cp) const { return syllables_[readingId(cp)].toned; }
    // The syllable id of a character's reading in a given name: its reviewed name reading
    // (兴 xīng, 长 cháng) where it has one, else its reading.
    uint16_t givenReadingId(char32_t cp) const {
        const uint16_t id = cp < nameReading_.size() ? nameReading_[cp] : 0;
        return id != 0 ? id : readingId(cp);
    }
    // The reviewed reading of a surname (syllable ids) by its code points (second = 0 for a
    // single surname), or nullptr when the surname has none and reads as its characters do.
    const std::vector<uint16_t>* surnameReading(char32_t first, char32_t second) const {
        // Most names' first character begins no surname with a reading of its own.
        if (first >= surnameFirst_.size() || !surnameFirst_[first]) return nullptr;
        const auto it = surnameReadings_.find(pack(first, second));
        return it == surnameReadings_.end() ? nullptr : &it->second;
    }
    // Whether two characters form a compound surname of the list.
    bool isCompoundSurname(char32_t first, char32_t second) const {
        if (first >= compoundFirst_.size() || !compoundFirst_[first]) return false;
        return compoundKeys_.count(pack(first, second)) != 0;
    }
    const std::vector<std::string>& compoundSurnames() const { return compounds_; }
    const SoundChecker& sounds() const { return sounds_; }
    // Initial and final texts by the ids of Syllable.
    const std::vector<std::string>& initials() const { return initials_; }
    const std::vector<std::string>& finals() const { return finals_; }
    // The curated given-name characters in rank order.
    const std::vector<NameChar>& nameChars() const { return nameChars_; }
    // The curated character of a code point; nullptr when it is not curated.
    const NameChar* nameChar(char32_t cp) const {
        if (cp >= nameCharIndex_.size() || nameCharIndex_[cp] < 0) return nullptr;
        return &nameChars_[static_cast<size_t>(nameCharIndex_[cp])];
    }
    const WordRules& wordRules() const { return wordRules_; }
    const FamousNames& famous() const { return famous_; }
    const AttestedNames& attested() const { return attested_; }
    // The lines of the classics, indexed by the pairs of curated characters of tier 1 to 3.
    const ClassicLines& classics() const { return classics_; }
    // How common a character is: 0 for a curated given-name character or a character of
    // GB2312's first level (the 3,755 common characters), 1 in its second level, 2 otherwise.
    int rarity(char32_t cp) const { return cp < rarity_.size() ? rarity_[cp] : 2; }

    const Ratings& ratings() const { return ratings_; }
    // The rating text and meaning of a grid number (numbers past 81 as n - 80); empty for
    // numbers below 1.
    std::string_view numberRating(int32_t n) const;
    std::string_view numberMeaning(int32_t n) const;
    // The meaning of a configuration by its key ("火木木"); empty when unknown.
    std::string_view sancaiMeaning(std::string_view key) const;

  private:
    static uint64_t pack(char32_t first, char32_t second) {
        return (static_cast<uint64_t>(first) << 21) | second;
    }
    // The parts of finish().
    void finishSurnameReadings();
    void finishBadSounds();
    void finishNameChars();
    void findRarity();
    uint16_t internSyllable(std::string_view toned);
    uint16_t internToneless(const std::string& toneless);
    static uint16_t internText(std::vector<std::string>& texts, std::string_view text);

    std::vector<int32_t> strokes_ = std::vector<int32_t>(0x10000, 0);
    std::vector<uint16_t> reading_ = std::vector<uint16_t>(0x10000, 0);
    std::vector<uint8_t> rarity_;
    std::vector<Syllable> syllables_ = std::vector<Syllable>(1);  // 0: none
    std::unordered_map<std::string, uint16_t> syllableIds_;       // toned -> id
    std::unordered_map<std::string, uint16_t> tonelessIds_;       // toneless -> id (from 1)
    std::vector<std::string> initials_ = {""};
    std::vector<std::string> finals_ = {""};
    std::unordered_map<uint64_t, std::vector<uint16_t>> surnameReadings_;  // by pack()
    std::vector<std::pair<std::string, std::string>> surnameReadingRows_;
    std::vector<std::string> compounds_;
    std::unordered_set<uint64_t> compoundKeys_;
    std::vector<bool> surnameFirst_ = std::vector<bool>(0x10000, false);   // by first character
    std::vector<bool> compoundFirst_ = std::vector<bool>(0x10000, false);  // by first character
    std::vector<std::array<std::string, 4>> badSoundRows_;  // syllables, tones, word, category
    SoundChecker sounds_;
    std::vector<NameChar> nameChars_;
    std::vector<int32_t> nameCharIndex_;
    std::vector<uint16_t> nameReading_ = std::vector<uint16_t>(0x10000, 0);
    WordRules wordRules_;
    FamousNames famous_;
    AttestedNames attested_;
    ClassicLines classics_;
    Ratings ratings_;
    std::array<std::string, 82> numberRatings_, numberMeanings_;
    std::array<std::string, kThreeTalentsCount> sancaiMeanings_;
};

// Reads the engine's tables (fantizi, pinyin, surname_reading, compound_surname, bad_sound,
// name_char, wuge, sancai) over an open connection to data.Mdb. Throws DatabaseError for a
// missing table and NamingDataError for inconsistent data.
NamingData loadNamingData(Connection& connection);
// The same over the connection of the database the main window lends its windows.
NamingData loadNamingData(Database& database);

}  // namespace quenvil
