#include "crypto/des_string.h"

#include "crypto/crc32.h"
#include "crypto/des.h"
#include "crypto/hex.h"
#include "crypto/padding.h"

namespace dk::crypto {
namespace {

// The fixed key of the keyed strings. Only the first 8 bytes take part in the cipher; changing
// them makes every keyed string written before unreadable to whoever holds the key.
constexpr char kHeaderStringKey[16] = {'d', 'K', '7', '#', 'q', 'V', '2', '!',
                                       'x', 'L', '9', '$', 'm', 'P', '4', '&'};

void StoreLittle(std::uint8_t* p, std::uint32_t v) noexcept {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

std::string ToHex(const std::uint8_t* bytes, std::size_t n) {
    std::string hex(2 * n, '\0');
    HexEncode(bytes, n, hex.data());
    return hex;
}

}  // namespace

DesKeyBuffer MakeDesKeyBuffer(std::string_view key) noexcept {
    DesKeyBuffer buffer{};
    key.copy(reinterpret_cast<char*>(buffer.data()), buffer.size());
    return buffer;
}

std::string DesEncryptString(std::string_view text, std::string_view key) {
    std::string bytes(PaddedLength(text.size()), '\0');
    text.copy(bytes.data(), text.size());
    const DesKeyBuffer k = MakeDesKeyBuffer(key);
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    DesEcbCryptPieces(p, bytes.size(), k.data(), kEncipher);
    return ToHex(p, bytes.size());
}

std::string DesDecryptString(std::string_view hex, std::string_view key) {
    std::string bytes((hex.size() + 1) / 2, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(bytes.data());
    HexDecode(hex.data(), hex.size(), p);
    const DesKeyBuffer k = MakeDesKeyBuffer(key);
    DesEcbCryptPieces(p, bytes.size(), k.data(), kDecipher);
    return bytes;
}

std::string EncryptWithHeader(std::string_view text, std::string_view key, std::uint32_t field5) {
    const std::size_t m = PaddedLength(text.size());
    std::string out(13 + m, '\0');
    auto* p = reinterpret_cast<std::uint8_t*>(out.data());
    text.copy(out.data() + 13, text.size());
    const DesKeyBuffer k = MakeDesKeyBuffer(key);
    DesEcbCryptPieces(p + 13, m, k.data(), kEncipher);
    p[4] = 1;
    StoreLittle(p + 5, field5);
    StoreLittle(p + 9, static_cast<std::uint32_t>(text.size()));
    StoreLittle(p, Crc32(p + 4, 9 + m));
    return out;
}

std::string EncryptHeaderString(std::string_view text) {
    char key[16];
    for (std::size_t i = 0; i < sizeof key; ++i) key[i] = kHeaderStringKey[i];
    const std::string raw = EncryptWithHeader(text, std::string_view(key, sizeof key), 0);
    return ToHex(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
}

}  // namespace dk::crypto
