// Enter on buttons, focus after a button disables itself.
#include "ui/keyboard.h"

#include <QEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace quenvil {
namespace {

// Watches the push buttons of one window.
class EnterPressesButton : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!isEnterKey(key)) return false;
        auto* button = qobject_cast<QPushButton*>(watched);
        if (!button) return false;
        // A held key repeats; the button is pressed once, as with Space.
        if (!key->isAutoRepeat() && button->isEnabled()) button->click();
        return true;
    }
};

}  // namespace

bool isEnterKey(const QKeyEvent* key) {
    const Qt::KeyboardModifiers others = key->modifiers() & ~Qt::KeypadModifier;
    return (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) &&
           others == Qt::NoModifier;
}

void pressFocusedButtonOnEnter(QWidget* window) {
    auto* filter = new EnterPressesButton(window);
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        button->setDefault(false);
        button->setAutoDefault(false);
        button->installEventFilter(filter);
    }
}

void disableButton(QPushButton* button, QWidget* next) {
    if (button->window()->focusWidget() == button) next->setFocus(Qt::OtherFocusReason);
    button->setEnabled(false);
}

}  // namespace quenvil
