// The encrypted file container: CRC-32 of a random 16-byte key, the key rotated by a few bits,
// then the zero-padded content enciphered with DES in ECB mode under the key's first 8 bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace dk::crypto {

inline constexpr std::size_t kContainerHeader = 20;
using ContainerKey = std::array<std::uint8_t, 16>;

// The 16 bytes as one 128-bit number, byte 0 most significant; bits leaving one end enter the
// other. bits is 0 to 7.
void RotateRight128(std::uint8_t bytes[16], unsigned bits) noexcept;
void RotateLeft128(std::uint8_t bytes[16], unsigned bits) noexcept;

// 16 values of the C library's generator, low 8 bits each; the generator is not reseeded.
ContainerKey DrawContainerKey() noexcept;

// The key a container header carries, when its CRC checks.
bool ContainerKeyFromHeader(const std::uint8_t header[kContainerHeader], ContainerKey& key) noexcept;

// Content that already has the layout the writer produces: 20 + a multiple of 32 bytes and a
// header whose key checks. Such content is not encrypted a second time.
bool IsRecognisedContainer(const std::uint8_t* content, std::size_t length) noexcept;

// container holds 20 header bytes, then the content zero-padded to a multiple of 32 bytes; writes
// the header and enciphers the rest in place.
void SealContainer(std::uint8_t* container, std::size_t size, const ContainerKey& key) noexcept;

// Checks the header and deciphers the bytes after it in place (the content plus its padding).
// false, and nothing changed, when the bytes are not a container.
bool OpenContainer(std::uint8_t* container, std::size_t size) noexcept;

}  // namespace dk::crypto
