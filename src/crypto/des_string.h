// Texts enciphered with DES in ECB mode: the plain DES string and the keyed string with header.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace dk::crypto {

using DesKeyBuffer = std::array<std::uint8_t, 16>;

// 16 zero bytes overwritten with the first (at most 16) bytes of key.
DesKeyBuffer MakeDesKeyBuffer(std::string_view key) noexcept;

// The text zero-padded to a multiple of 32 bytes, enciphered, as upper-case hexadecimal text.
std::string DesEncryptString(std::string_view text, std::string_view key);

// hex decoded (invalid digits count as 0) and deciphered piece by piece; the padding stays. The
// caller refuses odd lengths.
std::string DesDecryptString(std::string_view hex, std::string_view key);

// The raw 13 + M bytes of a keyed string: CRC-32 of bytes 4 onwards, the byte 1, field5 and the
// text length (little-endian), then the padded text enciphered under key.
std::string EncryptWithHeader(std::string_view text, std::string_view key, std::uint32_t field5);

// A keyed string under the library's fixed key, as upper-case hexadecimal text.
std::string EncryptHeaderString(std::string_view text);

}  // namespace dk::crypto
