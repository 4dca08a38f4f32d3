// MD5 message digest (RFC 1321).
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace dk::crypto {

using Md5Bytes = std::array<std::uint8_t, 16>;

Md5Bytes Md5Digest(std::string_view bytes) noexcept;

}  // namespace dk::crypto
