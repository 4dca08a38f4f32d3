// Encrypted files: converting a file into the encrypted container in place.
#include "crypto/container_file.h"
#include "deploykit.h"
#include "frame/result.h"

extern "C" int __cdecl cryptFile(const char* path) noexcept {
    return dk::guarded(dk::crypto::kContainerNotRead, [&] { return dk::crypto::EncryptFileInPlace(path); });
}
