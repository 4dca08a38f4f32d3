#include "crypto/atomic_file.h"

#include <string>

#include "crypto/file_io.h"
#include "frame/win/raii.h"

namespace dk::crypto {
namespace {

// The folder that holds path, for the temporary file: it must be on the same volume for the swap.
std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos) return path.size() >= 2 && path[1] == ':' ? path.substr(0, 2) : ".";
    return slash == 0 ? path.substr(0, 1) : path.substr(0, slash);
}

// A target that cannot be opened for writing (read-only, locked by another process, a folder) is
// refused; find that out before anything is written.
bool TargetWritable(const char* path, bool& exists) noexcept {
    const DWORD attributes = ::GetFileAttributesA(path);
    exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (!exists) return true;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    win::unique_hfile probe(::CreateFileA(path, GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return static_cast<bool>(probe);
}

}  // namespace

bool ReplaceFileContent(const char* path, const std::uint8_t* bytes, std::size_t size) noexcept {
    try {
        bool exists = false;
        if (!TargetWritable(path, exists)) return false;

        char temp[MAX_PATH];
        if (!::GetTempFileNameA(FolderOf(path).c_str(), "dk", 0, temp)) return false;
        bool ok;
        {
            win::unique_hfile file(::CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
            ok = file && WriteExactly(file.get(), bytes, size) && ::FlushFileBuffers(file.get());
            if (file && !::CloseHandle(file.release())) ok = false;
        }
        constexpr DWORD kMoveFlags = MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH;
        if (ok && exists) {
            ok = ::ReplaceFileA(path, temp, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
            // This error means the old file is already gone and only the new one's rename is
            // missing: finish it, and never delete the only copy left.
            if (!ok && ::GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT) {
                ok = ::MoveFileExA(temp, path, kMoveFlags);
                if (!ok && ::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES) return false;
            }
        } else if (ok) {
            ok = ::MoveFileExA(temp, path, kMoveFlags);
        }
        if (!ok) ::DeleteFileA(temp);
        return ok;
    } catch (...) {
        return false;
    }
}

}  // namespace dk::crypto
