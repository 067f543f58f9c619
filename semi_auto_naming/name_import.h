// Importing a user's name list into tables xm and xm2, and filtering the imported names.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "data/database.h"

namespace quenvil {

inline constexpr const char* kImportingMessage = "正在导入数据，请等待！";
inline constexpr const char* kImportDoneMessage = "数据导入成功！";
inline constexpr const char* kDatabaseBusyMessage = "数据库正被其他程序使用，请稍后再试。";
inline constexpr const char* kDatabaseReadOnlyMessage =
    "数据库所在的文件夹或数据库文件是只读的，无法导入，原来的名字保持不变。";
// The user's own copy of the database cannot be made or used: the windows read the program's
// shipped database, which is never written. At start-up, and when an import is refused.
inline constexpr const char* kNoUserCopyMessage =
    "无法建立或打开你自己的数据库副本：测算和取名照常可用，但不能导入名字。程序自带的数据库只读"
    "使用，不会被改写。";
inline constexpr const char* kNoUserCopyImportMessage =
    "无法导入：你自己的数据库副本无法建立或打开，而程序自带的数据库不会被改写。原来的名字保持不变"
    "。";

// "数据导入成功！共导入 N 个名字。" (UTF-8)
std::string importDoneMessage(size_t names);
inline constexpr const char* kNoNamesMessage =
    "文件的第一行没有任何名字，没有导入。请检查文件：名字写在第一行，用空格分开。";

// An import that cannot start (the first line holds no token).
class ImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A name of six bytes packed into an integer (its bytes in order, from the lowest byte up): eight
// bytes a name instead of a string each, for first lines of millions of names.
using PackedName = uint64_t;
PackedName packName(std::string_view sixBytes);
std::string unpackName(PackedName name);

struct ImportPlan {
    std::vector<PackedName> names;  // every storable token of the first line, in order
    std::string surname;            // first two bytes of the first token, GBK
};

// Splits the first line. Throws ImportError when it holds no storable name (no token at all, or
// none that could be stored), so that the old names stay.
ImportPlan planImportLine(std::string_view firstLine);
// Builds an ImportPlan token by token while the first line is read (ImportLineStream of
// import_line.h), as planImportLine does for a whole line.
class ImportPlanner {
  public:
    // Room for expectedNames names is taken at once (a file's size / 7 bounds them).
    explicit ImportPlanner(size_t expectedNames = 0) { plan_.names.reserve(expectedNames); }
    // A token: its first bytes (a name of six bytes always whole) and its length.
    void token(std::string_view firstBytes, size_t length);
    // The plan. Throws ImportError when the line held no storable name.
    ImportPlan finish();

  private:
    ImportPlan plan_;
    bool anyToken_ = false;
};

// planImportLine of the first of the loaded lines.
ImportPlan planImport(const std::vector<std::string>& loadedLines);

// A six-byte token that is clean GBK text; other tokens are skipped.
bool storableName(std::string_view token);

// For each name, whether it is the first appearance of its text: the rows of xm2, in order.
std::vector<bool> firstOccurrences(const std::vector<PackedName>& names);

// Rewrites xm (every storable token, in order) and xm2 (the distinct names) in one transaction:
// either every row is replaced or, on any failure, nothing changes. The transaction takes the
// database alone before it changes anything: when another program keeps it for longer than the
// busy timeout, DatabaseBusyError is thrown and nothing has changed; a database that must not be
// written (the shipped file, open because the user's copy cannot be used) gives NoUserCopyError
// before anything is tried. Returns the rows of xm.
size_t writeImport(Database& db, const ImportPlan& plan);

// The filter over xm2: walks the rows through importedNames and looks up strokes through
// characterQuery. Results (GBK) go to out as they are found; lastSurname follows the surname of
// each judged row.
void filterImported(Database& db, std::vector<std::string>& out, std::string& lastSurname);

}  // namespace quenvil
