// Database builder: schema and rows of fantizi, wuge, sancai, xm and xm2.
#include "tools/database_builder.h"

#include <algorithm>
#include <cstring>
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

// The recommendation engine's tables (naming/naming_data.h reads them): each source's rows, its
// fields in order, as UTF-8 text.
void writeEngineTables(Connection& cn, const NamingSources& src) {
    const struct {
        const char* table;
        const char* columns;  // the first is the row's key where it has one
        const std::vector<SourceLine>* rows;
    } tables[] = {
        {"pinyin", "hanzi text primary key, pinyin text", &src.pinyin},
        {"name_reading", "hanzi text primary key, pinyin text", &src.nameReadings},
        {"surname_reading", "surname text primary key, pinyin text", &src.surnameReadings},
        {"compound_surname", "surname text primary key", &src.compounds},
        {"bad_sound", "syllables text, tones text, word text, category text", &src.badSounds},
        {"name_word", "pattern text, applies text, gender text, action text, reason text",
         &src.nameWords},
        {"famous_person", "name text, who text", &src.famous},
        {"given_name", "name text, sex text, usage text", &src.givenNames},
        {"classic_line", "book text, title text, author text, line text", &src.classics},
    };
    for (const auto& t : tables) {
        cn.execute(std::string("create table ") + t.table + "(" + t.columns + ")");
        const size_t n = static_cast<size_t>(std::count(t.columns, t.columns + std::strlen(t.columns), ',')) + 1;
        std::string insert = std::string("insert into ") + t.table + " values(?";
        for (size_t i = 1; i < n; ++i) insert += ", ?";
        insert += ")";
        for (const SourceLine& row : *t.rows) {
            std::vector<Param> params;
            for (size_t i = 0; i < n; ++i) {
                params.push_back(Param::utf8(i < row.fields.size() ? row.fields[i] : ""));
            }
            cn.execute(insert, params);
        }
    }
    cn.execute(
        "create table name_char(hanzi text primary key, kind text, tier text, place text, "
        "doubled text, meaning text, rank integer)");
    int rank = 0;
    for (const GivenNameChar& g : src.nameChars) {
        std::vector<Param> params{Param::utf8(g.character)};
        const char* defaults[] = {"n", "3", "any", "-", ""};
        for (size_t i = 0; i < 5; ++i) {
            params.push_back(Param::utf8(i < g.columns.size() ? g.columns[i] : defaults[i]));
        }
        params.push_back(Param::of(rank++));
        cn.execute("insert into name_char values(?, ?, ?, ?, ?, ?, ?)", params);
    }
}

}  // namespace

void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out) {
    // The name-list generator loads the same sources as the engine does, so a source that does
    // not fit the others stops the build there.
    const NamingSources src = readNamingSources(sourcesDir);

    std::error_code ec;
    std::filesystem::remove(out, ec);
    {
        // Create the empty file; the connection opens existing files only.
        std::ofstream create(out, std::ios::binary);
        if (!create) throw SourceError("cannot create " + out.string());
    }
    Connection cn;
    cn.setConnectionString(connectionStringFor(out));
    cn.open();
    cn.beginTransaction();
    cn.execute("create table fantizi(id integer primary key, hanzi text, bihua integer)");
    cn.execute("create table wuge(shuzi text, hanyi text, jixiong text)");
    cn.execute("create index wuge_shuzi on wuge(shuzi)");
    cn.execute("create table sancai(sancai text, hanyi text, jixiong text)");
    cn.execute("create index sancai_key on sancai(sancai)");
    cn.execute("create table xm(xingming text)");
    cn.execute("create table xm2(xingming text)");
    writeEngineTables(cn, src);

    for (const auto& row : src.fantizi) {
        cn.execute("insert into fantizi(bihua, hanzi) values(?, ?)",
                   {Param::of(integerField("fantizi.tsv", row, 0)), Param::utf8(row.fields[1])});
    }
    std::vector<std::pair<std::string, std::string>> byNumber(81);  // rating, text of 1..81
    for (const auto& row : src.wuge) {
        const int32_t n = integerField("wuge.tsv", row, 0);
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
    for (const auto& row : src.sancai) {
        cn.execute("insert into sancai(sancai, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]),
                    Param::utf8(rated(row.fields[1], row.fields[2]))});
    }
    // The version that tells a per-user copy of an older data.Mdb to take these tables.
    cn.execute("pragma user_version = " + std::to_string(kReferenceDataVersion));
    cn.commit();
    cn.close();
}

}  // namespace quenvil
