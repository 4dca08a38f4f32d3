// Results handed to the installer, and the boundary every export goes through.
#pragma once

#include <cstddef>
#include <string_view>
#include <utility>

namespace dk {

// Every ResultString comes from here: malloc of the C runtime the DLL imports, so a caller may
// free() it with that runtime or keep it until the process ends. Null when memory runs out.
char* NewResult(std::string_view text) noexcept;
char* NewResult(const char* bytes, std::size_t count) noexcept;

// Runs the body of an export; anything thrown inside becomes the family's failure result, so
// nothing unwinds into the installer's frames.
template <class R, class F>
R guarded(R fallback, F&& body) noexcept {
    try {
        return std::forward<F>(body)();
    } catch (...) {
        return fallback;
    }
}

}  // namespace dk
