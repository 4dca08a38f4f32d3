// Whole-buffer file transfers (Windows): one call of ReadFile or WriteFile moves at most a DWORD.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

namespace dk::crypto {

// true when all size bytes were moved.
bool ReadExactly(HANDLE file, std::uint8_t* bytes, std::size_t size) noexcept;
bool WriteExactly(HANDLE file, const std::uint8_t* bytes, std::size_t size) noexcept;

}  // namespace dk::crypto
