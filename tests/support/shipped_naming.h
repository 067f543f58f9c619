// The recommendation engine's data as the programs load it: from the data.Mdb of the build.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "naming/naming_data.h"
#include "naming/score.h"

namespace quenvil::test {

// Loaded once per test program.
const NamingData& shippedNamingData();

// A name scored with the shipped data; a name that cannot be scored fails the test.
ScoredName scored(std::string_view name);

// The characters of a UTF-8 text, and the surname and the given-name characters of a scored
// name.
std::vector<std::string> characters(std::string_view utf8);
std::string surnameOf(const ScoredName& n);
std::vector<std::string> givenOf(const ScoredName& n);

}  // namespace quenvil::test
