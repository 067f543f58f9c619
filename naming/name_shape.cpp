// The five-grid rules of every shape of name.
#include "naming/name_shape.h"

namespace quenvil {

Grids computeGrids(std::span<const int32_t> s, std::span<const int32_t> g) {
    if (s.empty() || s.size() > 2 || g.empty() || g.size() > 2) return {};
    const bool compound = s.size() == 2;
    const bool twoGiven = g.size() == 2;
    Grids r;
    // 天格: a single surname's strokes + 1; a compound surname's two characters together.
    r.heaven = compound ? s[0] + s[1] : s[0] + 1;
    // 人格: the last surname character + the first given-name character.
    r.person = s.back() + g[0];
    // 地格: both given-name characters; a single given-name character + 1.
    r.earth = twoGiven ? g[0] + g[1] : g[0] + 1;
    // 总格: every character of the name.
    r.total = s[0] + (compound ? s[1] : 0) + g[0] + (twoGiven ? g[1] : 0);
    if (!compound) {
        // 外格, single surname: the last given-name character + 1 with two given characters;
        // 2 (the two added ones) with one.
        r.outer = twoGiven ? g[1] + 1 : 2;
    } else {
        // 外格, compound surname: the first surname character + the last given-name character
        // with two given characters; the first surname character + 1 with one.
        r.outer = twoGiven ? s[0] + g[1] : s[0] + 1;
    }
    return r;
}

}  // namespace quenvil
