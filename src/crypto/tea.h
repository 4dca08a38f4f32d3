// TEA block cipher in its first published form (32 cycles, delta 0x9E3779B9).
#pragma once

#include <cstdint>

namespace dk::crypto {

// One 8-byte block (two little-endian words) under a 16-byte key (four little-endian words).
// in and out may be the same buffer.
void TeaEncipher(const std::uint8_t in[8], std::uint8_t out[8], const std::uint8_t key[16]) noexcept;
void TeaDecipher(const std::uint8_t in[8], std::uint8_t out[8], const std::uint8_t key[16]) noexcept;

}  // namespace dk::crypto
