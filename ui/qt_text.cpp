// Widget helpers.
#include "ui/qt_text.h"

#include <QDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTextCursor>
#include <QVBoxLayout>

#include "text/gbk.h"
#include "text/units.h"

namespace quenvil {

QString toQ(std::string_view gbk) {
    const std::string utf8 = gbkToUtf8(gbk);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string fromQ(const QString& s) { return utf8ToGbk(s.toStdString()); }

QString utf8Q(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::filesystem::path pathFromQ(const QString& s) {
    const std::string utf8 = s.toStdString();
    const std::string_view trimmed = trimControl(utf8);
    return std::filesystem::path(std::u8string(trimmed.begin(), trimmed.end()));
}

namespace {

QString joined(const std::vector<std::string>& lines) {
    std::string all;
    size_t size = 0;
    for (const auto& l : lines) size += l.size() + 1;
    all.reserve(size);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (i) all += '\n';
        all += lines[i];
    }
    return toQ(all);
}

}  // namespace

void setLines(QPlainTextEdit* box, const std::vector<std::string>& lines) {
    box->setPlainText(joined(lines));
}

void appendLines(QPlainTextEdit* box, const std::vector<std::string>& lines) {
    if (lines.empty()) return;
    box->appendPlainText(joined(lines));
}

void showFromStart(QPlainTextEdit* box) {
    box->moveCursor(QTextCursor::Start);
    box->ensureCursorVisible();
}

QFont songFont(int pixelSize) {
    QFont f;
    f.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"),
                   QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    f.setPixelSize(pixelSize);
    return f;
}

void styleTealCaption(QLabel* label, int pixelSize) {
    label->setFont(songFont(pixelSize));
    label->setAutoFillBackground(true);
    QPalette p = label->palette();
    p.setColor(QPalette::Window, QColor(0, 128, 128));
    p.setColor(QPalette::WindowText, Qt::white);
    label->setPalette(p);
}

void setTextColor(QWidget* w, const QColor& color) {
    QPalette p = w->palette();
    p.setColor(QPalette::WindowText, color);
    p.setColor(QPalette::Text, color);
    w->setPalette(p);
}

QColor textColor(const QWidget* w) { return w->palette().color(QPalette::WindowText); }

QPushButton* namedButton(const char* caption, const char* objectName, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QLatin1String(objectName));
    return button;
}

void layOutTableAndCommands(QDialog* dialog, QWidget* table,
                            std::initializer_list<QPushButton*> commands, QPushButton* close) {
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : commands) buttons->addWidget(b);
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto* all = new QVBoxLayout(dialog);
    all->addWidget(table, 1);
    all->addLayout(buttons);
}

void makeFixedCentred(QWidget* window, int clientWidth, int clientHeight) {
    const Qt::WindowFlags type = window->inherits("QDialog") ? Qt::Dialog : Qt::Window;
    window->setWindowFlags(type | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    window->setFixedSize(clientWidth, clientHeight);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window->move(area.center() - QPoint(clientWidth / 2, clientHeight / 2));
    }
}

int availableScreenHeight() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry().height() : 0;
}

}  // namespace quenvil
