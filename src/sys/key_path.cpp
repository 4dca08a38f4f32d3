#include "sys/key_path.h"

#include "frame/text.h"

namespace dk::sys {

namespace {

// The next non-empty component of path from pos, advancing pos past it; empty at the end.
std::string_view NextComponent(std::string_view path, std::size_t& pos) {
    while (pos < path.size() && path[pos] == '\\') ++pos;
    const std::size_t start = pos;
    while (pos < path.size() && path[pos] != '\\') ++pos;
    return path.substr(start, pos - start);
}

bool EqualNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperC(a[i]) != UpperC(b[i])) return false;
    return true;
}

}  // namespace

bool SameOrInside(std::string_view outer, std::string_view path) {
    std::size_t o = 0, p = 0;
    for (;;) {
        const std::string_view want = NextComponent(outer, o);
        if (want.empty()) return true;
        if (!EqualNoCase(want, NextComponent(path, p))) return false;
    }
}

}  // namespace dk::sys
