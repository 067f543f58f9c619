// Shared by the fuzz targets: a failed property stops the run with a message (libFuzzer then
// saves the input that broke it).
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace quenvil::fuzz {

inline void check(bool ok, const char* property) {
    if (!ok) {
        std::fprintf(stderr, "property broken: %s\n", property);
        std::abort();
    }
}

// The input bytes as text.
inline std::string_view bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

}  // namespace quenvil::fuzz
