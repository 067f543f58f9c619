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

}  // namespace

void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out) {
    const auto fantiziFile = sourcesDir / "fantizi.tsv";
    const auto wugeFile = sourcesDir / "wuge.tsv";
    const auto sancaiFile = sourcesDir / "sancai.tsv";
    const auto fantizi = readSource(fantiziFile, 2);
    const auto wuge = readSource(wugeFile, 3);
    const auto sancai = readSource(sancaiFile, 3);
    const auto pinyin = readSource(sourcesDir / "pinyin.tsv", 2);
    const auto surnameReadings = readSource(sourcesDir / "surname_readings.tsv", 2);
    const auto compounds = readSource(sourcesDir / "compound_surnames.txt", 1);
    const auto badSounds = readSource(sourcesDir / "bad_sounds.tsv", 3);
    const auto nameChars = readCuratedNameChars(sourcesDir);

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

    for (const auto& row : fantizi) {
        cn.execute("insert into fantizi(bihua, hanzi) values(?, ?)",
                   {Param::of(integerField(fantiziFile, row, 0)), Param::utf8(row.fields[1])});
    }
    std::vector<std::pair<std::string, std::string>> byNumber(81);  // rating, text of 1..81
    for (const auto& row : wuge) {
        const int32_t n = integerField(wugeFile, row, 0);
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
    for (const auto& row : sancai) {
        cn.execute("insert into sancai(sancai, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]),
                    Param::utf8(rated(row.fields[1], row.fields[2]))});
    }
    // The version that tells a per-user copy of an older data.Mdb to take these tables.
    cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion));
    for (const auto& row : pinyin) {
        cn.execute("insert into pinyin(hanzi, pinyin) values(?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1])});
    }
    for (const auto& row : surnameReadings) {
        cn.execute("insert into surname_reading(surname, pinyin) values(?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1])});
    }
    for (const auto& row : compounds) {
        cn.execute("insert into compound_surname(surname) values(?)", {Param::utf8(row.fields[0])});
    }
    for (const auto& row : badSounds) {
        cn.execute(
            "insert into bad_sound(syllables, word, category) values(?, ?, ?)",
            {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]), Param::utf8(row.fields[2])});
    }
    int rank = 0;
    for (const GivenNameChar& g : nameChars) {
        cn.execute(
            "insert into name_char(hanzi, kind, rank) values(?, ?, ?)",
            {Param::utf8(g.character), Param::utf8(std::string(1, g.kind)), Param::of(rank++)});
    }
    cn.commit();
    cn.close();
}

}  // namespace quenvil
