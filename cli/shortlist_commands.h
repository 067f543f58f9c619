// The shortlist (收藏) of quenvil-cli: names kept in the user's database. Returns the exit status;
// usage errors are thrown as UsageError.
#pragma once

#include "cli/terminal.h"

namespace quenvil::cli {

// shortlist [list] | shortlist add NAME [--gender m|f|any] [--remark TEXT] | shortlist remove NAME
int shortlist(Context& c);

}  // namespace quenvil::cli
