#include "frame/result.h"

#include <cstdlib>
#include <cstring>

namespace dk {

char* NewResult(const char* bytes, std::size_t count) noexcept {
    auto* out = static_cast<char*>(std::malloc(count + 1));
    if (!out) return nullptr;
    if (count) std::memcpy(out, bytes, count);
    out[count] = '\0';
    return out;
}

char* NewResult(std::string_view text) noexcept { return NewResult(text.data(), text.size()); }

}  // namespace dk
