// Database builder: schema and rows of fantizi, wuge, sancai, xm and xm2.
#include "tools/database_builder.h"

#include <fstream>
#include <vector>

#include "data/connection.h"
#include "data/database.h"
#include "data/reference_data.h"
#include "tools/naming_sources.h"
#include "tools/source_file.h"

namespace quenvil {
namespace {

std::string rated(const std::string& rating, const std::string& text) {
    return "【" + rating + "】" + text;
}

// Every source, read before the database is touched: a missing or malformed one writes nothing.
struct Sources {
    std::filesystem::path fantiziFile, wugeFile;
    std::vector<SourceLine> fantizi, wuge, sancai, pinyin, surnameReadings, compounds, badSounds;
    std::vector<GivenNameChar> nameChars;
};

Sources readSources(const std::filesystem::path& dir) {
    Sources s;
    s.fantiziFile = dir / "fantizi.tsv";
    s.wugeFile = dir / "wuge.tsv";
    s.fantizi = readSource(s.fantiziFile, 2);
    s.wuge = readSource(s.wugeFile, 3);
    s.sancai = readSource(dir / "sancai.tsv", 3);
    s.pinyin = readSource(dir / "pinyin.tsv", 2);
    s.surnameReadings = readSource(dir / "surname_readings.tsv", 2);
    s.compounds = readSource(dir / "compound_surnames.txt", 1);
    s.badSounds = readSource(dir / "bad_sounds.tsv", 3);
    s.nameChars = readCuratedNameChars(dir);
    return s;
}

void createTables(Connection& cn) {
    cn.execute("create table fantizi(id integer primary key, hanzi text, bihua integer)");
    cn.execute("create table wuge(shuzi text, hanyi text, jixiong text)");
    cn.execute("create index wuge_shuzi on wuge(shuzi)");
    cn.execute("create table sancai(sancai text, hanyi text, jixiong text)");
    cn.execute("create index sancai_key on sancai(sancai)");
    cn.execute("create table xm(xingming text)");
    cn.execute("create table xm2(xingming text)");
    // The recommendation engine's tables (naming/naming_data.h reads them).
    cn.execute("create table pinyin(hanzi text primary key, pinyin text)");
    cn.execute("create table surname_reading(surname text primary key, pinyin text)");
    cn.execute("create table compound_surname(surname text primary key)");
    cn.execute("create table bad_sound(syllables text primary key, word text, category text)");
    cn.execute("create table name_char(hanzi text primary key, kind text, rank integer)");
}

// The tables of the four windows: stroke counts, and the meanings of the numbers and of the
// three-talent configurations, each meaning led by its rating.
void writeStrokesAndMeanings(Connection& cn, const Sources& s) {
    for (const auto& row : s.fantizi) {
        cn.execute("insert into fantizi(bihua, hanzi) values(?, ?)",
                   {Param::of(integerField(s.fantiziFile, row, 0)), Param::utf8(row.fields[1])});
    }
    std::vector<std::pair<std::string, std::string>> byNumber(81);  // rating, text of 1..81
    for (const auto& row : s.wuge) {
        const int32_t n = integerField(s.wugeFile, row, 0);
        cn.execute("insert into wuge(shuzi, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(std::to_string(n)), Param::utf8(row.fields[1]),
                    Param::utf8(rated(row.fields[1], row.fields[2]))});
        if (n >= 1 && n <= 81) byNumber[n - 1] = {row.fields[1], row.fields[2]};
    }
    // Numbers past 81 start the cycle again: n reads as n - 80.
    for (int n = 82; n <= 160; ++n) {
        const auto& [rating, text] = byNumber[n - 80 - 1];
        if (text.empty()) continue;
        const std::string note =
            "（" + std::to_string(n) + "数逾八十一，循环按" + std::to_string(n - 80) + "数论）";
        cn.execute("insert into wuge(shuzi, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(std::to_string(n)), Param::utf8(rating),
                    Param::utf8(rated(rating, note + text))});
    }
    for (const auto& row : s.sancai) {
        cn.execute("insert into sancai(sancai, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]),
                    Param::utf8(rated(row.fields[1], row.fields[2]))});
    }
}

// The recommendation engine's tables.
void writeNamingTables(Connection& cn, const Sources& s) {
    for (const auto& row : s.pinyin) {
        cn.execute("insert into pinyin(hanzi, pinyin) values(?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1])});
    }
    for (const auto& row : s.surnameReadings) {
        cn.execute("insert into surname_reading(surname, pinyin) values(?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1])});
    }
    for (const auto& row : s.compounds) {
        cn.execute("insert into compound_surname(surname) values(?)", {Param::utf8(row.fields[0])});
    }
    for (const auto& row : s.badSounds) {
        cn.execute(
            "insert into bad_sound(syllables, word, category) values(?, ?, ?)",
            {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]), Param::utf8(row.fields[2])});
    }
    int rank = 0;
    for (const GivenNameChar& g : s.nameChars) {
        cn.execute(
            "insert into name_char(hanzi, kind, rank) values(?, ?, ?)",
            {Param::utf8(g.character), Param::utf8(std::string(1, g.kind)), Param::of(rank++)});
    }
}

}  // namespace

void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out) {
    const Sources sources = readSources(sourcesDir);
    std::error_code ec;
    std::filesystem::remove(out, ec);
    {
        // Create the empty file; the connection opens existing files only.
        std::ofstream create(out, std::ios::binary);
        if (!create) throw SourceError("cannot create " + out.string());
    }
    Connection cn;
    cn.open(out, kDatabasePassword);
    cn.beginTransaction();
    createTables(cn);
    writeStrokesAndMeanings(cn, sources);
    // The version that tells a per-user copy of an older data.Mdb to take these tables.
    cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion));
    writeNamingTables(cn, sources);
    cn.commit();
    cn.close();
}

}  // namespace quenvil
