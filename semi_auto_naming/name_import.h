// Importing a user's name list into tables xm and xm2, and filtering the imported names.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "data/database.h"

namespace quenvil {

inline constexpr const char* kImportingMessage = "正在导入数据，请等待！";
inline constexpr const char* kImportDoneMessage = "数据导入成功！";
inline constexpr const char* kNoNamesMessage =
    "文件的第一行没有任何名字，没有导入。请检查文件：名字写在第一行，用空格分开。";

// An import that cannot start (the first line holds no token).
class ImportError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

struct ImportPlan {
    std::vector<std::string> tokens;  // every token of the first line, GBK
    std::string surname;              // first two bytes of the first token
};

// Splits the first line of the loaded lines. Throws ImportError when it holds no token.
ImportPlan planImport(const std::vector<std::string>& loadedLines);

// A six-byte token that is clean GBK text; other tokens are skipped.
bool storableName(const std::string& token);

// Rewrites xm (every six-byte token, in order) and xm2 (the distinct names) in one transaction:
// either every row is replaced or, on any failure, nothing changes. Returns the rows written to xm.
size_t writeImport(Database& db, const ImportPlan& plan);

// The filter over xm2: walks the rows through ADODS2 and looks up strokes through ADODS1. Results
// (GBK) go to out as they are found; lastSurname follows the surname of each judged row.
void filterImported(Database& db, std::vector<std::string>& out, std::string& lastSurname);

}  // namespace quenvil
