// The commands of quenvil-cli that do what the four classic windows do. Each returns its exit
// status; usage errors are thrown as UsageError.
#pragma once

#include "cli/terminal.h"

namespace quenvil::cli {

int strokes(Context& c);         // strokes TEXT
int analyze(Context& c);         // analyze NAME
int filter(Context& c);          // filter FILE
int pairs(Context& c);           // pairs SURNAME
int chars(Context& c);           // chars N
int importFile(Context& c);      // import FILE
int filterImported(Context& c);  // filter-imported

}  // namespace quenvil::cli
