// The yardstick of window start-up: a Qt window with a caption, a line edit and a button, shown
// and left to the event loop like Quenvil's main window. bench/window_startup_cpu.sh compares the
// CPU time of both.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("姓名"), &window));
    layout->addWidget(new QLineEdit(&window));
    layout->addWidget(new QPushButton(QStringLiteral("测算"), &window));
    window.show();
    return QApplication::exec();
}
