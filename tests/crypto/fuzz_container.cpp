// Container recognition and reading on arbitrary bytes; sealing arbitrary content must give a
// container that is recognised and reads back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "crypto/container.h"
#include "crypto/padding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::vector<std::uint8_t> bytes(data, data + size);
    const bool recognised = dk::crypto::IsRecognisedContainer(bytes.data(), bytes.size());
    if (dk::crypto::OpenContainer(bytes.data(), bytes.size()) != recognised) std::abort();

    dk::crypto::ContainerKey key{};
    for (std::size_t i = 0; i < key.size() && i < size; ++i) key[i] = data[size - 1 - i];
    std::vector<std::uint8_t> box(dk::crypto::kContainerHeader + dk::crypto::PaddedLength(size));
    if (size) std::memcpy(box.data() + dk::crypto::kContainerHeader, data, size);
    dk::crypto::SealContainer(box.data(), box.size(), key);
    if (!dk::crypto::IsRecognisedContainer(box.data(), box.size())) std::abort();
    if (!dk::crypto::OpenContainer(box.data(), box.size())) std::abort();
    const auto content = box.begin() + dk::crypto::kContainerHeader;
    if (!std::equal(data, data + size, content) ||
        std::any_of(content + size, box.end(), [](auto b) { return b; }))
        std::abort();
    return 0;
}
