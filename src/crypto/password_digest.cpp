#include "crypto/password_digest.h"

#include <string>

#include "crypto/hex.h"
#include "crypto/md5.h"

namespace dk::crypto {
namespace {

bool IsHexCharacter(char c) noexcept {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// Only a-z change, whatever the process locale says.
char UpperAscii(char c) noexcept { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

bool IsHexDigest(std::string_view text) noexcept {
    if (text.size() != 32) return false;
    for (char c : text)
        if (!IsHexCharacter(c)) return false;
    return true;
}

int PasswordDigest(std::string_view password, char* buffer) {
    if (IsHexDigest(password)) {
        for (std::size_t i = 0; i < 32; ++i) buffer[i] = UpperAscii(password[i]);
        buffer[32] = '\0';
        return 0;
    }
    std::string upper(password);
    for (char& c : upper) c = UpperAscii(c);
    const Md5Bytes digest = Md5Digest(upper);
    HexEncode(digest.data(), digest.size(), buffer);
    buffer[32] = '\0';
    return 0;
}

}  // namespace dk::crypto
