#include "mdaemon_install.h"

#include "mdaemon/mduser.h"

namespace dk::test {

namespace {

constexpr char kVendorKey[] = "Software\\Alt-N Technologies";
constexpr const char* kLibraries[] = {"MDUser.dll", "MDUserXYZ.dll", "MDUserDK.dll"};

HKEY OpenKey() {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, dk::mdaemon::kMDaemonKey, 0, nullptr, 0, KEY_SET_VALUE,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

}  // namespace

void MDaemonInstall::SetUp() { Install(); }

void MDaemonInstall::Install() {
    db_path_.reset();
    app_dir_.reset();
    RemoveKey();
    RemoveTree("C:\\MDaemon");
    ASSERT_TRUE(CreateDirectoryA("C:\\MDaemon", nullptr));
    ASSERT_TRUE(CreateDirectoryA(kAppPath, nullptr));
    CreateDirectoryA((dir_.path() + "\\App").c_str(), nullptr);
    InstallLibrary(BinDir() + "\\standins\\MDUser.dll", "MDUser.dll");
    InstallLibrary(BinDir() + "\\standins\\MDUserXYZ.dll", "MDUserXYZ.dll");
    WriteFile(kIniPath, "[Setup]\r\nVersion=23.5\r\n");
    SetValue("AppPath", kAppPath);
    SetValue("IniPath", kIniPath);
    db_path_ = std::make_unique<ScopedEnv>("MDUSER_DBPATH", rules().c_str());
    app_dir_ = std::make_unique<ScopedEnv>("MDUSER_APPDIR", (dir_.path() + "\\App\\").c_str());
}

void MDaemonInstall::TearDown() {
    EXPECT_TRUE(LibrariesReleased());
    db_path_.reset();
    app_dir_.reset();
    RemoveKey();
    RemoveTree("C:\\MDaemon");
}

void MDaemonInstall::SetValue(const char* name, const std::string& text) {
    HKEY key = OpenKey();
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                             static_cast<DWORD>(text.size() + 1)),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void MDaemonInstall::SetDwordValue(const char* name, DWORD value) {
    HKEY key = OpenKey();
    EXPECT_EQ(RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

void MDaemonInstall::DeleteValue(const char* name) {
    HKEY key = OpenKey();
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// Only the product key; the vendor key goes too when nothing else is left in it.
void MDaemonInstall::RemoveKey() {
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, dk::mdaemon::kMDaemonKey);
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVendorKey);
}

void MDaemonInstall::SetLibraryType(const char* type) {
    ASSERT_TRUE(WritePrivateProfileStringA("Advanced", "UserDllType", type, kIniPath));
}

void MDaemonInstall::InstallLibrary(const std::string& from, const char* as) {
    const std::string to = std::string(kAppPath) + "\\" + as;
    ASSERT_TRUE(CopyFileA(from.c_str(), to.c_str(), FALSE)) << from << " -> " << to;
}

::testing::AssertionResult MDaemonInstall::LibrariesReleased() {
    for (const char* name : kLibraries) {
        const std::string path = std::string(kAppPath) + "\\" + name;
        if (GetModuleHandleA(path.c_str()))
            return ::testing::AssertionFailure() << path << " is still loaded";
        if (FileExists(path) && !DeleteFileA(path.c_str()))
            return ::testing::AssertionFailure() << path << " cannot be deleted: " << GetLastError();
    }
    return ::testing::AssertionSuccess();
}

}  // namespace dk::test
