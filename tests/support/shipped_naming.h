// The recommendation engine's data as the programs load it: from the data.Mdb of the build.
#pragma once

#include "naming/naming_data.h"

namespace quenvil::test {

// Loaded once per test program.
const NamingData& shippedNamingData();

}  // namespace quenvil::test
