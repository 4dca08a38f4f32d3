// An MDaemon installation as its installer leaves one: the registry key with AppPath and
// IniPath, the settings file and the MDUser stand-ins in C:\MDaemon\App. The stand-ins report a
// rules file and an application folder inside the test's own folder. Everything is removed
// again when the fixture ends; tests using it hold the lock "registry.mdaemon".
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <string>

#include "support/dk_test.h"

namespace dk::test {

inline constexpr char kAppPath[] = "C:\\MDaemon\\App";
inline constexpr char kIniPath[] = "C:\\MDaemon\\App\\MDaemon.ini";

class MDaemonInstall : public ::testing::Test {
public:
    std::string rules() const { return dir_ / "cfilter.ini"; }
    std::string temporary() const { return rules() + ".qiv"; }
    std::string semaphore() const { return dir_.path() + "\\App\\cfilter.sem"; }
    const TempDir& dir() const { return dir_; }

protected:
    void SetUp() override;
    void TearDown() override;
    // Puts everything back as SetUp leaves it.
    void Install();

    // The registry values and the settings file's library type.
    static void SetValue(const char* name, const std::string& text);
    static void SetDwordValue(const char* name, DWORD value);
    static void DeleteValue(const char* name);
    static void RemoveKey();
    static void SetLibraryType(const char* type);
    // Places a copy of a file into the application folder under another name.
    static void InstallLibrary(const std::string& from, const char* as);

    // True when no MDUser library is loaded in this process and each copy can be deleted.
    static ::testing::AssertionResult LibrariesReleased();

private:
    TempDir dir_;
    std::unique_ptr<ScopedEnv> db_path_, app_dir_;
};

}  // namespace dk::test
