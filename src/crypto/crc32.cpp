#include "crypto/crc32.h"

#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#define DK_CRC_CLMUL 1
#include <cpuid.h>
#include <immintrin.h>
#endif

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

// Advances the register (not complemented) over the bytes.
std::uint32_t UpdateTables(std::uint32_t c, const std::uint8_t* p, std::size_t length) noexcept {
    const auto& t = kTables;
    for (; length >= 16; length -= 16, p += 16) {
        const std::uint32_t a = Load32(p) ^ c, b = Load32(p + 4), d = Load32(p + 8), e = Load32(p + 12);
        c = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24] ^
            t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24] ^
            t[7][d & 0xFF] ^ t[6][(d >> 8) & 0xFF] ^ t[5][(d >> 16) & 0xFF] ^ t[4][d >> 24] ^ t[3][e & 0xFF] ^
            t[2][(e >> 8) & 0xFF] ^ t[1][(e >> 16) & 0xFF] ^ t[0][e >> 24];
    }
    for (; length; --length, ++p) c = (c >> 8) ^ t[0][(c ^ *p) & 0xFF];
    return c;
}

#ifdef DK_CRC_CLMUL
// Folding with carry-less multiplication (Gopal et al., "Fast CRC Computation for Generic
// Polynomials Using PCLMULQDQ"): four 128-bit lanes are folded 64 bytes at a time, then into one
// lane, then reduced to 32 bits by Barrett reduction. The constants are x^k mod P for the
// bit-reflected polynomial. length is a multiple of 16, at least 64.
#define DK_CLMUL __attribute__((target("pclmul,sse2")))

DK_CLMUL inline __m128i Load128(const std::uint8_t* q) noexcept {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q));
}

// x times x^k mod P for both of its halves, added to next.
DK_CLMUL inline __m128i Fold(__m128i x, __m128i k, __m128i next) noexcept {
    return _mm_xor_si128(_mm_xor_si128(_mm_clmulepi64_si128(x, k, 0x00), _mm_clmulepi64_si128(x, k, 0x11)),
                         next);
}

DK_CLMUL std::uint32_t UpdateCarryless(std::uint32_t crc, const std::uint8_t* p,
                                       std::size_t length) noexcept {
    const __m128i k1k2 = _mm_set_epi64x(0x01c6e41596, 0x0154442bd4);
    const __m128i k3k4 = _mm_set_epi64x(0x00ccaa009e, 0x01751997d0);
    const __m128i k5 = _mm_set_epi64x(0, 0x0163cd6124);
    const __m128i poly = _mm_set_epi64x(0x01f7011641, 0x01db710641);
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);

    __m128i x1 = _mm_xor_si128(Load128(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
    __m128i x2 = Load128(p + 16), x3 = Load128(p + 32), x4 = Load128(p + 48);
    p += 64;
    length -= 64;
    for (; length >= 64; p += 64, length -= 64) {
        x1 = Fold(x1, k1k2, Load128(p));
        x2 = Fold(x2, k1k2, Load128(p + 16));
        x3 = Fold(x3, k1k2, Load128(p + 32));
        x4 = Fold(x4, k1k2, Load128(p + 48));
    }
    x1 = Fold(x1, k3k4, x2);
    x1 = Fold(x1, k3k4, x3);
    x1 = Fold(x1, k3k4, x4);
    for (; length >= 16; p += 16, length -= 16) x1 = Fold(x1, k3k4, Load128(p));

    // 128 bits to 64, then to 32 by Barrett reduction.
    x2 = _mm_clmulepi64_si128(x1, k3k4, 0x10);
    x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), x2);
    x2 = _mm_srli_si128(x1, 4);
    x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k5, 0x00), x2);
    x2 = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), poly, 0x10), low32);
    x2 = _mm_clmulepi64_si128(x2, poly, 0x00);
    x1 = _mm_xor_si128(x1, x2);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_srli_si128(x1, 4)));
}
#undef DK_CLMUL
#endif

// Below this the table loop is as fast and needs no set-up.
constexpr std::size_t kCarrylessMinimum = 64;

}  // namespace

std::uint32_t Crc32Tables(const void* bytes, std::size_t length) noexcept {
    return UpdateTables(0xFFFFFFFFu, static_cast<const std::uint8_t*>(bytes), length) ^ 0xFFFFFFFFu;
}

bool HasCarrylessMultiply() noexcept {
#ifdef DK_CRC_CLMUL
    static const bool has = [] {
        unsigned a = 0, b = 0, c = 0, d = 0;
        return __get_cpuid(1, &a, &b, &c, &d) && (c & bit_PCLMUL) && (d & bit_SSE2);
    }();
    return has;
#else
    return false;
#endif
}

std::uint32_t Crc32Carryless(const void* bytes, std::size_t length) noexcept {
    const auto* p = static_cast<const std::uint8_t*>(bytes);
    std::uint32_t c = 0xFFFFFFFFu;
#ifdef DK_CRC_CLMUL
    if (length >= kCarrylessMinimum) {
        const std::size_t folded = length & ~std::size_t{15};
        c = UpdateCarryless(c, p, folded);
        p += folded;
        length -= folded;
    }
#endif
    return UpdateTables(c, p, length) ^ 0xFFFFFFFFu;
}

std::uint32_t Crc32(const void* bytes, std::size_t length) noexcept {
    return length >= kCarrylessMinimum && HasCarrylessMultiply() ? Crc32Carryless(bytes, length)
                                                                 : Crc32Tables(bytes, length);
}

}  // namespace dk::crypto
