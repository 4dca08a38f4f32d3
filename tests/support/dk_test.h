// Helpers for the Windows test programs: load a DLL build by path, find the tree, make scratch
// folders, read and write files.
#pragma once

#include <windows.h>

#include <string>

#include "deploykit.h"

namespace dk::test {

enum class Build { full, nometabase };

// A DLL build loaded by path from the test program's folder (full) or its nometabase/ folder.
class Library {
public:
    explicit Library(Build build = Build::full);
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;
    ~Library();

    HMODULE handle() const { return module_; }
    // The export's address, typed; fails the test (and returns null) when it is missing.
    template <class Fn>
    Fn get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(Resolve(name)));
    }

private:
    FARPROC Resolve(const char* name) const;
    HMODULE module_ = nullptr;
};

std::string BinDir();     // the test program's folder, e.g. Z:\work\main\build\win64\bin
std::string SourceDir();  // the source tree as Windows sees it, e.g. Z:/work/main
std::string BuildDir();   // the build tree as Windows sees it
// A new empty folder of the test's own under the build tree, removed with its content on exit.
class TempDir {
public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

bool FileExists(const std::string& path);
std::string ReadFile(const std::string& path);  // whole file in binary; empty when missing
void WriteFile(const std::string& path, const std::string& bytes);
void RemoveTree(const std::string& path);

// Sets an environment variable for the scope and restores it afterwards.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value);
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;
    ~ScopedEnv();

private:
    void Set(const char* value);
    std::string name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace dk::test
