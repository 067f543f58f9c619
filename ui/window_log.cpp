// Window log.
#include "ui/window_log.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTextEdit>
#include <QTimer>

namespace quenvil {
namespace {

// The first three lines, joined by " | ".
QString opening(const QString& text) {
    return text.section(QChar('\n'), 0, 2).replace(QChar('\n'), QStringLiteral(" | ")).left(200);
}

// The class and text of a control that shows text; empty for other widgets.
QString describe(const QWidget* w) {
    QString text;
    if (const auto* label = qobject_cast<const QLabel*>(w)) {
        text = label->text();
    } else if (const auto* edit = qobject_cast<const QLineEdit*>(w)) {
        text = edit->text();
    } else if (const auto* combo = qobject_cast<const QComboBox*>(w)) {
        text = combo->currentText();
    } else if (const auto* box = qobject_cast<const QPlainTextEdit*>(w)) {
        text = box->toPlainText();
    } else if (const auto* rich = qobject_cast<const QTextEdit*>(w)) {
        text = rich->toPlainText().trimmed();
    } else if (const auto* button = qobject_cast<const QAbstractButton*>(w)) {
        text = button->text() + (button->isEnabled() ? QString() : QStringLiteral(" (disabled)"));
    } else {
        return {};
    }
    return QString::fromLatin1(w->metaObject()->className()) + QStringLiteral(": ") + opening(text);
}

void writeLog(const QString& file) {
    QString out;
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->isVisible()) continue;
        out += QStringLiteral("window ") + window->windowTitle() + QChar('\n');
        for (const QWidget* w : window->findChildren<QWidget*>()) {
            if (w->window() != window || !w->isVisibleTo(window)) continue;
            const QString line = describe(w);
            if (!line.isEmpty()) out += QStringLiteral("  ") + line + QChar('\n');
        }
    }
    if (const QWidget* focus = QApplication::focusWidget()) {
        const QString line = describe(focus);
        out += QStringLiteral("focus ") +
               (line.isEmpty() ? QString::fromLatin1(focus->metaObject()->className()) : line) +
               QChar('\n');
    }
    QSaveFile save(file);
    if (!save.open(QIODevice::WriteOnly)) return;
    save.write(out.toUtf8());
    save.commit();
}

}  // namespace

void startWindowLog(const QString& file) {
    auto* timer = new QTimer(QCoreApplication::instance());
    timer->setInterval(100);
    QObject::connect(timer, &QTimer::timeout, [file] { writeLog(file); });
    timer->start();
}

}  // namespace quenvil
