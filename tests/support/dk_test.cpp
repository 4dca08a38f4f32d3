#include "support/dk_test.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace dk::test {

std::string BinDir() {
    char path[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dir(path, n);
    return dir.substr(0, dir.find_last_of("\\/"));
}

std::string SourceDir() { return DK_WIN_ROOT; }
std::string BuildDir() { return DK_WIN_BUILD; }

Library::Library(Build build) {
    const std::string path =
        BinDir() + (build == Build::full ? "\\deploykit.dll" : "\\nometabase\\deploykit.dll");
    module_ = LoadLibraryA(path.c_str());
    EXPECT_NE(module_, nullptr) << "cannot load " << path << " (error " << GetLastError() << ")";
}

Library::~Library() {
    if (module_) FreeLibrary(module_);
}

FARPROC Library::Resolve(const char* name) const {
    FARPROC fn = module_ ? GetProcAddress(module_, name) : nullptr;
    EXPECT_NE(fn, nullptr) << "export " << name << " is missing";
    return fn;
}

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    char name[96];
    std::snprintf(name, sizeof name, "\\tmp\\t%lu-%d-%lu", GetCurrentProcessId(), counter++, GetTickCount());
    CreateDirectoryA((BuildDir() + "\\tmp").c_str(), nullptr);
    path_ = BuildDir() + name;
    CreateDirectoryA(path_.c_str(), nullptr);
}

TempDir::~TempDir() { RemoveTree(path_); }

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void RemoveTree(const std::string& path) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((path + "\\*").c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string child = path + "\\" + name;
            SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(child);
            else
                DeleteFileA(child.c_str());
        } while (FindNextFileA(h, &found));
        FindClose(h);
    }
    RemoveDirectoryA(path.c_str());
}

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
    char old[32768];
    const DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
    had_ = n > 0 && n < sizeof old;
    if (had_) old_.assign(old, n);
    Set(value);
}

// Both copies of the environment: the process's (child processes inherit it) and the C
// runtime's (getenv reads it).
void ScopedEnv::Set(const char* value) {
    SetEnvironmentVariableA(name_.c_str(), value);
    _putenv((name_ + "=" + (value ? value : "")).c_str());
}

ScopedEnv::~ScopedEnv() { Set(had_ ? old_.c_str() : nullptr); }

}  // namespace dk::test
