// The one place where an error that escapes a window's handler is shown to the user.
#pragma once

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

}  // namespace quenvil
