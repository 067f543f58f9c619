// Showing escaped errors.
#include "ui/handler_guard.h"

#include <stdexcept>

#include "ui/dialogs.h"
#include "ui/error_text.h"

namespace quenvil {

void reportException(std::exception_ptr error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        Dialogs::current().error(errorText(e));
    } catch (...) {
        Dialogs::current().error(QStringLiteral("unknown error"));
    }
}

}  // namespace quenvil
