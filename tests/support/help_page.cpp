// Reading the help page that ships with the program.
#include "support/help_page.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/fixture_db.h"
#include "text/gbk.h"
#include "text/lines.h"

namespace quenvil::test {

// The table of favourable pairs that the help page shows the user, by row caption ("2" ... "19",
// and "12（手动取名）" for the manual window's row 12).
std::map<std::string, std::vector<std::pair<int, int>>> helpPagePairTable() {
    const std::string page =
        gbkToUtf8(readWholeFile(test::programDir() / "help" / "Quenvil使用教程.html"));
    const size_t start = page.find("<table class=\"pairs\">");
    if (start == std::string::npos) {
        ADD_FAILURE() << "the help page has no table of pairs";
        return {};
    }
    const size_t end = page.find("</table>", start);
    const std::string table = page.substr(start, end - start);
    std::map<std::string, std::vector<std::pair<int, int>>> rows;
    const std::regex row("<tr><td>([^<]+)</td><td>([^<]+)</td></tr>");
    const std::regex pair("(\\d+)/(\\d+)");
    for (auto r = std::sregex_iterator(table.begin(), table.end(), row);
         r != std::sregex_iterator(); ++r) {
        const std::string cells = (*r)[2];
        auto& entries = rows[(*r)[1]];
        for (auto p = std::sregex_iterator(cells.begin(), cells.end(), pair);
             p != std::sregex_iterator(); ++p) {
            entries.emplace_back(std::stoi((*p)[1]), std::stoi((*p)[2]));
        }
    }
    return rows;
}

}  // namespace quenvil::test
