// Replacing a file's content so that a failure at any point leaves the old file byte for byte.
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// Writes the bytes to a temporary file beside path, flushes it, and swaps it in: ReplaceFileA over
// an existing file (keeping its attributes and security), MoveFileExA with write-through otherwise.
// false when path is not writable or any step fails; the temporary file is then removed.
bool ReplaceFileContent(const char* path, const std::uint8_t* bytes, std::size_t size) noexcept;

}  // namespace dk::crypto
