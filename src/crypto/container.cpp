#include "crypto/container.h"

#include <cstdlib>

#include "crypto/crc32.h"
#include "crypto/des.h"
#include "crypto/padding.h"

namespace dk::crypto {
namespace {

// The rotation count travels in the CRC: the low 3 bits of its second most significant byte.
unsigned RotationOf(std::uint32_t crc) noexcept { return (crc >> 8) & 7; }

std::uint32_t LoadBig(const std::uint8_t* p) noexcept {
    return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

void RotateRight128(std::uint8_t bytes[16], unsigned bits) noexcept {
    bits &= 7;
    if (!bits) return;
    const std::uint8_t carry = bytes[15];
    for (int i = 15; i > 0; --i)
        bytes[i] = static_cast<std::uint8_t>((bytes[i] >> bits) | (bytes[i - 1] << (8 - bits)));
    bytes[0] = static_cast<std::uint8_t>((bytes[0] >> bits) | (carry << (8 - bits)));
}

void RotateLeft128(std::uint8_t bytes[16], unsigned bits) noexcept {
    bits &= 7;
    if (!bits) return;
    const std::uint8_t carry = bytes[0];
    for (int i = 0; i < 15; ++i)
        bytes[i] = static_cast<std::uint8_t>((bytes[i] << bits) | (bytes[i + 1] >> (8 - bits)));
    bytes[15] = static_cast<std::uint8_t>((bytes[15] << bits) | (carry >> (8 - bits)));
}

ContainerKey DrawContainerKey() noexcept {
    ContainerKey key{};
    for (auto& b : key) b = static_cast<std::uint8_t>(std::rand() & 0xFF);
    return key;
}

bool ContainerKeyFromHeader(const std::uint8_t header[kContainerHeader], ContainerKey& key) noexcept {
    const std::uint32_t crc = LoadBig(header);
    for (std::size_t i = 0; i < key.size(); ++i) key[i] = header[4 + i];
    RotateLeft128(key.data(), RotationOf(crc));
    return Crc32(key.data(), key.size()) == crc;
}

bool IsRecognisedContainer(const std::uint8_t* content, std::size_t length) noexcept {
    if (length < kContainerHeader || (length - kContainerHeader) % kPadUnit != 0) return false;
    ContainerKey key;
    return ContainerKeyFromHeader(content, key);
}

void SealContainer(std::uint8_t* container, std::size_t size, const ContainerKey& key) noexcept {
    const std::uint32_t crc = Crc32(key.data(), key.size());
    for (int i = 0; i < 4; ++i) container[i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
    for (std::size_t i = 0; i < key.size(); ++i) container[4 + i] = key[i];
    RotateRight128(container + 4, RotationOf(crc));
    DesEcbCryptPieces(container + kContainerHeader, size - kContainerHeader, key.data(), kEncipher);
}

bool OpenContainer(std::uint8_t* container, std::size_t size) noexcept {
    if (!IsRecognisedContainer(container, size)) return false;
    ContainerKey key;
    ContainerKeyFromHeader(container, key);
    DesEcbCryptPieces(container + kContainerHeader, size - kContainerHeader, key.data(), kDecipher);
    return true;
}

}  // namespace dk::crypto
