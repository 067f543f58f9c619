// The recommendation commands of quenvil-cli. Each returns its exit status; usage errors are
// thrown as UsageError.
#pragma once

#include "cli/terminal.h"

namespace quenvil::cli {

// recommend SURNAME [--gender m|f|any] [--length 1|2] [--fixed CHAR --at 2|3] [--top N]
int recommendNames(Context& c);
// score [FILE]
int scoreNames(Context& c);

}  // namespace quenvil::cli
