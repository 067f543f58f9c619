// Database builder: schema and rows of fantizi, wuge, sancai, xm and xm2.
#include "tools/database_builder.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "data/connection.h"
#include "text/integer.h"

namespace quenvil {
namespace {

std::vector<std::string> splitTabs(const std::string& line) {
    std::vector<std::string> fields;
    std::string::size_type start = 0;
    while (true) {
        const auto tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
        if (tab == std::string::npos) break;
        start = tab + 1;
    }
    return fields;
}

struct SourceLine {
    int number;
    std::vector<std::string> fields;
};

// Non-comment, non-blank lines of a source, each split at tabs.
std::vector<SourceLine> readSource(const std::filesystem::path& file, size_t columns) {
    std::vector<SourceLine> rows;
    std::ifstream in(file, std::ios::binary);
    if (!in) return rows;
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        auto fields = splitTabs(line);
        if (fields.size() != columns) {
            std::ostringstream msg;
            msg << file.string() << ":" << number << ": expected " << columns
                << " tab-separated fields, found " << fields.size();
            throw SourceError(msg.str());
        }
        rows.push_back({number, std::move(fields)});
    }
    return rows;
}

int32_t number(const std::filesystem::path& file, const SourceLine& line, const std::string& s) {
    if (auto v = parseInteger(s)) return *v;
    throw SourceError(file.string() + ":" + std::to_string(line.number) + ": not a number: " + s);
}

std::string rated(const std::string& rating, const std::string& text) {
    return "【" + rating + "】" + text;
}

}  // namespace

void buildDatabase(const std::filesystem::path& sourcesDir, const std::filesystem::path& out,
                   const std::string& password) {
    const auto fantiziFile = sourcesDir / "fantizi.tsv";
    const auto wugeFile = sourcesDir / "wuge.tsv";
    const auto sancaiFile = sourcesDir / "sancai.tsv";
    const auto fantizi = readSource(fantiziFile, 2);
    const auto wuge = readSource(wugeFile, 3);
    const auto sancai = readSource(sancaiFile, 3);

    std::error_code ec;
    std::filesystem::remove(out, ec);
    {
        // Create the empty file; the connection opens existing files only.
        std::ofstream create(out, std::ios::binary);
        if (!create) throw SourceError("cannot create " + out.string());
    }
    Connection cn;
    cn.setConnectionString("Data Source=" + out.string() +
                           ";Jet OLEDB:Database Password=" + password);
    cn.open();
    cn.beginTransaction();
    cn.execute("create table fantizi(id integer primary key, hanzi text, bihua integer)");
    cn.execute("create table wuge(shuzi text, hanyi text, jixiong text)");
    cn.execute("create index wuge_shuzi on wuge(shuzi)");
    cn.execute("create table sancai(sancai text, hanyi text, jixiong text)");
    cn.execute("create index sancai_key on sancai(sancai)");
    cn.execute("create table xm(xingming text)");
    cn.execute("create table xm2(xingming text)");

    for (const auto& row : fantizi) {
        cn.execute(
            "insert into fantizi(bihua, hanzi) values(?, ?)",
            {Param::of(number(fantiziFile, row, row.fields[0])), Param::utf8(row.fields[1])});
    }
    std::vector<std::pair<std::string, std::string>> byNumber(81);  // rating, text of 1..81
    for (const auto& row : wuge) {
        const int32_t n = number(wugeFile, row, row.fields[0]);
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
    cn.commit();
    cn.close();
}

}  // namespace quenvil
