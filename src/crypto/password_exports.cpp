// Password hashing: the digest of one password for the installer.
#include "crypto/password_digest.h"
#include "deploykit.h"
#include "frame/result.h"

extern "C" char* __cdecl MD5pwd(const char* password) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!password) return nullptr;
        char digest[dk::crypto::kDigestBuffer];
        dk::crypto::PasswordDigest(password, digest);
        return dk::NewResult(digest, 32);
    });
}
