#include "sys/date_text.h"

namespace dk::sys {

std::optional<std::string> DateAfterDays(std::int64_t now, int days, ToLocalTime to_local) {
    // |days| * 86400 stays below 2^47, so the sum cannot overflow for any time the clock gives.
    const std::int64_t when = now + static_cast<std::int64_t>(days) * 86400;
    std::tm local{};
    if (!to_local(when, local)) return std::nullopt;
    char text[32];
    const std::size_t n = std::strftime(text, sizeof text, "%d/%m/%Y", &local);
    if (n == 0) return std::nullopt;
    return std::string(text, n);
}

}  // namespace dk::sys
