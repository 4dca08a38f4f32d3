// Values that go between double quotes on an appcmd command line. One holding a double quote
// would end the quoted value early and let the rest become arguments of its own, so such values
// (and missing ones) are refused before any command runs.
#pragma once

#include <string>
#include <string_view>

namespace dk::iis {

// The code a refused value gives, the same the runner gives for an argument it cannot take.
inline constexpr int kRefused = -100;

// Why the value cannot be used (for the trace log), or the empty text when it can.
std::string RefusalReason(std::string_view label, const char* value);

}  // namespace dk::iis
