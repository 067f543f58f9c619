// A plain-text account of what the open windows show, rewritten every tenth of a second, for the
// end-to-end test that drives the program with real key presses (tests/e2e). The program turns it
// on only when the environment variable QUENVIL_E2E_LOG names the file.
#pragma once

#include <QString>

namespace quenvil {

// Starts rewriting `file` with one block per visible window:
//   window <title>
//     <class>: <its first three lines>      (labels, fields, text boxes, buttons, in creation
//     order)
//   focus <class>: <text>                  (the focused control of the active window)
// The file is replaced whole each time, so a reader never sees half of it.
void startWindowLog(const QString& file);

}  // namespace quenvil
