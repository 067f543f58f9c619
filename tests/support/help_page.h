// What the help page shows the user, read back for tests.
#pragma once

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace quenvil::test {

// The table of favourable stroke pairs on the shipped help page: for each row caption ("2" ...
// "19", and "12（手动取名）" for the manual window's row 12) the (second, third) pairs in order.
std::map<std::string, std::vector<std::pair<int, int>>> helpPagePairTable();

}  // namespace quenvil::test
