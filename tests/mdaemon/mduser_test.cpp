#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

#include "mdaemon/mduser.h"
#include "mdaemon_install.h"

namespace {

using dk::mdaemon::BindMDUser;
using dk::mdaemon::ReadMDaemonPath;
using dk::mdaemon::UnbindMDUser;
using dk::test::kAppPath;

class Binding : public dk::test::MDaemonInstall {};

TEST_F(Binding, ReadsOneValueOrReportsWhyNot) {
    SetValue("Long", std::string(254, 'x'));
    SetValue("Longest", std::string(253, 'x'));
    SetValue("Empty", "");
    SetDwordValue("Number", 7);
    struct Case {
        const char* value;
        LONG want;
        std::string text;
    };
    const Case cases[] = {
        {"AppPath", ERROR_SUCCESS, kAppPath},  {"Longest", ERROR_SUCCESS, std::string(253, 'x')},
        {"Empty", ERROR_SUCCESS, ""},          {"Long", ERROR_MORE_DATA, ""},
        {"Missing", ERROR_FILE_NOT_FOUND, ""}, {"Number", ERROR_INVALID_DATA, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        char out[255];
        std::memset(out, '#', sizeof out);
        EXPECT_EQ(ReadMDaemonPath(c.value, out, sizeof out), c.want);
        EXPECT_EQ(std::string(out), c.text);
    }
    RemoveKey();
    char out[255] = "stale";
    EXPECT_EQ(ReadMDaemonPath("AppPath", out, sizeof out), ERROR_FILE_NOT_FOUND);
    EXPECT_STREQ(out, "");
}

TEST_F(Binding, LoadsTheLibraryOfTheConfiguredTypeAndReleasesIt) {
    dk::test::ScopedEnv xyz("MDUSERXYZ_DBPATH", "C:\\xyz\\cfilter.ini");
    struct Case {
        const char* type;  // null: no UserDllType key
        const char* library;
        const char* db_path;
    };
    const std::string plain = rules();
    const Case cases[] = {
        {nullptr, "MDUser.dll", plain.c_str()},
        {"", "MDUser.dll", plain.c_str()},
        {"XYZ", "MDUserXYZ.dll", "C:\\xyz\\cfilter.ini"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type ? c.type : "(no key)");
        if (c.type) SetLibraryType(c.type);
        int status = -1;
        ASSERT_TRUE(BindMDUser(&status));
        EXPECT_EQ(status, 0);
        const std::string library = std::string(kAppPath) + "\\" + c.library;
        EXPECT_NE(GetModuleHandleA(library.c_str()), nullptr);
        char path[dk::mdaemon::kMDUserPathBuffer] = {};
        dk::mdaemon::MDGetDBPath(path, dk::mdaemon::kContentFilterRules);
        EXPECT_STREQ(path, c.db_path);
        UnbindMDUser();
        EXPECT_EQ(GetModuleHandleA(library.c_str()), nullptr);
    }
}

TEST_F(Binding, FailsWithTheCodeOfTheStepThatFailed) {
    struct Case {
        const char* name;
        std::function<void()> arrange;
        int want;
    };
    const Case cases[] = {
        {"no key", [] { RemoveKey(); }, ERROR_FILE_NOT_FOUND},
        {"no AppPath", [] { DeleteValue("AppPath"); }, ERROR_FILE_NOT_FOUND},
        {"AppPath too long", [] { SetValue("AppPath", std::string(300, 'x')); }, ERROR_MORE_DATA},
        {"no IniPath", [] { DeleteValue("IniPath"); }, ERROR_FILE_NOT_FOUND},
        {"empty IniPath", [] { SetValue("IniPath", ""); }, dk::mdaemon::kEmptyIniPath},
        {"empty AppPath reaches the load", [] { SetValue("AppPath", ""); }, ERROR_MOD_NOT_FOUND},
        {"no library of that type", [] { SetLibraryType("ABC"); }, ERROR_MOD_NOT_FOUND},
        {"library without the entry points",
         [] {
             InstallLibrary(dk::test::BinDir() + "\\deploykit.dll", "MDUserDK.dll");
             SetLibraryType("DK");
         },
         ERROR_PROC_NOT_FOUND},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install();
        c.arrange();
        int status = 0;
        EXPECT_FALSE(BindMDUser(&status));
        EXPECT_EQ(status, c.want);
        EXPECT_TRUE(LibrariesReleased());
    }
}

}  // namespace
