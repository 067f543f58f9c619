// Name-list import and imported-name filter.
#include "semi_auto_naming/name_import.h"

#include "auto_naming/candidate_filter.h"
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

bool storableName(const std::string& token) {
    // The database holds text; a token that is not clean GBK could not be stored unchanged.
    return isImportableName(token) && utf8ToGbk(gbkToUtf8(token)) == token;
}

size_t writeImport(Database& db, const ImportPlan& plan) {
    auto run = [&db](const char* sql) {
        db.ADOQuery1.close();
        db.ADOQuery1.clearSql();
        db.ADOQuery1.setSql(sql);
        db.ADOQuery1.execSql();
    };
    size_t rows = 0;
    db.ADOCN.beginTransaction();
    try {
        run("delete from xm");
        run("delete from xm2");
        db.ADODS1.close();
        db.ADODS1.setCommandText("select * from xm");
        db.ADODS1.open();
        for (const std::string& token : plan.tokens) {
            if (!storableName(token)) continue;
            db.ADODS1.append();
            db.ADODS1.setField("xingming", token);
            ++rows;
        }
        db.ADODS1.updateBatch();
        run("insert into xm2(xingming) select distinct xingming  from  xm ");
        db.ADOCN.commit();
    } catch (...) {
        db.ADODS1.close();
        db.ADOCN.rollback();
        throw;
    }
    return rows;
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
