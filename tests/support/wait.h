// Waiting for an event in a window test: the event loop turns in short steps until a condition
// holds, with a deadline that only a hang reaches.
#pragma once

#include <QDeadlineTimer>
#include <QTest>
#include <chrono>
#include <functional>

namespace quenvil::test {

// Turns the event loop a millisecond at a time until `done` holds. False when `limit` passed
// first. Short steps: a long one could take a whole stream of queued events at once.
inline bool waitUntil(const std::function<bool()>& done,
                      std::chrono::milliseconds limit = std::chrono::seconds(60)) {
    const QDeadlineTimer deadline(limit);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QTest::qWait(1);
    }
    return true;
}

}  // namespace quenvil::test
