// The engine's data: building, checking and loading.
#include "naming/naming_data.h"

#include <algorithm>

#include "data/connection.h"
#include "data/database.h"
#include "naming/pinyin.h"
#include "text/gbk.h"
#include "text/utf8.h"

namespace quenvil {
namespace {

std::vector<std::string_view> splitBlanks(std::string_view s) {
    std::vector<std::string_view> out;
    size_t start = 0;
    while (start <= s.size()) {
        const size_t blank = s.find(' ', start);
        const size_t end = blank == std::string_view::npos ? s.size() : blank;
        if (end > start) out.push_back(s.substr(start, end - start));
        if (blank == std::string_view::npos) break;
        start = blank + 1;
    }
    return out;
}

// The meaning without the "【rating】" that data.Mdb puts in front of it.
std::string_view withoutRating(std::string_view meaning) {
    constexpr std::string_view kOpen = "【", kClose = "】";
    if (meaning.substr(0, kOpen.size()) == kOpen) {
        const size_t close = meaning.find(kClose);
        if (close != std::string_view::npos) return meaning.substr(close + kClose.size());
    }
    return meaning;
}

// The index of a three-talent key ("火木木"), -1 for any other text.
int threeTalentsIndexOfKey(std::string_view key) {
    for (int i = 0; i < kThreeTalentsCount; ++i) {
        if (threeTalentsKeyOfIndex(i) == key) return i;
    }
    return -1;
}

}  // namespace

void NamingData::addStrokeRow(int32_t count, std::string_view characters) {
    forEachCodePoint(characters, [&](int32_t cp, std::string_view) {
        if (cp > 0 && cp < 0x10000 && strokes_[cp] == 0) strokes_[cp] = count;
    });
}

uint16_t NamingData::internText(std::vector<std::string>& texts, std::string_view text) {
    if (text.empty()) return 0;
    const auto it = std::find(texts.begin() + 1, texts.end(), text);
    if (it != texts.end()) return static_cast<uint16_t>(it - texts.begin());
    texts.emplace_back(text);
    return static_cast<uint16_t>(texts.size() - 1);
}

uint16_t NamingData::internToneless(const std::string& t) {
    const auto [it, added] =
        tonelessIds_.emplace(t, static_cast<uint16_t>(tonelessIds_.size() + 1));
    (void)added;
    return it->second;
}

uint16_t NamingData::internSyllable(std::string_view toned) {
    const std::string key(toned);
    if (const auto it = syllableIds_.find(key); it != syllableIds_.end()) return it->second;
    if (syllables_.size() >= 0xFFFF) throw NamingDataError("too many distinct syllables");
    Syllable s;
    s.toned = key;
    s.toneless = toneless(toned);
    s.tone = toneOf(toned);
    s.tonelessId = internToneless(s.toneless);
    s.initialId = internText(initials_, initialOf(s.toneless));
    s.finalId = internText(finals_, finalOf(s.toneless));
    const auto id = static_cast<uint16_t>(syllables_.size());
    syllables_.push_back(std::move(s));
    syllableIds_.emplace(key, id);
    return id;
}

void NamingData::addReading(std::string_view character, std::string_view syllable) {
    const std::vector<char32_t> cps = utf8CodePoints(character);
    if (cps.size() != 1 || cps[0] >= 0x10000 || syllable.empty()) {
        throw NamingDataError("not one character and its reading: " + std::string(character) + " " +
                              std::string(syllable));
    }
    reading_[cps[0]] = internSyllable(syllable);
}

void NamingData::addSurnameReading(std::string_view surname, std::string_view syllables) {
    surnameReadingRows_.emplace_back(surname, syllables);
}

void NamingData::addCompoundSurname(std::string_view surname) {
    const std::vector<char32_t> cps = utf8CodePoints(surname);
    if (cps.size() != 2) {
        throw NamingDataError("a compound surname has two characters: " + std::string(surname));
    }
    if (compoundKeys_.insert(pack(cps[0], cps[1])).second) compounds_.emplace_back(surname);
    if (cps[0] < compoundFirst_.size()) compoundFirst_[cps[0]] = true;
}

void NamingData::addBadSound(std::string_view syllables, std::string_view tones,
                             std::string_view word, std::string_view category) {
    badSoundRows_.push_back(
        {std::string(syllables), std::string(tones), std::string(word), std::string(category)});
}

void NamingData::addNameChar(std::string_view character, const NameCharText& t, int rank) {
    const std::vector<char32_t> cps = utf8CodePoints(character);
    auto bad = [&](const char* what) {
        return NamingDataError("given-name character " + std::string(character) + ": " + what);
    };
    if (cps.size() != 1) throw bad("not one character");
    NameChar c;
    c.codePoint = cps[0];
    c.text = character;
    c.rank = rank;
    if (t.gender == "nm" || t.gender == "nf") {
        c.kind = 'n';
        c.lean = t.gender[1];
    } else if (t.gender == "m" || t.gender == "f" || t.gender == "n") {
        c.kind = t.gender[0];
    } else {
        throw bad("the gender is m, f, n, nm or nf");
    }
    if (t.tier.size() != 1 || t.tier[0] < '1' || t.tier[0] > '4') throw bad("the tier is 1 to 4");
    c.tier = t.tier[0] - '0';
    if (t.place == "first") {
        c.place = CharPlace::First;
    } else if (t.place == "last") {
        c.place = CharPlace::Last;
    } else if (t.place != "any") {
        throw bad("the place is any, first or last");
    }
    if (t.doubled != "y" && t.doubled != "-") throw bad("double is y or -");
    c.doubled = t.doubled == "y";
    c.meaning = t.meaning;
    nameChars_.push_back(std::move(c));
}

void NamingData::addNameReading(std::string_view character, std::string_view syllable) {
    const std::vector<char32_t> cps = utf8CodePoints(character);
    if (cps.size() != 1 || cps[0] >= 0x10000 || syllable.empty()) {
        throw NamingDataError("not one character and its name reading: " + std::string(character) +
                              " " + std::string(syllable));
    }
    nameReading_[cps[0]] = internSyllable(syllable);
}

void NamingData::setNumber(int32_t n, std::string_view rating, std::string_view meaning) {
    if (n < 1 || n > 81) return;
    LuckClass c;
    if (!parseLuckClass(rating, c)) {
        throw NamingDataError("number " + std::to_string(n) + ": unknown rating " +
                              std::string(rating));
    }
    ratings_.setNumber(n, c);
    numberRatings_[n] = rating;
    numberMeanings_[n] = withoutRating(meaning);
}

void NamingData::setSancai(std::string_view key, std::string_view rating,
                           std::string_view meaning) {
    const int index = threeTalentsIndexOfKey(key);
    SancaiLevel level;
    if (index < 0 || !parseSancaiLevel(rating, level)) {
        throw NamingDataError("three-talent configuration " + std::string(key) +
                              ": unknown key or rating " + std::string(rating));
    }
    ratings_.setSancai(index, level);
    sancaiMeanings_[index] = withoutRating(meaning);
}

void NamingData::finish() {
    if (!ratings_.complete()) {
        throw NamingDataError("the numbers 1 to 81 and the 125 configurations need every rating");
    }
    finishSurnameReadings();
    finishBadSounds();
    finishNameChars();
    // Names from the classics take two curated characters that may be recommended.
    classics_.index([this](char32_t cp) {
        const NameChar* c = nameChar(cp);
        return c && c->tier <= 3;
    });
    findRarity();
}

void NamingData::finishSurnameReadings() {
    for (const auto& [surname, reading] : surnameReadingRows_) {
        const std::vector<char32_t> cps = utf8CodePoints(surname);
        const std::vector<std::string_view> parts = splitBlanks(reading);
        if (cps.empty() || cps.size() > 2 || parts.size() != cps.size()) {
            throw NamingDataError("surname reading " + surname + " " + reading +
                                  ": one syllable per character, one or two characters");
        }
        std::vector<uint16_t> ids;
        for (std::string_view p : parts) ids.push_back(internSyllable(p));
        surnameReadings_[pack(cps[0], cps.size() == 2 ? cps[1] : 0)] = std::move(ids);
        if (cps[0] < surnameFirst_.size()) surnameFirst_[cps[0]] = true;
    }
    surnameReadingRows_.clear();
}

namespace {

// The tones of a bad-sound entry: "*" (any tone) or one item per syllable, each 1-4 or "*".
std::array<uint8_t, 4> parseTones(const std::string& syllables, const std::string& tones,
                                  size_t count) {
    std::array<uint8_t, 4> out{};
    const std::vector<std::string_view> items = splitBlanks(tones);
    if (items.size() == 1 && items[0] == "*") return out;
    if (items.size() != count || count > out.size()) {
        throw NamingDataError("bad sound " + syllables + ": tones " + tones +
                              " are * or one item per syllable");
    }
    for (size_t i = 0; i < items.size(); ++i) {
        const std::string_view t = items[i];
        if (t == "*") continue;
        if (t.size() != 1 || t[0] < '1' || t[0] > '4') {
            throw NamingDataError("bad sound " + syllables + ": a tone is 1-4 or *: " + tones);
        }
        out[i] = static_cast<uint8_t>(t[0] - '0');
    }
    return out;
}

}  // namespace

void NamingData::finishBadSounds() {
    for (auto& [syllables, tones, word, category] : badSoundRows_) {
        std::vector<uint16_t> ids;
        for (std::string_view p : splitBlanks(syllables)) {
            const auto it = tonelessIds_.find(std::string(p));
            if (it == tonelessIds_.end()) {
                throw NamingDataError("bad sound " + syllables + ": no character reads " +
                                      std::string(p));
            }
            ids.push_back(it->second);
        }
        if (!sounds_.add(ids,
                         {syllables, word, category, parseTones(syllables, tones, ids.size())})) {
            throw NamingDataError("bad sound " + syllables + " " + tones +
                                  ": listed twice or too long");
        }
    }
    badSoundRows_.clear();
}

void NamingData::finishNameChars() {
    std::stable_sort(nameChars_.begin(), nameChars_.end(),
                     [](const NameChar& a, const NameChar& b) { return a.rank < b.rank; });
    // A character listed twice keeps its first place.
    std::vector<bool> seen(0x110000, false);
    std::erase_if(nameChars_, [&](const NameChar& c) {
        if (c.codePoint >= seen.size() || seen[c.codePoint]) return true;
        seen[c.codePoint] = true;
        return false;
    });
    nameCharIndex_.assign(0x10000, -1);
    for (size_t i = 0; i < nameChars_.size(); ++i) {
        const NameChar& c = nameChars_[i];
        if (c.codePoint >= 0x10000 || strokes_[c.codePoint] == 0 || reading_[c.codePoint] == 0) {
            throw NamingDataError("given-name character " + c.text +
                                  " has no stroke count or no reading");
        }
        nameCharIndex_[c.codePoint] = static_cast<int32_t>(i);
    }
}

void NamingData::findRarity() {
    // By GB2312 level, from the GBK code of every character that has a reading or strokes.
    rarity_.assign(0x10000, 2);
    for (char32_t cp = 0x80; cp < 0x10000; ++cp) {
        if (reading_[cp] == 0 && strokes_[cp] == 0) continue;
        std::string text;
        appendUtf8(text, cp);
        const std::string gbk = utf8ToGbk(text);
        if (gbk.size() != 2) continue;
        const auto lead = static_cast<unsigned char>(gbk[0]);
        const auto trail = static_cast<unsigned char>(gbk[1]);
        if (trail < 0xA1 || trail > 0xFE) continue;
        if (lead >= 0xB0 && lead <= 0xD7) {
            rarity_[cp] = 0;
        } else if (lead >= 0xD8 && lead <= 0xF7) {
            rarity_[cp] = 1;
        }
    }
    // Characters that parents really give their children are common in names, whatever their
    // level (婷, 梓 and 璟 are in the second level or outside GB2312).
    for (const NameChar& c : nameChars_) rarity_[c.codePoint] = 0;
}

std::string_view NamingData::numberRating(int32_t n) const {
    n = reduceNumber(n);
    return n >= 1 && n <= 81 ? std::string_view(numberRatings_[n]) : std::string_view();
}

std::string_view NamingData::numberMeaning(int32_t n) const {
    n = reduceNumber(n);
    return n >= 1 && n <= 81 ? std::string_view(numberMeanings_[n]) : std::string_view();
}

std::string_view NamingData::sancaiMeaning(std::string_view key) const {
    const int index = threeTalentsIndexOfKey(key);
    return index < 0 ? std::string_view() : std::string_view(sancaiMeanings_[index]);
}

NamingData loadNamingData(Connection& connection) {
    NamingData d;
    auto each = [&](const char* sql, auto&& f) {
        Statement st(connection.handle(), sql);
        while (st.step()) f(st);
    };
    each("select bihua, hanzi from fantizi order by id", [&](const Statement& s) {
        d.addStrokeRow(static_cast<int32_t>(s.integer(0)), s.text(1));
    });
    each("select hanzi, pinyin from pinyin",
         [&](const Statement& s) { d.addReading(s.text(0), s.text(1)); });
    each("select surname, pinyin from surname_reading",
         [&](const Statement& s) { d.addSurnameReading(s.text(0), s.text(1)); });
    each("select surname from compound_surname order by rowid",
         [&](const Statement& s) { d.addCompoundSurname(s.text(0)); });
    each("select syllables, tones, word, category from bad_sound order by rowid",
         [&](const Statement& s) { d.addBadSound(s.text(0), s.text(1), s.text(2), s.text(3)); });
    each("select hanzi, kind, tier, place, doubled, meaning, rank from name_char order by rank",
         [&](const Statement& s) {
             d.addNameChar(s.text(0), {s.text(1), s.text(2), s.text(3), s.text(4), s.text(5)},
                           static_cast<int>(s.integer(6)));
         });
    each("select hanzi, pinyin from name_reading",
         [&](const Statement& s) { d.addNameReading(s.text(0), s.text(1)); });
    each("select pattern, applies, gender, action, reason from name_word order by rowid",
         [&](const Statement& s) {
             d.wordRules().add(s.text(0), s.text(1), s.text(2), s.text(3), s.text(4));
         });
    each("select name, who from famous_person order by rowid",
         [&](const Statement& s) { d.famous().add(s.text(0), s.text(1)); });
    each("select name, sex, usage from given_name order by rowid",
         [&](const Statement& s) { d.attested().add(s.text(0), s.text(1), s.text(2)); });
    each("select count(*), sum(length(cast(line as blob))) from classic_line",
         [&](const Statement& s) {
             d.classics().reserve(static_cast<size_t>(s.integer(0)),
                                  static_cast<size_t>(s.integer(1)));
         });
    each(
        "select p.book, p.title, p.author, l.line from classic_line l "
        "join classic_piece p on p.id = l.piece order by l.id",
        [&](const Statement& s) { d.classics().add(s.text(0), s.text(1), s.text(2), s.text(3)); });
    each("select shuzi, jixiong, hanyi from wuge", [&](const Statement& s) {
        const std::string_view n = s.text(0);
        int32_t value = 0;
        for (char ch : n) {
            if (ch < '0' || ch > '9' || value > 1000) return;
            value = value * 10 + (ch - '0');
        }
        d.setNumber(value, s.text(1), s.text(2));
    });
    each("select sancai, jixiong, hanyi from sancai",
         [&](const Statement& s) { d.setSancai(s.text(0), s.text(1), s.text(2)); });
    d.finish();
    return d;
}

NamingData loadNamingData(Database& database) { return loadNamingData(database.connection); }

}  // namespace quenvil
