#include "crypto/file_io.h"

namespace dk::crypto {
namespace {

constexpr std::size_t kChunk = 1 << 20;

template <class Transfer>
bool InChunks(std::size_t size, Transfer transfer) noexcept {
    for (std::size_t at = 0; at < size;) {
        const DWORD want = static_cast<DWORD>(size - at < kChunk ? size - at : kChunk);
        DWORD done = 0;
        if (!transfer(at, want, &done) || done != want) return false;
        at += want;
    }
    return true;
}

}  // namespace

bool ReadExactly(HANDLE file, std::uint8_t* bytes, std::size_t size) noexcept {
    return InChunks(size, [&](std::size_t at, DWORD want, DWORD* done) {
        return ::ReadFile(file, bytes + at, want, done, nullptr) != FALSE;
    });
}

bool WriteExactly(HANDLE file, const std::uint8_t* bytes, std::size_t size) noexcept {
    return InChunks(size, [&](std::size_t at, DWORD want, DWORD* done) {
        return ::WriteFile(file, bytes + at, want, done, nullptr) != FALSE;
    });
}

}  // namespace dk::crypto
