// The shortlist table of the user's database.
#define SQLITE_HAS_CODEC 1
#include "data/shortlist.h"

#include <sqlcipher/sqlite3.h>

#include "data/connection.h"

namespace quenvil {
namespace {

bool hasShortlistTable(Connection& cn) {
    Statement stmt(cn.handle(),
                   "select count(*) from sqlite_master where type = 'table' and name = ?");
    stmt.bind({Param::utf8(kShortlistTable)});
    return stmt.step() && stmt.integer(0) > 0;
}

// Runs a change of one row, when the table is there; returns whether a row changed.
bool changeOneRow(Connection& cn, const std::string& sql, const std::vector<Param>& params) {
    if (!hasShortlistTable(cn)) return false;
    cn.execute(sql, params);
    return sqlite3_changes(cn.handle()) > 0;
}

}  // namespace

void createShortlistTable(Connection& cn) {
    cn.execute(
        "create table if not exists shortlist("
        "name text primary key not null, "
        "surname text not null, "
        "gender text not null check (gender in ('m', 'f', 'n')), "
        "remark text not null default '', "
        "added text not null)");
}

std::vector<ShortlistEntry> shortlistEntries(Connection& cn) {
    std::vector<ShortlistEntry> entries;
    if (!hasShortlistTable(cn)) return entries;
    // Names added within the same second keep the order they were added in (rowid).
    Statement stmt(cn.handle(),
                   "select name, surname, gender, remark, added from shortlist "
                   "order by surname, added, rowid");
    while (stmt.step()) {
        const std::string_view gender = stmt.text(2);
        entries.push_back({std::string(stmt.text(0)), std::string(stmt.text(1)),
                           gender.empty() ? 'n' : gender[0], std::string(stmt.text(3)),
                           std::string(stmt.text(4))});
    }
    return entries;
}

bool addToShortlist(Connection& cn, std::string_view name, std::string_view surname, char gender,
                    std::optional<std::string_view> remark) {
    const std::string sex(1, gender);
    cn.beginTransaction();
    try {
        createShortlistTable(cn);
        cn.execute(
            remark ? "update shortlist set surname = ?, gender = ?, remark = ? where name = ?"
                   : "update shortlist set surname = ?, gender = ? where name = ?",
            remark ? std::vector<Param>{Param::utf8(surname), Param::utf8(sex),
                                        Param::utf8(*remark), Param::utf8(name)}
                   : std::vector<Param>{Param::utf8(surname), Param::utf8(sex), Param::utf8(name)});
        const bool added = sqlite3_changes(cn.handle()) == 0;
        if (added) {
            cn.execute(
                "insert into shortlist(name, surname, gender, remark, added) "
                "values(?, ?, ?, ?, strftime('%Y-%m-%dT%H:%M:%SZ', 'now'))",
                {Param::utf8(name), Param::utf8(surname), Param::utf8(sex),
                 Param::utf8(remark.value_or(""))});
        }
        cn.commit();
        return added;
    } catch (...) {
        cn.rollback();
        throw;
    }
}

bool removeFromShortlist(Connection& cn, std::string_view name) {
    return changeOneRow(cn, "delete from shortlist where name = ?", {Param::utf8(name)});
}

bool setShortlistRemark(Connection& cn, std::string_view name, std::string_view remark) {
    return changeOneRow(cn, "update shortlist set remark = ? where name = ?",
                        {Param::utf8(remark), Param::utf8(name)});
}

}  // namespace quenvil
