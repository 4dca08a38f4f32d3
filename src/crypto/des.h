// DES (FIPS 46-3) in ECB mode over caller buffers, in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

inline constexpr int kDecipher = 0;
inline constexpr int kEncipher = 1;
// Callers with longer buffers cut them into pieces of this size (the largest multiple of 32 below
// 65,536), so a length always fits the cipher's 16-bit count.
inline constexpr std::size_t kDesPiece = 0xFFE0;

// Enciphers (direction 1) or deciphers (0) length bytes in place under key bytes 0-7 of a 16-byte
// key buffer; parity bits are ignored. 1 when done or nothing to do, 0 (buffer untouched) when
// length is not a multiple of 8.
int DesEcbCrypt(std::uint8_t* buffer, std::uint16_t length, const std::uint8_t key[16],
                int direction) noexcept;

// The whole buffer, piece by piece: a last piece that is not a multiple of 8 stays as it was.
void DesEcbCryptPieces(std::uint8_t* buffer, std::size_t length, const std::uint8_t key[16],
                       int direction) noexcept;

}  // namespace dk::crypto
