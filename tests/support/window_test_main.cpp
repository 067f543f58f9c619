// Entry of the window tests: one QApplication for all of them.
#include <gtest/gtest.h>

#include <QApplication>
#include <iostream>

#include "ui/translation.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    // As the program does at start-up; QtTexts.* fail without it.
    if (!quenvil::installQtChineseTranslation()) {
        std::cerr << "Qt's Chinese translation is not installed (qt6-translations-l10n)\n";
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
