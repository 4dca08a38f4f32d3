// Password digests of the product's user table: MD5 of the password with a-z upper-cased, as 32
// upper-case hexadecimal digits. A value that already is a digest keeps its value.
#pragma once

#include <cstddef>
#include <string_view>

namespace dk::crypto {

inline constexpr std::size_t kDigestBuffer = 33;  // 32 digits and a NUL

// Exactly 32 characters, each 0-9, a-f or A-F.
bool IsHexDigest(std::string_view text) noexcept;

// Writes the digest of password and a NUL into buffer (at least 33 bytes); returns 0.
int PasswordDigest(std::string_view password, char* buffer);

}  // namespace dk::crypto
