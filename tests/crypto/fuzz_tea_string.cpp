// The TEA frame decoder on arbitrary text, and the encoder's round trip on arbitrary texts.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "crypto/tea_string.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    if (const auto text = dk::crypto::DecryptTeaString(input); text && text->size() + 6 > size / 2 + 1)
        std::abort();

    const unsigned seed = size ? data[0] : 0;
    const std::string hex = dk::crypto::EncryptTeaString(input, seed);
    if (dk::crypto::DecryptTeaString(hex) != std::string(input)) std::abort();
    return 0;
}
