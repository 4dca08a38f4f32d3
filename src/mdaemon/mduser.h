// MDaemon's user-API library (MDUser<type>.dll), found through MDaemon's registry entries and
// loaded for the length of one export call. The binding is process-wide: one MDaemon export at
// a time.
#pragma once

#include <windows.h>

#include <cstddef>

namespace dk::mdaemon {

inline constexpr char kMDaemonKey[] = "Software\\Alt-N Technologies\\MDaemon";
// Registry values are read into buffers of this many bytes; longer values fail the read.
inline constexpr std::size_t kMDaemonPathMax = 254;
// MD_GetDBPath's code for the content-filter rules file.
inline constexpr int kContentFilterRules = 76;
// Buffers handed to MD_GetDBPath and MD_GetAppDir.
inline constexpr std::size_t kMDUserPathBuffer = 264;
inline constexpr int kAppDirSize = 260;
// Status of a binding whose settings-file value exists but is empty.
inline constexpr int kEmptyIniPath = ERROR_BAD_PATHNAME;

// Reads one string value of MDaemon's key under HKEY_LOCAL_MACHINE into out (emptied first,
// always NUL-terminated, at most kMDaemonPathMax bytes). Returns the Windows result code.
LONG ReadMDaemonPath(const char* value_name, char* out, std::size_t capacity) noexcept;

// Loads the MDUser library and resolves the entry points that are called. True when bound;
// otherwise *status holds the Windows code of the step that failed and nothing stays loaded.
bool BindMDUser(int* status) noexcept;
// Forgets the binding and frees the library.
void UnbindMDUser() noexcept;

// The bound entry points (stdcall, results not used). Only valid while bound.
void MDGetDBPath(char* buffer, int code) noexcept;
void MDGetAppDir(char* buffer, int size) noexcept;

// Releases the binding when the scope ends, on every path.
class MDUserBinding {
public:
    MDUserBinding() noexcept : bound_(BindMDUser(&status_)) {}
    MDUserBinding(const MDUserBinding&) = delete;
    MDUserBinding& operator=(const MDUserBinding&) = delete;
    ~MDUserBinding() {
        if (bound_) UnbindMDUser();
    }
    bool bound() const noexcept { return bound_; }
    int status() const noexcept { return status_; }

private:
    int status_ = 0;
    bool bound_;
};

}  // namespace dk::mdaemon
