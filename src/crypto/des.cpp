#include "crypto/des.h"

#include <array>
#include <bit>
#include <cstring>

namespace dk::crypto {
namespace {

// The standard's tables, numbered from 1 as it prints them.
constexpr std::uint8_t kSBox[8][64] = {
    {14, 4,  13, 1, 2,  15, 11, 8, 3, 10, 6, 12, 5,  9,  0,  7,  0,  15, 7,  4,  14, 2,
     13, 1,  10, 6, 12, 11, 9,  5, 3, 8,  4, 1,  14, 8,  13, 6,  2,  11, 15, 12, 9,  7,
     3,  10, 5,  0, 15, 12, 8,  2, 4, 9,  1, 7,  5,  11, 3,  14, 10, 0,  6,  13},
    {15, 1,  8,  14, 6,  11, 3,  4, 9,  7,  2, 13, 12, 0,  5,  10, 3,  13, 4,  7, 15, 2,
     8,  14, 12, 0,  1,  10, 6,  9, 11, 5,  0, 14, 7,  11, 10, 4,  13, 1,  5,  8, 12, 6,
     9,  3,  2,  15, 13, 8,  10, 1, 3,  15, 4, 2,  11, 6,  7,  12, 0,  5,  14, 9},
    {10, 0,  9,  14, 6, 3,  15, 5,  1,  13, 12, 7, 11, 4,  2,  8,  13, 7, 0,  9, 3, 4,
     6,  10, 2,  8,  5, 14, 12, 11, 15, 1,  13, 6, 4,  9,  8,  15, 3,  0, 11, 1, 2, 12,
     5,  10, 14, 7,  1, 10, 13, 0,  6,  9,  8,  7, 4,  15, 14, 3,  11, 5, 2,  12},
    {7, 13, 14, 3, 0, 6,  9, 10, 1,  2, 8,  5, 11, 12, 4,  15, 13, 8,  11, 5, 6, 15,
     0, 3,  4,  7, 2, 12, 1, 10, 14, 9, 10, 6, 9,  0,  12, 11, 7,  13, 15, 1, 3, 14,
     5, 2,  8,  4, 3, 15, 0, 6,  10, 1, 13, 8, 9,  4,  5,  11, 12, 7,  2,  14},
    {2,  12, 4, 1,  7,  10, 11, 6, 8, 5,  3, 15, 13, 0,  14, 9,  14, 11, 2,  12, 4,  7,
     13, 1,  5, 0,  15, 10, 3,  9, 8, 6,  4, 2,  1,  11, 10, 13, 7,  8,  15, 9,  12, 5,
     6,  3,  0, 14, 11, 8,  12, 7, 1, 14, 2, 13, 6,  15, 0,  9,  10, 4,  5,  3},
    {12, 1,  10, 15, 9,  2,  6, 8,  0, 13, 3,  4,  14, 7,  5, 11, 10, 15, 4, 2, 7, 12,
     9,  5,  6,  1,  13, 14, 0, 11, 3, 8,  9,  14, 15, 5,  2, 8,  12, 3,  7, 0, 4, 10,
     1,  13, 11, 6,  4,  3,  2, 12, 9, 5,  15, 10, 11, 14, 1, 7,  6,  0,  8, 13},
    {4, 11, 2,  14, 15, 0,  8,  13, 3, 12, 9,  7, 5,  10, 6,  1,  13, 0,  11, 7,  4, 9,
     1, 10, 14, 3,  5,  12, 2,  15, 8, 6,  1,  4, 11, 13, 12, 3,  7,  14, 10, 15, 6, 8,
     0, 5,  9,  2,  6,  11, 13, 8,  1, 4,  10, 7, 9,  5,  0,  15, 14, 2,  3,  12},
    {13, 2, 8,  4, 6, 15, 11, 1,  10, 9,  3, 14, 5,  0,  12, 7,  1,  15, 13, 8, 10, 3,
     7,  4, 12, 5, 6, 11, 0,  14, 9,  2,  7, 11, 4,  1,  9,  12, 14, 2,  0,  6, 10, 13,
     15, 3, 5,  8, 2, 1,  14, 7,  4,  10, 8, 13, 15, 12, 9,  0,  3,  5,  6,  11},
};
constexpr std::uint8_t kP[32] = {16, 7, 20, 21, 29, 12, 28, 17, 1,  15, 23, 26, 5,  18, 31, 10,
                                 2,  8, 24, 14, 32, 27, 3,  9,  19, 13, 30, 6,  22, 11, 4,  25};
constexpr std::uint8_t kPc1[56] = {57, 49, 41, 33, 25, 17, 9,  1,  58, 50, 42, 34, 26, 18, 10, 2,  59, 51, 43,
                                   35, 27, 19, 11, 3,  60, 52, 44, 36, 63, 55, 47, 39, 31, 23, 15, 7,  62, 54,
                                   46, 38, 30, 22, 14, 6,  61, 53, 45, 37, 29, 21, 13, 5,  28, 20, 12, 4};
constexpr std::uint8_t kPc2[48] = {14, 17, 11, 24, 1,  5,  3,  28, 15, 6,  21, 10, 23, 19, 12, 4,
                                   26, 8,  16, 7,  27, 20, 13, 2,  41, 52, 31, 37, 47, 55, 30, 40,
                                   51, 45, 33, 48, 44, 49, 39, 56, 34, 53, 46, 42, 50, 36, 29, 32};
constexpr std::uint8_t kShifts[16] = {1, 1, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 1};

// S-box i followed by the permutation P, for every 6-bit input, kept rotated left by one bit:
// the rounds work on halves rotated that way so that each expansion group is a plain byte field.
using SpTable = std::array<std::array<std::uint32_t, 64>, 8>;
constexpr SpTable MakeSpTable() {
    SpTable sp{};
    for (int box = 0; box < 8; ++box) {
        for (int in = 0; in < 64; ++in) {
            const int row = ((in >> 4) & 2) | (in & 1);
            const int column = (in >> 1) & 15;
            const std::uint32_t nibble = kSBox[box][row * 16 + column];
            // S-box output bit b (1 = most significant of the nibble) is P input bit 4*box + b.
            std::uint32_t out = 0;
            for (int j = 0; j < 32; ++j) {
                const int source = kP[j] - 1;  // 0-based P input bit
                if (source / 4 != box) continue;
                if (nibble & (8u >> (source % 4))) out |= 0x80000000u >> j;
            }
            sp[box][in] = std::rotl(out, 1);
        }
    }
    return sp;
}
constexpr SpTable kSp = MakeSpTable();

// Round keys: for each round two words holding the eight 6-bit groups of the 48-bit subkey, the
// even groups (1, 3, 5, 7 counted from 1) in the first word and the odd ones in the second, each
// group in its own byte, matching the halves' rotated layout.
using Schedule = std::array<std::uint32_t, 32>;

Schedule MakeSchedule(const std::uint8_t key[8], bool decipher) noexcept {
    auto keyBit = [&](int n) { return (key[(n - 1) / 8] >> (7 - (n - 1) % 8)) & 1; };
    std::uint32_t c = 0, d = 0;  // 28 bits each
    for (int i = 0; i < 28; ++i) {
        c = (c << 1) | keyBit(kPc1[i]);
        d = (d << 1) | keyBit(kPc1[i + 28]);
    }
    Schedule schedule{};
    for (int round = 0; round < 16; ++round) {
        for (int s = 0; s < kShifts[round]; ++s) {
            c = ((c << 1) | (c >> 27)) & 0x0FFFFFFF;
            d = ((d << 1) | (d >> 27)) & 0x0FFFFFFF;
        }
        const std::uint64_t cd = (std::uint64_t{c} << 28) | d;  // bit 1 of CD is bit 55
        std::uint32_t groups[8] = {};
        for (int i = 0; i < 48; ++i) {
            const std::uint32_t bit = (cd >> (56 - kPc2[i])) & 1;
            groups[i / 6] |= bit << (5 - i % 6);
        }
        const int slot = decipher ? 15 - round : round;
        schedule[2 * slot] = (groups[0] << 24) | (groups[2] << 16) | (groups[4] << 8) | groups[6];
        schedule[2 * slot + 1] = (groups[1] << 24) | (groups[3] << 16) | (groups[5] << 8) | groups[7];
    }
    return schedule;
}

inline std::uint32_t LoadBig(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}
inline void StoreBig(std::uint8_t* p, std::uint32_t v) noexcept {
    p[0] = static_cast<std::uint8_t>(v >> 24);
    p[1] = static_cast<std::uint8_t>(v >> 16);
    p[2] = static_cast<std::uint8_t>(v >> 8);
    p[3] = static_cast<std::uint8_t>(v);
}

// Swaps the bits of a selected by mask (shifted by n) with those of b: the building block of the
// initial and final permutations.
inline void SwapBits(std::uint32_t& a, std::uint32_t& b, int n, std::uint32_t mask) noexcept {
    const std::uint32_t t = ((a >> n) ^ b) & mask;
    b ^= t;
    a ^= t << n;
}

// Initial permutation; leaves both halves rotated left by one bit.
inline void InitialPermutation(std::uint32_t& left, std::uint32_t& right) noexcept {
    SwapBits(left, right, 4, 0x0F0F0F0F);
    SwapBits(left, right, 16, 0x0000FFFF);
    SwapBits(right, left, 2, 0x33333333);
    SwapBits(right, left, 8, 0x00FF00FF);
    right = std::rotl(right, 1);
    const std::uint32_t t = (left ^ right) & 0xAAAAAAAA;
    left ^= t;
    right ^= t;
    left = std::rotl(left, 1);
}

// Inverse of the initial permutation applied to right || left: the output block is right, left.
inline void FinalPermutation(std::uint32_t& left, std::uint32_t& right) noexcept {
    right = std::rotr(right, 1);
    const std::uint32_t t = (left ^ right) & 0xAAAAAAAA;
    left ^= t;
    right ^= t;
    left = std::rotr(left, 1);
    SwapBits(left, right, 8, 0x00FF00FF);
    SwapBits(left, right, 2, 0x33333333);
    SwapBits(right, left, 16, 0x0000FFFF);
    SwapBits(right, left, 4, 0x0F0F0F0F);
}

inline std::uint32_t F(std::uint32_t right, const std::uint32_t* k) noexcept {
    std::uint32_t w = std::rotr(right, 4) ^ k[0];
    std::uint32_t f =
        kSp[6][w & 0x3F] | kSp[4][(w >> 8) & 0x3F] | kSp[2][(w >> 16) & 0x3F] | kSp[0][(w >> 24) & 0x3F];
    w = right ^ k[1];
    f |= kSp[7][w & 0x3F] | kSp[5][(w >> 8) & 0x3F] | kSp[3][(w >> 16) & 0x3F] | kSp[1][(w >> 24) & 0x3F];
    return f;
}

// Two blocks side by side: ECB blocks are independent, and interleaving them keeps the table
// lookups of one block busy while the other waits.
inline void CryptTwo(std::uint8_t* a, std::uint8_t* b, const Schedule& ks) noexcept {
    std::uint32_t la = LoadBig(a), ra = LoadBig(a + 4), lb = LoadBig(b), rb = LoadBig(b + 4);
    InitialPermutation(la, ra);
    InitialPermutation(lb, rb);
    for (int round = 0; round < 16; round += 2) {
        const std::uint32_t* k = ks.data() + 2 * round;
        la ^= F(ra, k);
        lb ^= F(rb, k);
        ra ^= F(la, k + 2);
        rb ^= F(lb, k + 2);
    }
    FinalPermutation(la, ra);
    FinalPermutation(lb, rb);
    StoreBig(a, ra);
    StoreBig(a + 4, la);
    StoreBig(b, rb);
    StoreBig(b + 4, lb);
}

inline void CryptOne(std::uint8_t* a, const Schedule& ks) noexcept {
    std::uint32_t l = LoadBig(a), r = LoadBig(a + 4);
    InitialPermutation(l, r);
    for (int round = 0; round < 16; round += 2) {
        const std::uint32_t* k = ks.data() + 2 * round;
        l ^= F(r, k);
        r ^= F(l, k + 2);
    }
    FinalPermutation(l, r);
    StoreBig(a, r);
    StoreBig(a + 4, l);
}

}  // namespace

int DesEcbCrypt(std::uint8_t* buffer, std::uint16_t length, const std::uint8_t key[16],
                int direction) noexcept {
    if (length == 0) return 1;
    if (length % 8 != 0) return 0;
    const Schedule ks = MakeSchedule(key, direction == kDecipher);
    std::size_t at = 0;
    for (; at + 16 <= length; at += 16) CryptTwo(buffer + at, buffer + at + 8, ks);
    if (at < length) CryptOne(buffer + at, ks);
    return 1;
}

void DesEcbCryptPieces(std::uint8_t* buffer, std::size_t length, const std::uint8_t key[16],
                       int direction) noexcept {
    for (std::size_t at = 0; at < length; at += kDesPiece) {
        const std::size_t piece = length - at < kDesPiece ? length - at : kDesPiece;
        DesEcbCrypt(buffer + at, static_cast<std::uint16_t>(piece), key, direction);
    }
}

}  // namespace dk::crypto
