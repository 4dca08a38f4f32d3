#include "crypto/container_file.h"

#include <cstring>
#include <vector>

#include "crypto/atomic_file.h"
#include "crypto/container.h"
#include "crypto/file_io.h"
#include "crypto/padding.h"
#include "frame/win/raii.h"

namespace dk::crypto {
namespace {

// A 32-bit installer process has 2 GiB of address space, so no larger content can be held in
// memory: it is refused before anything is allocated (and on 64-bit builds, before an
// overcommitted allocation is filled from disk). Smaller ones that still do not fit fail to
// allocate and are refused the same way.
constexpr std::uint64_t kMaxContent = 0x7FFFFF00;

// buffer: 20 header bytes, the content from byte 20, zero padding to a multiple of 32.
int WriteContainerBuffer(std::vector<std::uint8_t>& buffer, std::size_t contentLength, const char* path) {
    const std::uint8_t* content = buffer.data() + kContainerHeader;
    if (IsRecognisedContainer(content, contentLength))
        return ReplaceFileContent(path, content, contentLength) ? kContainerKeptAsIs : kContainerNotRead;
    SealContainer(buffer.data(), buffer.size(), DrawContainerKey());
    return ReplaceFileContent(path, buffer.data(), buffer.size()) ? kContainerWritten : kContainerNotWritten;
}

}  // namespace

int WriteEncryptedContainer(const std::uint8_t* content, std::size_t& length, const char* path) noexcept {
    try {
        if (!path || (length && !content) || length > kMaxContent) return kContainerNotWritten;
        const std::size_t size = kContainerHeader + PaddedLength(length);
        std::vector<std::uint8_t> buffer(size);
        if (length) std::memcpy(buffer.data() + kContainerHeader, content, length);
        const int result = WriteContainerBuffer(buffer, length, path);
        if (result == kContainerWritten) length = size;
        return result;
    } catch (...) {
        return kContainerNotWritten;
    }
}

int EncryptFileInPlace(const char* path) noexcept {
    try {
        if (!path || !*path) return kContainerNotRead;
        std::vector<std::uint8_t> buffer;
        std::size_t length = 0;
        {
            // Shared as the C runtime's fopen shares: readers and writers elsewhere do not stop the read.
            win::unique_hfile file(::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
            LARGE_INTEGER size{};
            if (!file || !::GetFileSizeEx(file.get(), &size)) return kContainerNotRead;
            if (size.QuadPart < 0 || static_cast<std::uint64_t>(size.QuadPart) > kMaxContent)
                return kContainerNotRead;
            length = static_cast<std::size_t>(size.QuadPart);
            // Read straight into the container's place: one buffer of about the file's size.
            buffer.resize(kContainerHeader + PaddedLength(length));
            if (!ReadExactly(file.get(), buffer.data() + kContainerHeader, length)) return kContainerNotRead;
        }
        return WriteContainerBuffer(buffer, length, path);
    } catch (...) {  // out of memory included: nothing has been written yet
        return kContainerNotRead;
    }
}

}  // namespace dk::crypto
