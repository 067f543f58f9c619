// Program entry: the application, the four windows, the message loop.
#include <QApplication>

#include "app/startup.h"
#include "data/folders.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    quenvil::Program program =
        quenvil::createProgram({quenvil::programFolder(), quenvil::systemFolder()});
    program.form1->show();
    return QApplication::exec();
}
