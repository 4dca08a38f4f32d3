// x_days_from_now's date arithmetic, apart from the C runtime's local-time conversion.
#pragma once

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace dk::sys {

// Converts seconds since 1970 to local calendar time; false when the runtime cannot.
using ToLocalTime = bool (*)(std::int64_t seconds, std::tm& out);

// The local date days * 86400 seconds after now, as "%d/%m/%Y"; nothing when the date cannot be
// converted or formatted.
std::optional<std::string> DateAfterDays(std::int64_t now, int days, ToLocalTime to_local);

}  // namespace dk::sys
