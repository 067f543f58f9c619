// The controls of a window, found by the object names the windows give them.
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace quenvil::test {

// The child of `window` of type T named `name`. Throws when there is none, which fails the test
// with the name in its message.
template <typename T>
T* child(const QObject* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    if (!found) {
        throw std::logic_error(std::string("no ") + T::staticMetaObject.className() + " named " +
                               name + " in " + window->metaObject()->className());
    }
    return found;
}

}  // namespace quenvil::test
