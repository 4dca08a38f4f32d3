// Hexadecimal decoding and DES string decryption on arbitrary text and keys; enciphering what
// came out must give it back.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crypto/des_string.h"
#include "crypto/hex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t keyLength = data[0] % 24;
    if (size - 1 < keyLength) return 0;
    const std::string_view key(reinterpret_cast<const char*>(data + 1), keyLength);
    const std::string_view hex(reinterpret_cast<const char*>(data + 1 + keyLength), size - 1 - keyLength);

    std::string decoded((hex.size() + 1) / 2, '\0');
    if (dk::crypto::HexDecode(hex.data(), hex.size(), reinterpret_cast<std::uint8_t*>(decoded.data())) !=
        decoded.size())
        std::abort();
    if (hex.size() % 2 != 0) return 0;

    const std::string plain = dk::crypto::DesDecryptString(hex, key);
    if (plain.size() != hex.size() / 2) std::abort();
    const std::string again = dk::crypto::DesEncryptString(plain, key);
    if (plain.size() % 32 == 0 && dk::crypto::DesDecryptString(again, key) != plain) std::abort();
    return 0;
}
