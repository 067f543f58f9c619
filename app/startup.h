// Start-up: the four windows, created in their fixed order.
#pragma once

#include <memory>

#include "app/main_window.h"
#include "auto_naming/auto_naming_window.h"
#include "manual_naming/manual_naming_window.h"
#include "semi_auto_naming/semi_auto_naming_window.h"

namespace quenvil {

struct Program {
    std::unique_ptr<MainWindow> mainWindow;
    std::unique_ptr<AutoNamingWindow> autoNaming;
    std::unique_ptr<ManualNamingWindow> manualNaming;
    std::unique_ptr<SemiAutoNamingWindow> semiAutoNaming;
};

// Creates the main window (which opens the database), then the automatic, manual and
// semi-automatic naming windows, which borrow its database.
inline Program createProgram(const AppFolders& folders) {
    Program p;
    p.mainWindow = std::make_unique<MainWindow>(folders);
    p.autoNaming = std::make_unique<AutoNamingWindow>(p.mainWindow->database(), folders.system,
                                                      p.mainWindow.get());
    p.manualNaming =
        std::make_unique<ManualNamingWindow>(p.mainWindow->database(), p.mainWindow.get());
    p.semiAutoNaming =
        std::make_unique<SemiAutoNamingWindow>(p.mainWindow->database(), p.mainWindow.get());
    p.mainWindow->setNamingWindows(p.autoNaming.get(), p.manualNaming.get(),
                                   p.semiAutoNaming.get());
    return p;
}

}  // namespace quenvil
