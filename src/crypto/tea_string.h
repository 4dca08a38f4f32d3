// The TEA string frame: pad count, random pad, text, CRC-32, enciphered by a sliding TEA pass.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace dk::crypto {

// The only access code under which the decoder gives back a text.
inline constexpr char kTeaAccessCode[] = "plorvamuqe5";

// Seeds the C library's generator with seed and draws the pad count and pad bytes from it, so the
// same text under the same seed gives the same result. Returns the upper-case hexadecimal frame.
std::string EncryptTeaString(std::string_view text, unsigned seed);

// The sliding pass over a complete frame (pad count, pad, text, CRC), as hexadecimal text.
std::string EncipherTeaFrame(std::vector<std::uint8_t> frame);

// The text inside a hexadecimal frame, or nothing when it does not decode: shorter than 16 digits,
// odd length, CRC mismatch, or a pad count that leaves no room for itself and the CRC.
std::optional<std::string> DecryptTeaString(std::string_view hex);

}  // namespace dk::crypto
