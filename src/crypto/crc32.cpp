#include "crypto/crc32.h"

#include <array>
#include <bit>
#include <cstring>

namespace dk::crypto {
namespace {

static_assert(std::endian::native == std::endian::little, "the sliced CRC loop reads little-endian words");

// Slicing by 16: table t[k][b] is the register contribution of byte b followed by k zero bytes,
// so sixteen input bytes fold into the register with sixteen independent lookups.
using Tables = std::array<std::array<std::uint32_t, 256>, 16>;
constexpr Tables MakeTables() {
    Tables t{};
    for (std::uint32_t b = 0; b < 256; ++b) {
        std::uint32_t c = b;
        for (int i = 0; i < 8; ++i) c = (c & 1) ? (c >> 1) ^ 0xEDB88320u : c >> 1;
        t[0][b] = c;
    }
    for (int k = 1; k < 16; ++k)
        for (std::uint32_t b = 0; b < 256; ++b) t[k][b] = (t[k - 1][b] >> 8) ^ t[0][t[k - 1][b] & 0xFF];
    return t;
}
constexpr Tables kTables = MakeTables();

inline std::uint32_t Load32(const std::uint8_t* p) noexcept {
    std::uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

}  // namespace

std::uint32_t Crc32(const void* bytes, std::size_t length) noexcept {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    const auto& t = kTables;
    std::uint32_t c = 0xFFFFFFFFu;
    for (; length >= 16; length -= 16, p += 16) {
        const std::uint32_t a = Load32(p) ^ c, b = Load32(p + 4), d = Load32(p + 8), e = Load32(p + 12);
        c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
            t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
            t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^ t[3][e & 0xFF] ^
            t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    }
    for (; length; --length, ++p) c = (c >> 8) ^ t[0][(c ^ *p) & 0xFF];
    return c ^ 0xFFFFFFFFu;
}

}  // namespace dk::crypto
