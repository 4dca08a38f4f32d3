// Every DES-enciphered payload of the library is zero-padded to a multiple of 32 bytes.
#pragma once

#include <cstddef>

namespace dk::crypto {

inline constexpr std::size_t kPadUnit = 32;

// n rounded up to a multiple of 32 (n itself when it already is one, 0 for 0).
constexpr std::size_t PaddedLength(std::size_t n) noexcept {
    return (n + kPadUnit - 1) / kPadUnit * kPadUnit;
}

}  // namespace dk::crypto
