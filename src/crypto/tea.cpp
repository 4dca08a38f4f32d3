#include "crypto/tea.h"

namespace dk::crypto {
namespace {

constexpr std::uint32_t kDelta = 0x9E3779B9u;

inline std::uint32_t Load32(const std::uint8_t* p) noexcept {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}
inline void Store32(std::uint8_t* p, std::uint32_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
    p[2] = static_cast<std::uint8_t>(v >> 16);
    p[3] = static_cast<std::uint8_t>(v >> 24);
}

}  // namespace

void TeaEncipher(const std::uint8_t in[8], std::uint8_t out[8], const std::uint8_t key[16]) noexcept {
    std::uint32_t y = Load32(in), z = Load32(in + 4), sum = 0;
    const std::uint32_t k0 = Load32(key), k1 = Load32(key + 4), k2 = Load32(key + 8), k3 = Load32(key + 12);
    for (int cycle = 0; cycle < 32; ++cycle) {
        sum += kDelta;
        y += ((z << 4) + k0) ^ (z + sum) ^ ((z >> 5) + k1);
        z += ((y << 4) + k2) ^ (y + sum) ^ ((y >> 5) + k3);
    }
    Store32(out, y);
    Store32(out + 4, z);
}

void TeaDecipher(const std::uint8_t in[8], std::uint8_t out[8], const std::uint8_t key[16]) noexcept {
    std::uint32_t y = Load32(in), z = Load32(in + 4), sum = kDelta * 32;
    const std::uint32_t k0 = Load32(key), k1 = Load32(key + 4), k2 = Load32(key + 8), k3 = Load32(key + 12);
    for (int cycle = 0; cycle < 32; ++cycle) {
        z -= ((y << 4) + k2) ^ (y + sum) ^ ((y >> 5) + k3);
        y -= ((z << 4) + k0) ^ (z + sum) ^ ((z >> 5) + k1);
        sum -= kDelta;
    }
    Store32(out, y);
    Store32(out + 4, z);
}

}  // namespace dk::crypto
