// Database builder: schema and rows of fantizi, wuge, sancai, xm and xm2, the empty shortlist, and
// the tables of the recommendation engine.
#include "tools/database_builder.h"

#include <fstream>
#include <set>
#include <vector>

#include "data/connection.h"
#include "data/database.h"
#include "data/reference_data.h"
#include "data/shortlist.h"
#include "naming/classics.h"
#include "text/utf8.h"
#include "tools/naming_sources.h"
#include "tools/source_file.h"

namespace quenvil {
namespace {

std::string rated(const std::string& rating, const std::string& text) {
    return "【" + rating + "】" + text;
}

void createTables(Connection& cn) {
    cn.execute("create table fantizi(id integer primary key, hanzi text, bihua integer)");
    cn.execute("create table wuge(shuzi text, hanyi text, jixiong text)");
    cn.execute("create index wuge_shuzi on wuge(shuzi)");
    cn.execute("create table sancai(sancai text, hanyi text, jixiong text)");
    cn.execute("create index sancai_key on sancai(sancai)");
    cn.execute("create table xm(xingming text)");
    cn.execute("create table xm2(xingming text)");
    // The user's table, shipped empty so that the shipped file and a user's copy have one schema.
    createShortlistTable(cn);
}

// The tables of the four windows: stroke counts, and the meanings of the numbers and of the
// three-talent configurations, each meaning led by its rating.
void writeStrokesAndMeanings(Connection& cn, const NamingSources& s) {
    for (const auto& row : s.fantizi) {
        cn.execute("insert into fantizi(bihua, hanzi) values(?, ?)",
                   {Param::of(integerField("fantizi.tsv", row, 0)), Param::utf8(row.fields[1])});
    }
    std::vector<std::pair<std::string, std::string>> byNumber(81);  // rating, text of 1..81
    for (const auto& row : s.wuge) {
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
    for (const auto& row : s.sancai) {
        cn.execute("insert into sancai(sancai, jixiong, hanyi) values(?, ?, ?)",
                   {Param::utf8(row.fields[0]), Param::utf8(row.fields[1]),
                    Param::utf8(rated(row.fields[1], row.fields[2]))});
    }
}

// A table of text columns filled with the first fields of a source's rows, in their order
// (missing fields are written empty). With keyed, the first column is the table's key.
void writeTextTable(Connection& cn, const std::string& table,
                    const std::vector<std::string>& columns, const std::vector<SourceLine>& rows,
                    bool keyed = true) {
    std::string create = "create table " + table + "(",
                insert = "insert into " + table + " values(";
    for (size_t i = 0; i < columns.size(); ++i) {
        create += (i ? ", " : "") + columns[i] + " text" + (i == 0 && keyed ? " primary key" : "");
        insert += i ? ", ?" : "?";
    }
    cn.execute(create + ")");
    for (const SourceLine& row : rows) {
        std::vector<Param> params;
        for (size_t i = 0; i < columns.size(); ++i) {
            params.push_back(Param::utf8(i < row.fields.size() ? row.fields[i] : ""));
        }
        cn.execute(insert + ")", params);
    }
}

// The lines of the classics that hold a name (forEachNamePair of naming/classics.h with the
// curated characters of tier 1 to 3), and the pieces they come from.
void writeClassics(Connection& cn, const NamingSources& s) {
    std::set<char32_t> usable;
    for (const GivenNameChar& g : s.nameChars) {
        const bool recommended = g.columns.size() < 2 || g.columns[1] <= "3";
        if (recommended && !utf8CodePoints(g.character).empty()) {
            usable.insert(utf8CodePoints(g.character)[0]);
        }
    }
    cn.execute(
        "create table classic_piece(id integer primary key, book text, title text, "
        "author text)");
    cn.execute("create table classic_line(id integer primary key, piece integer, line text)");
    int64_t piece = 0;
    const SourceLine* last = nullptr;  // the first line of the piece last written
    for (const SourceLine& row : s.classics) {
        bool holdsName = false;
        forEachNamePair(
            row.fields[3], [&](char32_t c) { return usable.count(c) != 0; },
            [&](char32_t, char32_t) { holdsName = true; });
        if (!holdsName) continue;
        if (!last || last->fields[0] != row.fields[0] || last->fields[1] != row.fields[1] ||
            last->fields[2] != row.fields[2]) {
            cn.execute("insert into classic_piece(id, book, title, author) values(?, ?, ?, ?)",
                       {Param::of(++piece), Param::utf8(row.fields[0]), Param::utf8(row.fields[1]),
                        Param::utf8(row.fields[2])});
            last = &row;
        }
        cn.execute("insert into classic_line(piece, line) values(?, ?)",
                   {Param::of(piece), Param::utf8(row.fields[3])});
    }
}

// The recommendation engine's tables (naming/naming_data.h reads them).
void writeNamingTables(Connection& cn, const NamingSources& s) {
    writeTextTable(cn, "pinyin", {"hanzi", "pinyin"}, s.pinyin);
    writeTextTable(cn, "name_reading", {"hanzi", "pinyin"}, s.nameReadings);
    writeTextTable(cn, "surname_reading", {"surname", "pinyin"}, s.surnameReadings);
    writeTextTable(cn, "compound_surname", {"surname"}, s.compounds);
    // The same syllables may stand twice, with other tones.
    writeTextTable(cn, "bad_sound", {"syllables", "tones", "word", "category"}, s.badSounds, false);
    writeTextTable(cn, "name_word", {"pattern", "applies", "gender", "action", "reason"},
                   s.nameWords, false);
    writeTextTable(cn, "famous_person", {"name", "who"}, s.famous);
    writeTextTable(cn, "given_name", {"name", "sex", "usage"}, s.givenNames);
    writeClassics(cn, s);
    cn.execute(
        "create table name_char(hanzi text primary key, kind text, tier text, place text, "
        "doubled text, meaning text, rank integer)");
    const char* defaults[] = {"n", "3", "any", "-", ""};
    int rank = 0;
    for (const GivenNameChar& g : s.nameChars) {
        std::vector<Param> params{Param::utf8(g.character)};
        for (size_t i = 0; i < 5; ++i) {
            params.push_back(Param::utf8(i < g.columns.size() ? g.columns[i] : defaults[i]));
        }
        params.push_back(Param::of(rank++));
        cn.execute("insert into name_char values(?, ?, ?, ?, ?, ?, ?)", params);
    }
}

}  // namespace

void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out) {
    // Every source is read before the database is touched: a missing or malformed one writes
    // nothing. The name-list generator loads the same sources as the engine does, so a source
    // that does not fit the others stops the build there.
    const NamingSources sources = readNamingSources(sourcesDir);
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
