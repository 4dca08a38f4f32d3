// CRC-32 of ISO-HDLC / IEEE 802.3 / zlib (reflected polynomial 0xEDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// 0 for no bytes; 0xCBF43926 for the nine ASCII digits 1 to 9.
std::uint32_t Crc32(const void* bytes, std::size_t length) noexcept;

}  // namespace dk::crypto
