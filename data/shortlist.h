// The user's shortlist (收藏): candidate names kept in the user's own database, one row per full
// name. It is a user table (kUserTables): a refresh of the reference data keeps it.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quenvil {

class Connection;

inline constexpr const char* kShortlistTable = "shortlist";

struct ShortlistEntry {
    std::string name;     // the full name, UTF-8
    std::string surname;  // UTF-8
    char gender = 'n';    // of the list the name came from: 'm', 'f', or 'n' for either
    std::string remark;   // UTF-8; empty for none
    std::string added;    // when it was first added, UTC: "2026-12-08T16:20:05Z"

    bool operator==(const ShortlistEntry&) const = default;
};

// Creates the empty table when the database lacks it (a copy made before the shortlist existed);
// leaves a table that is there alone. The builder of data.Mdb makes it with this too.
void createShortlistTable(Connection& cn);

// Every entry, by surname (by code point), then the oldest first. Empty when the database has no
// shortlist table.
std::vector<ShortlistEntry> shortlistEntries(Connection& cn);

// Puts a name on the list with the time of now, or, when it is there already, sets its surname
// and gender and, when remark is given, its remark: the name stays once, with the time it was
// first added. gender is 'm', 'f' or 'n'; the name is checked by the caller. Creates the table
// when it is missing, in the same exclusive transaction: a database that another program keeps
// busy throws DatabaseBusyError before anything has changed. Returns whether the name was new.
bool addToShortlist(Connection& cn, std::string_view name, std::string_view surname, char gender,
                    std::optional<std::string_view> remark = std::nullopt);

// Takes a name off the list; false when it was not on it.
bool removeFromShortlist(Connection& cn, std::string_view name);

// Sets the remark of a name on the list (empty: none); false when the name is not on it.
bool setShortlistRemark(Connection& cn, std::string_view name, std::string_view remark);

}  // namespace quenvil
