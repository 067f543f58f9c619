// Name-list import and imported-name filter.
#include "semi_auto_naming/name_import.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "naming/candidate_filter.h"
#include "semi_auto_naming/import_line.h"
#include "text/gbk.h"

namespace quenvil {

ImportPlan planImport(const std::vector<std::string>& loadedLines) {
    ImportPlan plan;
    if (!loadedLines.empty()) plan.tokens = splitImportLine(loadedLines.front());
    if (plan.tokens.empty()) throw ImportError(kNoNamesMessage);
    plan.surname = plan.tokens.front().substr(0, 2);
    return plan;
}

namespace {

// The distinct names in the order of their first appearance. Computed here: the engine's
// "select distinct" takes seconds over a million rows. Every name has six bytes, so a name is
// packed into one integer and the names are sorted by it.
std::vector<std::string_view> firstOccurrences(const std::vector<std::string_view>& names) {
    std::vector<std::pair<uint64_t, uint32_t>> keyed;
    keyed.reserve(names.size());
    for (uint32_t i = 0; i < names.size(); ++i) {
        uint64_t key = 0;
        std::memcpy(&key, names[i].data(), std::min<size_t>(names[i].size(), 8));
        keyed.emplace_back(key, i);
    }
    std::sort(keyed.begin(), keyed.end());
    std::vector<bool> first(names.size(), false);
    for (size_t i = 0; i < keyed.size(); ++i) {
        if (i == 0 || keyed[i].first != keyed[i - 1].first) first[keyed[i].second] = true;
    }
    std::vector<std::string_view> distinct;
    for (uint32_t i = 0; i < names.size(); ++i) {
        if (first[i]) distinct.push_back(names[i]);
    }
    return distinct;
}

}  // namespace

bool storableName(const std::string& token) {
    // The database holds text; a token that is not clean GBK could not be stored unchanged.
    return isImportableName(token) && utf8ToGbk(gbkToUtf8(token)) == token;
}

size_t writeImport(Database& db, const ImportPlan& plan) {
    auto run = [&db](const char* sql) {
        db.ADOQuery1.clearSql();
        db.ADOQuery1.setSql(sql);
        db.ADOQuery1.execSql();
    };
    auto appendRows = [&db](const char* table, const std::vector<std::string_view>& names) {
        db.ADODS1.close();
        db.ADODS1.setCommandText(std::string("select * from ") + table);
        db.ADODS1.open();
        for (const std::string_view name : names) {
            db.ADODS1.append();
            db.ADODS1.setField("xingming", name);
        }
        db.ADODS1.updateBatch();
    };
    std::vector<std::string_view> names;
    for (const std::string& token : plan.tokens) {
        if (storableName(token)) names.push_back(token);
    }
    const std::vector<std::string_view> distinct = firstOccurrences(names);
    db.ADOCN.beginTransaction();
    try {
        run("delete from xm");
        run("delete from xm2");
        appendRows("xm", names);
        appendRows("xm2", distinct);
        db.ADOCN.commit();
    } catch (...) {
        db.ADODS1.close();
        db.ADOCN.rollback();
        throw;
    }
    return names.size();
}

void filterImported(Database& db, std::vector<std::string>& out, std::string& lastSurname) {
    DataSet& rows = db.ADODS2;
    rows.close();
    rows.setCommandText("select * from xm2");
    rows.open();
    const StrokePairTable& table = StrokePairTable::filters();
    for (; !rows.eof(); rows.next()) {
        const std::string name = rows.fieldText("xingming");
        const Verdict verdict = judgeName(name, db.strokes, table);
        lastSurname = name.substr(0, 2);
        appendVerdict(verdict, name, out);
    }
}

}  // namespace quenvil
