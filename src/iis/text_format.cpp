#include "iis/text_format.h"

#include <cstdarg>
#include <cstdio>

namespace dk::iis {

std::string Format(const char* format, ...) {
    std::va_list args;
    va_start(args, format);
    std::va_list again;
    va_copy(again, args);
    const int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    std::string out;
    if (length > 0) {
        out.resize(static_cast<std::size_t>(length) + 1);
        std::vsnprintf(out.data(), out.size(), format, again);
        out.resize(static_cast<std::size_t>(length));
    }
    va_end(again);
    return out;
}

}  // namespace dk::iis
