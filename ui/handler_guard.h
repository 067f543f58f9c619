// The one place where an error that escapes a window's handler is shown to the user.
#pragma once

#include <QObject>
#include <exception>
#include <utility>

namespace quenvil {

// Shows the exception in the standard error box.
void reportException(std::exception_ptr error);

// Runs a handler; an exception that escapes it is shown once in the standard error box, and what
// the handler did before it stays done.
template <typename Handler>
void guarded(Handler&& handler) {
    try {
        std::forward<Handler>(handler)();
    } catch (...) {
        reportException(std::current_exception());
    }
}

// Connects a signal to a handler of a window, run through guarded().
template <typename Sender, typename Signal, typename Window>
void connectHandler(Sender* sender, Signal signal, Window* window, void (Window::*handler)()) {
    QObject::connect(sender, signal, window,
                     [window, handler] { guarded([window, handler] { (window->*handler)(); }); });
}

}  // namespace quenvil
