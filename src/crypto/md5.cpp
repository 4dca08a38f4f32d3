#include "crypto/md5.h"

#include <bit>
#include <cstring>

namespace dk::crypto {
namespace {

inline std::uint32_t Load32(const unsigned char* p) noexcept {
    return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
           (std::uint32_t{p[3]} << 24);
}

#define DK_MD5_STEP(f, a, b, c, d, x, t, s) (a) = std::rotl((a) + f((b), (c), (d)) + (x) + (t), (s)) + (b)
#define DK_MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define DK_MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define DK_MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define DK_MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))

void Compress(std::uint32_t state[4], const unsigned char* block) noexcept {
    std::uint32_t x[16];
    for (int i = 0; i < 16; ++i) x[i] = Load32(block + 4 * i);
    std::uint32_t a = state[0], b = state[1], c = state[2], d = state[3];

    DK_MD5_STEP(DK_MD5_F, a, b, c, d, x[0], 0xd76aa478, 7);
    DK_MD5_STEP(DK_MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12);
    DK_MD5_STEP(DK_MD5_F, c, d, a, b, x[2], 0x242070db, 17);
    DK_MD5_STEP(DK_MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22);
    DK_MD5_STEP(DK_MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7);
    DK_MD5_STEP(DK_MD5_F, d, a, b, c, x[5], 0x4787c62a, 12);
    DK_MD5_STEP(DK_MD5_F, c, d, a, b, x[6], 0xa8304613, 17);
    DK_MD5_STEP(DK_MD5_F, b, c, d, a, x[7], 0xfd469501, 22);
    DK_MD5_STEP(DK_MD5_F, a, b, c, d, x[8], 0x698098d8, 7);
    DK_MD5_STEP(DK_MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12);
    DK_MD5_STEP(DK_MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17);
    DK_MD5_STEP(DK_MD5_F, b, c, d, a, x[11], 0x895cd7be, 22);
    DK_MD5_STEP(DK_MD5_F, a, b, c, d, x[12], 0x6b901122, 7);
    DK_MD5_STEP(DK_MD5_F, d, a, b, c, x[13], 0xfd987193, 12);
    DK_MD5_STEP(DK_MD5_F, c, d, a, b, x[14], 0xa679438e, 17);
    DK_MD5_STEP(DK_MD5_F, b, c, d, a, x[15], 0x49b40821, 22);

    DK_MD5_STEP(DK_MD5_G, a, b, c, d, x[1], 0xf61e2562, 5);
    DK_MD5_STEP(DK_MD5_G, d, a, b, c, x[6], 0xc040b340, 9);
    DK_MD5_STEP(DK_MD5_G, c, d, a, b, x[11], 0x265e5a51, 14);
    DK_MD5_STEP(DK_MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20);
    DK_MD5_STEP(DK_MD5_G, a, b, c, d, x[5], 0xd62f105d, 5);
    DK_MD5_STEP(DK_MD5_G, d, a, b, c, x[10], 0x02441453, 9);
    DK_MD5_STEP(DK_MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14);
    DK_MD5_STEP(DK_MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20);
    DK_MD5_STEP(DK_MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5);
    DK_MD5_STEP(DK_MD5_G, d, a, b, c, x[14], 0xc33707d6, 9);
    DK_MD5_STEP(DK_MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14);
    DK_MD5_STEP(DK_MD5_G, b, c, d, a, x[8], 0x455a14ed, 20);
    DK_MD5_STEP(DK_MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5);
    DK_MD5_STEP(DK_MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9);
    DK_MD5_STEP(DK_MD5_G, c, d, a, b, x[7], 0x676f02d9, 14);
    DK_MD5_STEP(DK_MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20);

    DK_MD5_STEP(DK_MD5_H, a, b, c, d, x[5], 0xfffa3942, 4);
    DK_MD5_STEP(DK_MD5_H, d, a, b, c, x[8], 0x8771f681, 11);
    DK_MD5_STEP(DK_MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16);
    DK_MD5_STEP(DK_MD5_H, b, c, d, a, x[14], 0xfde5380c, 23);
    DK_MD5_STEP(DK_MD5_H, a, b, c, d, x[1], 0xa4beea44, 4);
    DK_MD5_STEP(DK_MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11);
    DK_MD5_STEP(DK_MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16);
    DK_MD5_STEP(DK_MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23);
    DK_MD5_STEP(DK_MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4);
    DK_MD5_STEP(DK_MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11);
    DK_MD5_STEP(DK_MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16);
    DK_MD5_STEP(DK_MD5_H, b, c, d, a, x[6], 0x04881d05, 23);
    DK_MD5_STEP(DK_MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4);
    DK_MD5_STEP(DK_MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11);
    DK_MD5_STEP(DK_MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16);
    DK_MD5_STEP(DK_MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23);

    DK_MD5_STEP(DK_MD5_I, a, b, c, d, x[0], 0xf4292244, 6);
    DK_MD5_STEP(DK_MD5_I, d, a, b, c, x[7], 0x432aff97, 10);
    DK_MD5_STEP(DK_MD5_I, c, d, a, b, x[14], 0xab9423a7, 15);
    DK_MD5_STEP(DK_MD5_I, b, c, d, a, x[5], 0xfc93a039, 21);
    DK_MD5_STEP(DK_MD5_I, a, b, c, d, x[12], 0x655b59c3, 6);
    DK_MD5_STEP(DK_MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10);
    DK_MD5_STEP(DK_MD5_I, c, d, a, b, x[10], 0xffeff47d, 15);
    DK_MD5_STEP(DK_MD5_I, b, c, d, a, x[1], 0x85845dd1, 21);
    DK_MD5_STEP(DK_MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6);
    DK_MD5_STEP(DK_MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10);
    DK_MD5_STEP(DK_MD5_I, c, d, a, b, x[6], 0xa3014314, 15);
    DK_MD5_STEP(DK_MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21);
    DK_MD5_STEP(DK_MD5_I, a, b, c, d, x[4], 0xf7537e82, 6);
    DK_MD5_STEP(DK_MD5_I, d, a, b, c, x[11], 0xbd3af235, 10);
    DK_MD5_STEP(DK_MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15);
    DK_MD5_STEP(DK_MD5_I, b, c, d, a, x[9], 0xeb86d391, 21);

    state[0] += a;
    state[1] += b;
    state[2] += c;
    state[3] += d;
}

#undef DK_MD5_STEP
#undef DK_MD5_F
#undef DK_MD5_G
#undef DK_MD5_H
#undef DK_MD5_I

}  // namespace

Md5Bytes Md5Digest(std::string_view bytes) noexcept {
    std::uint32_t state[4] = {0x67452301, 0xefcdab89, 0x98badcfe, 0x10325476};
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    std::size_t n = bytes.size();
    const std::uint64_t bitLength = static_cast<std::uint64_t>(n) * 8;
    for (; n >= 64; n -= 64, p += 64) Compress(state, p);

    // Last data bytes, the 0x80 marker, zeros, and the bit length in one or two final blocks.
    unsigned char tail[128] = {};
    if (n) std::memcpy(tail, p, n);
    tail[n] = 0x80;
    const std::size_t tailLength = n < 56 ? 64 : 128;
    for (int i = 0; i < 8; ++i) tail[tailLength - 8 + i] = static_cast<unsigned char>(bitLength >> (8 * i));
    Compress(state, tail);
    if (tailLength == 128) Compress(state, tail + 64);

    Md5Bytes out{};
    for (int i = 0; i < 16; ++i) out[i] = static_cast<std::uint8_t>(state[i / 4] >> (8 * (i % 4)));
    return out;
}

}  // namespace dk::crypto
