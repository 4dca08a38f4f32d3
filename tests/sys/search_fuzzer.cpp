// The searches and checks that read caller text and file bytes: no read past either, and a few
// properties that must hold for any input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "sys/charsets.h"
#include "sys/file_search.h"
#include "sys/key_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    // First byte: how many of the following bytes form the search text; the rest is the file.
    const std::size_t text_size = std::min<std::size_t>(data[0], size - 1);
    const std::string text(reinterpret_cast<const char*>(data + 1), text_size);
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1 + text_size), size - 1 - text_size);

    const bool wide = dk::sys::FindWide(bytes, text);
    if (!text.empty() && wide && bytes.find(text[0]) == std::string_view::npos) std::abort();
    dk::sys::FindNarrow(bytes, text.c_str());

    const std::string path(bytes);
    if (!dk::sys::SameOrInside(text, text)) std::abort();
    if (!dk::sys::SameOrInside(text, text + "\\x")) std::abort();
    dk::sys::SameOrInside(text, path);

    for (int set = 0; set <= 4; ++set) {
        const int offset = dk::sys::CheckAllowed(text.c_str(), set);
        if (offset < -1 || (offset >= 0 && static_cast<std::size_t>(offset) > text.size())) std::abort();
    }
    return 0;
}
