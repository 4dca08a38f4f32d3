// Upper-case hexadecimal text, the form in which every encrypted result leaves the library.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// "0123456789ABCDEF"[value]; 'Q' for any value above 15.
char HexDigit(unsigned value) noexcept;
// 1-9, A-F, a-f give their values; every other character (0 included) gives 0.
int HexValue(char c) noexcept;
// 2n characters, high nibble first, no terminator; returns 2n.
std::size_t HexEncode(const std::uint8_t* bytes, std::size_t n, char* out) noexcept;
// One byte per pair of characters while 2i < length; an odd last digit pairs with a 0. Never
// reads past length. Returns the number of bytes written, (length + 1) / 2.
std::size_t HexDecode(const char* text, std::size_t length, std::uint8_t* out) noexcept;

}  // namespace dk::crypto
