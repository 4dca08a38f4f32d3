// printf-style formatting into a std::string of whatever length the values need: commands and
// trace records are never cut to a fixed buffer.
#pragma once

#include <string>

namespace dk::iis {

#if defined(__GNUC__)
__attribute__((format(printf, 1, 2)))
#endif
std::string
Format(const char* format, ...);

// A null text shown the way the C runtime's printf shows it.
inline const char* Shown(const char* text) noexcept { return text ? text : "(null)"; }

}  // namespace dk::iis
