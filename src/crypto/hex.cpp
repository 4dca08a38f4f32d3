#include "crypto/hex.h"

namespace dk::crypto {

char HexDigit(unsigned value) noexcept { return value > 15 ? 'Q' : "0123456789ABCDEF"[value]; }

int HexValue(char c) noexcept {
    if (c >= '1' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

std::size_t HexEncode(const std::uint8_t* bytes, std::size_t n, char* out) noexcept {
    for (std::size_t i = 0; i < n; ++i) {
        out[2 * i] = HexDigit(bytes[i] >> 4);
        out[2 * i + 1] = HexDigit(bytes[i] & 15);
    }
    return 2 * n;
}

std::size_t HexDecode(const char* text, std::size_t length, std::uint8_t* out) noexcept {
    std::size_t n = 0;
    for (std::size_t i = 0; i < length; i += 2, ++n) {
        const int low = i + 1 < length ? HexValue(text[i + 1]) : 0;
        out[n] = static_cast<std::uint8_t>(16 * HexValue(text[i]) + low);
    }
    return n;
}

}  // namespace dk::crypto
