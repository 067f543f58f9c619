// Program entry: the application, the four windows, the message loop.
#include <QApplication>

#include "app/startup.h"
#include "data/data_location.h"
#include "data/folders.h"
#include "ui/translation.h"
#include "ui/window_log.h"

int main(int argc, char** argv) {
    quenvil::keepStandardStreamsTaken();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    // Lets Wayland compositors match the window to its menu entry and icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.quenvil.Quenvil"));
    if (!quenvil::installQtChineseTranslation()) {
        qWarning(
            "Qt's Chinese translation (qtbase_zh_CN.qm) is not installed; its dialogs stay "
            "in English");
    }
    // The end-to-end test reads what the windows show from this file.
    if (const QString log = qEnvironmentVariable("QUENVIL_E2E_LOG"); !log.isEmpty()) {
        quenvil::startWindowLog(log);
    }
    const quenvil::DataLocation data = quenvil::locateData(quenvil::programFolder());
    quenvil::Program program = quenvil::createProgram(quenvil::appFolders(data));
    program.mainWindow->show();
    return QApplication::exec();
}
