// String encryption exports: TEA frames, DES strings and keyed strings with header.
#include <cstring>
#include <ctime>
#include <string>

#include "crypto/des_string.h"
#include "crypto/tea_string.h"
#include "deploykit.h"
#include "frame/result.h"

namespace {

char* Result(const std::string& text) { return dk::NewResult(text); }

}  // namespace

extern "C" char* __cdecl cryptStringTEA(const char* text) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!text) return nullptr;
        return Result(dk::crypto::EncryptTeaString(text, static_cast<unsigned>(std::time(nullptr))));
    });
}

// Every input that does not decode comes back as a copy, so the caller compares the result with
// what it passed; a missing access code is a wrong one.
extern "C" char* __cdecl decryptStringTEA(const char* hexText, const char* accessCode) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!hexText) return nullptr;
        if (!accessCode || std::strcmp(accessCode, dk::crypto::kTeaAccessCode) != 0)
            return dk::NewResult(hexText);
        const auto text = dk::crypto::DecryptTeaString(hexText);
        return text ? Result(*text) : dk::NewResult(hexText);
    });
}

extern "C" char* __cdecl cryptString(const char* text, const char* key) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!text || !key) return nullptr;
        return Result(dk::crypto::DesEncryptString(text, key));
    });
}

extern "C" char* __cdecl decryptString(const char* hexText, const char* key) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!hexText || !key) return nullptr;
        const std::size_t length = std::strlen(hexText);
        if (length % 2 != 0) return nullptr;
        return Result(dk::crypto::DesDecryptString(std::string_view(hexText, length), key));
    });
}

extern "C" char* __cdecl pyx_cryptString(const char* text) noexcept {
    return dk::guarded<char*>(nullptr, [&]() -> char* {
        if (!text || !*text) return nullptr;
        return Result(dk::crypto::EncryptHeaderString(text));
    });
}
