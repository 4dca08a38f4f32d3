// CRC-32 of ISO-HDLC / IEEE 802.3 / zlib (reflected polynomial 0xEDB88320).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// 0 for no bytes; 0xCBF43926 for the nine ASCII digits 1 to 9.
std::uint32_t Crc32(const void* bytes, std::size_t length) noexcept;

// The two ways Crc32 computes, exposed so both can be checked on any machine: table lookups
// sixteen bytes at a time, and carry-less multiplication on processors that have it.
std::uint32_t Crc32Tables(const void* bytes, std::size_t length) noexcept;
bool HasCarrylessMultiply() noexcept;
// Same value as Crc32Tables; only to be called when HasCarrylessMultiply().
std::uint32_t Crc32Carryless(const void* bytes, std::size_t length) noexcept;

}  // namespace dk::crypto
