// Program entry: the application, the four windows, the message loop.
#include <QApplication>

#include "app/startup.h"
#include "data/folders.h"
#include "ui/translation.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quenvil"));
    if (!quenvil::installQtChineseTranslation()) {
        qWarning(
            "Qt's Chinese translation (qtbase_zh_CN.qm) is not installed; its dialogs stay "
            "in English");
    }
    quenvil::Program program =
        quenvil::createProgram({quenvil::programFolder(), quenvil::systemFolder()});
    program.form1->show();
    return QApplication::exec();
}
