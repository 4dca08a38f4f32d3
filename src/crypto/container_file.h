// Writing the encrypted file container to disk (Windows).
#pragma once

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// Results of the container writers.
inline constexpr int kContainerWritten = 2;
inline constexpr int kContainerKeptAsIs = 1;  // already a container, rewritten unchanged
inline constexpr int kContainerNotRead = -1;  // also: already a container but not writable
inline constexpr int kContainerNotWritten = -2;

// Writes length content bytes to path as a container, replacing any file there only once the new
// bytes are safely on disk. 2 (length then holds the container's size), 1, -1 or -2; on a negative
// result the file at path is as it was. The caller keeps the content.
int WriteEncryptedContainer(const std::uint8_t* content, std::size_t& length, const char* path) noexcept;

// Converts the file at path into a container in place: 2, 1 or -1 (unreadable, too large for
// memory, or recognised but not writable) or -2.
int EncryptFileInPlace(const char* path) noexcept;

}  // namespace dk::crypto
