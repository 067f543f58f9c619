// The keyboard in every window: Enter presses the focused button, and a button that disables
// itself hands the focus on to the control the user looks at next.
#pragma once

class QKeyEvent;
class QPushButton;
class QWidget;

namespace quenvil {

// Return, or Enter on the keypad, without Shift, Ctrl or Alt.
bool isEnterKey(const QKeyEvent* key);

// Makes Enter on a focused push button of the window press it, as Space does, and takes the
// default-button role from every push button of the window: in a dialog, Enter typed into another
// control would otherwise press the first button after it (often 关闭). Call when the window's
// buttons exist.
void pressFocusedButtonOnEnter(QWidget* window);

// Disables a button. When it holds its window's focus, the focus moves to `next` rather than on
// to the following control of the tab chain.
void disableButton(QPushButton* button, QWidget* next);

}  // namespace quenvil
