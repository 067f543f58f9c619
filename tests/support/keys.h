// Key presses as the platform delivers them: the window is shown and active, and each key goes to
// the control that has the focus (QApplication::focusWidget()), never to a child the test picks.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace quenvil::test {

// Shows the window and waits until it is the active window.
inline void showActive(QWidget* window) {
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

// One key press and release at the focused control.
inline void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the focus";
    QTest::keyClick(focus, key, modifiers);
}

// Enter on the main keyboard, and Enter on the keypad.
inline void pressReturn() { press(Qt::Key_Return); }
inline void pressKeypadEnter() { press(Qt::Key_Enter, Qt::KeypadModifier); }

// Types text into the focused control, one key per character. A character beyond ASCII comes as
// the platform sends it from a keyboard layout that has it: its code as the key, itself as text.
inline void type(const QString& text) {
    QWidget* focus = QApplication::focusWidget();
    ASSERT_NE(focus, nullptr) << "no control has the focus";
    for (const QChar ch : text) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(focus, static_cast<char>(ch.unicode()));
        } else {
            QTest::sendKeyEvent(QTest::Click, focus, static_cast<Qt::Key>(ch.unicode()),
                                QString(ch), Qt::NoModifier);
        }
    }
}

// Tab until `target` has the focus; fails after a full round of the window's tab chain.
inline void tabTo(QWidget* target) {
    for (int i = 0; i < 40 && QApplication::focusWidget() != target; ++i) press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), target) << "not reachable with Tab";
}

// Runs `act` once a modal window is up and active, from inside its event loop: create it before
// the call that opens the modal window; `act` must close that window. Stops watching when it goes
// out of scope, so a window that never came up is reported by this test and no other.
class WhenModal {
  public:
    explicit WhenModal(std::function<void(QWidget*)> act) : act_(std::move(act)) {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (!modal || !modal->isVisible() || QApplication::activeWindow() != modal) return;
            timer_.stop();
            done_ = true;
            act_(modal);
        });
        timer_.start();
    }
    ~WhenModal() { EXPECT_TRUE(done_) << "no modal window came up"; }
    WhenModal(const WhenModal&) = delete;
    WhenModal& operator=(const WhenModal&) = delete;

  private:
    std::function<void(QWidget*)> act_;
    QTimer timer_;
    bool done_ = false;
};

}  // namespace quenvil::test
