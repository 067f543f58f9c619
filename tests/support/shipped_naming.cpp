// The shipped engine data, loaded once.
#include "support/shipped_naming.h"

#include <gtest/gtest.h>

#include "data/connection.h"
#include "data/database.h"
#include "support/fixture_db.h"
#include "text/utf8.h"

namespace quenvil::test {

const NamingData& shippedNamingData() {
    static const NamingData data = [] {
        Connection cn;
        cn.open(programDir() / kDatabaseFileName, kDatabasePassword);
        return loadNamingData(cn);
    }();
    return data;
}

ScoredName scored(std::string_view name) {
    ScoredName s;
    ScoreFailure why = ScoreFailure::None;
    EXPECT_TRUE(scoreName(shippedNamingData(), name, s, &why))
        << name << " " << static_cast<int>(why);
    return s;
}

std::vector<std::string> characters(std::string_view utf8) {
    std::vector<std::string> out;
    for (std::string_view ch : utf8Characters(utf8)) out.emplace_back(ch);
    return out;
}

std::string surnameOf(const ScoredName& n) {
    const auto all = characters(n.name);
    std::string surname;
    for (int i = 0; i < n.surnameCharacters; ++i) surname += all[static_cast<size_t>(i)];
    return surname;
}

std::vector<std::string> givenOf(const ScoredName& n) {
    const auto all = characters(n.name);
    return {all.begin() + n.surnameCharacters, all.end()};
}

}  // namespace quenvil::test
