// Program entry: the application, the four windows, the message loop.
#include <QApplication>
#include <iostream>

#include "app/startup.h"
#include "data/data_location.h"
#include "data/folders.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    // Lets Wayland compositors match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quenvil.Quenvil"));
    const quenvil::DataLocation data = quenvil::locateData(quenvil::programFolder());
    if (!data.warning.empty()) std::cerr << "quenvil: " << data.warning << '\n';
    quenvil::Program program = quenvil::createProgram({data.shipped, data.system, data.database});
    program.form1->show();
    return QApplication::exec();
}
