#include "crypto/tea_string.h"

#include <cstdlib>
#include <utility>
#include <vector>

#include "crypto/crc32.h"
#include "crypto/hex.h"
#include "crypto/tea.h"

namespace dk::crypto {
namespace {

// The library's fixed TEA key. Changing it makes every text encrypted before undecodable.
constexpr std::uint8_t kTeaKey[16] = {0x3B, 0xA1, 0x5C, 0x07, 0xE2, 0x94, 0x6D, 0x18,
                                      0xC5, 0x2F, 0x80, 0x71, 0x4E, 0xD9, 0x36, 0xAB};

}  // namespace

std::string EncryptTeaString(std::string_view text, unsigned seed) {
    std::srand(seed);
    const std::size_t t = text.size();
    const std::size_t pad = (t < 3 ? 4 - t : 0) + static_cast<std::size_t>(std::rand() % 4) + 1;
    const std::size_t n = pad + t + 5;

    std::vector<std::uint8_t> frame(n);
    frame[0] = static_cast<std::uint8_t>(pad);
    for (std::size_t i = 1; i <= pad; ++i) frame[i] = static_cast<std::uint8_t>(std::rand() & 0xFF);
    if (t) text.copy(reinterpret_cast<char*>(frame.data()) + 1 + pad, t);
    const std::uint32_t crc = Crc32(frame.data(), n - 4);
    for (int i = 0; i < 4; ++i) frame[n - 4 + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));

    return EncipherTeaFrame(std::move(frame));
}

std::string EncipherTeaFrame(std::vector<std::uint8_t> frame) {
    // One block per byte offset: each window overlaps the previous one by seven bytes.
    const std::size_t n = frame.size();
    for (std::size_t k = 0; k + 8 <= n; ++k) TeaEncipher(&frame[k], &frame[k], kTeaKey);
    std::string hex(2 * n, '\0');
    HexEncode(frame.data(), n, hex.data());
    return hex;
}

std::optional<std::string> DecryptTeaString(std::string_view hex) {
    if (hex.size() < 16 || hex.size() % 2 != 0) return std::nullopt;
    const std::size_t n = hex.size() / 2;
    std::vector<std::uint8_t> frame(n);
    HexDecode(hex.data(), hex.size(), frame.data());

    for (std::size_t k = n - 8 + 1; k-- > 0;) TeaDecipher(&frame[k], &frame[k], kTeaKey);

    std::uint32_t stored = 0;
    for (int i = 0; i < 4; ++i) stored = (stored << 8) | frame[n - 4 + i];
    if (stored != Crc32(frame.data(), n - 4)) return std::nullopt;
    const std::size_t pad = frame[0];
    if (pad + 5 > n) return std::nullopt;
    return std::string(reinterpret_cast<const char*>(frame.data()) + pad + 1, n - pad - 5);
}

}  // namespace dk::crypto
