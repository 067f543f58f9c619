// Reading the help page that ships with the program.
#include "support/help_page.h"

#include <gtest/gtest.h>

#include <cctype>

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
    // Rows are "<tr><td>CAPTION</td><td>B/C　B/C ...</td></tr>"; the pairs are read as numbers.
    const std::string open = "<tr><td>", middle = "</td><td>", close = "</td></tr>";
    for (size_t at = table.find(open); at != std::string::npos; at = table.find(open, at)) {
        const size_t captionStart = at + open.size();
        const size_t captionEnd = table.find(middle, captionStart);
        const size_t cellsEnd = table.find(close, captionEnd);
        if (captionEnd == std::string::npos || cellsEnd == std::string::npos) break;
        const std::string cells =
            table.substr(captionEnd + middle.size(), cellsEnd - captionEnd - middle.size());
        auto& entries = rows[table.substr(captionStart, captionEnd - captionStart)];
        for (size_t i = 0; i < cells.size();) {
            if (!std::isdigit(static_cast<unsigned char>(cells[i]))) {
                ++i;
                continue;
            }
            size_t slash = 0;
            const int second = std::stoi(cells.substr(i), &slash);
            i += slash;
            if (i >= cells.size() || cells[i] != '/') {
                ADD_FAILURE() << "not a pair in the help page's table: " << cells;
                break;
            }
            size_t length = 0;
            const int third = std::stoi(cells.substr(++i), &length);
            i += length;
            entries.emplace_back(second, third);
        }
        at = cellsEnd;
    }
    return rows;
}

}  // namespace quenvil::test
