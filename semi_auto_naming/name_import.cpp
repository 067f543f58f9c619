// Name-list import and imported-name filter.
#include "semi_auto_naming/name_import.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "naming/candidate_filter.h"
#include "semi_auto_naming/import_line.h"
#include "text/gbk.h"

namespace quenvil {

std::string importDoneMessage(size_t names) {
    return std::string(kImportDoneMessage) + "共导入 " + std::to_string(names) + " 个名字。";
}

PackedName packName(std::string_view sixBytes) {
    PackedName key = 0;
    for (size_t i = 0; i < sixBytes.size() && i < 6; ++i) {
        key |= static_cast<PackedName>(static_cast<unsigned char>(sixBytes[i])) << (8 * i);
    }
    return key;
}

std::string unpackName(PackedName name) {
    std::string bytes(6, '\0');
    for (size_t i = 0; i < 6; ++i) bytes[i] = static_cast<char>((name >> (8 * i)) & 0xFF);
    return bytes;
}

bool storableName(std::string_view token) {
    // The database holds text; a token that is not clean GBK could not be stored unchanged.
    return isImportableName(token) && utf8ToGbk(gbkToUtf8(token)) == token;
}

void ImportPlanner::token(std::string_view firstBytes, size_t length) {
    if (!anyToken_) {
        plan_.surname = std::string(firstBytes.substr(0, 2));
        anyToken_ = true;
    }
    if (length == firstBytes.size() && storableName(firstBytes)) {
        plan_.names.push_back(packName(firstBytes));
    }
}

ImportPlan ImportPlanner::finish() {
    if (plan_.names.empty()) throw ImportError(kNoNamesMessage);
    return std::move(plan_);
}

ImportPlan planImportLine(std::string_view firstLine) {
    // Names of six bytes with at least one separator between them: no more than this many.
    ImportPlanner planner((firstLine.size() + 1) / 7);
    forEachImportToken(firstLine,
                       [&](std::string_view token) { planner.token(token, token.size()); });
    return planner.finish();
}

ImportPlan planImport(const std::vector<std::string>& loadedLines) {
    return planImportLine(loadedLines.empty() ? std::string_view()
                                              : std::string_view(loadedLines[0]));
}

// The distinct names in the order of their first appearance. Computed here: the engine's
// "select distinct" takes seconds over a million rows. The names are sorted by their packed
// value, the index breaking ties.
std::vector<bool> firstOccurrences(const std::vector<PackedName>& names) {
    // The indexes alone are sorted (four bytes a name, not sixteen for name and index).
    std::vector<uint32_t> order(names.size());
    for (uint32_t i = 0; i < names.size(); ++i) order[i] = i;
    std::sort(order.begin(), order.end(), [&names](uint32_t a, uint32_t b) {
        return names[a] != names[b] ? names[a] < names[b] : a < b;
    });
    std::vector<bool> first(names.size(), false);
    for (size_t i = 0; i < order.size(); ++i) {
        if (i == 0 || names[order[i]] != names[order[i - 1]]) first[order[i]] = true;
    }
    return first;
}

size_t writeImport(Database& db, const ImportPlan& plan) {
    auto run = [&db](const char* sql) {
        db.importCommand.clearSql();
        db.importCommand.setSql(sql);
        db.importCommand.execSql();
    };
    // Rows go to the table a few thousand at a time, so that the pending rows stay small.
    constexpr size_t kRowsPerBatch = 8192;
    auto appendRows = [&db, &plan](const char* table, const std::vector<bool>* only) {
        db.characterQuery.close();
        db.characterQuery.setCommandText(std::string("select * from ") + table);
        db.characterQuery.open();
        db.characterQuery.release();
        size_t pending = 0;
        for (size_t i = 0; i < plan.names.size(); ++i) {
            if (only && !(*only)[i]) continue;
            db.characterQuery.append();
            db.characterQuery.setField("xingming", unpackName(plan.names[i]));
            if (++pending == kRowsPerBatch) {
                db.characterQuery.updateBatch();
                pending = 0;
            }
        }
        db.characterQuery.updateBatch();
        db.characterQuery.close();
    };
    db.requireWritable();
    const std::vector<bool> distinct = firstOccurrences(plan.names);
    // A quarter of the usual cache: the pages written go to the file when it is full instead of
    // filling 32 MiB for a million names; the import takes as long.
    const std::string usualCache = "pragma cache_size=-" + std::to_string(kCacheKiB);
    run(("pragma cache_size=-" + std::to_string(kCacheKiB / 4)).c_str());
    db.connection.beginTransaction();
    try {
        run("delete from xm");
        run("delete from xm2");
        appendRows("xm", nullptr);
        appendRows("xm2", &distinct);
        db.connection.commit();
    } catch (...) {
        db.characterQuery.close();
        db.connection.rollback();
        try {
            run(usualCache.c_str());
        } catch (...) {
        }
        throw;
    }
    run(usualCache.c_str());
    return plan.names.size();
}

void filterImported(Database& db, std::vector<std::string>& out, std::string& lastSurname) {
    DataSet& rows = db.importedNames;
    rows.close();
    rows.setCommandText("select * from xm2");
    rows.open();
    const StrokePairTable& table = StrokePairTable::filters();
    try {
        for (; !rows.eof(); rows.next()) {
            const std::string name = rows.fieldText("xingming");
            const Verdict verdict = judgeName(name, db.strokes, table);
            lastSurname = name.substr(0, 2);
            appendVerdict(verdict, name, out);
        }
    } catch (...) {
        rows.close();  // no read lock stays behind an error
        throw;
    }
}

}  // namespace quenvil
