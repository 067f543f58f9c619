// Start-up: the four windows, created in their fixed order.
#pragma once

#include <memory>

#include "app/main_window.h"
#include "auto_naming/auto_naming_window.h"
#include "manual_naming/manual_naming_window.h"
#include "semi_auto_naming/semi_auto_naming_window.h"

namespace quenvil {

struct Program {
    std::unique_ptr<TForm1> form1;
    std::unique_ptr<TForm2> form2;
    std::unique_ptr<TForm3> form3;
    std::unique_ptr<TForm4> form4;
};

// Creates the main window (which opens the database), then the automatic, manual and
// semi-automatic naming windows, which borrow its database.
inline Program createProgram(const AppFolders& folders) {
    Program p;
    p.form1 = std::make_unique<TForm1>(folders);
    p.form2 = std::make_unique<TForm2>(p.form1->database(), folders.system, p.form1.get());
    p.form3 = std::make_unique<TForm3>(p.form1->database(), p.form1.get());
    p.form4 = std::make_unique<TForm4>(p.form1->database(), p.form1.get());
    p.form1->setNamingWindows(p.form2.get(), p.form3.get(), p.form4.get());
    return p;
}

}  // namespace quenvil
