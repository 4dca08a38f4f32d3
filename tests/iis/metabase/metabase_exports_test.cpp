// The IIS exports of the full build below IIS 7, through the DLL: they answer from the ADSI
// stand-in and write no trace record. Skipped while the DLL does not export them yet.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "frame/log.h"
#include "standins/adsi/adsi_standin.h"
#include "support/dk_test.h"

namespace {

using SitesFn = char*(__cdecl*)();
using ByNameFn = char*(__cdecl*)(const char*);
using NumberFn = int(__cdecl*)(const char*);
using ByNumberFn = char*(__cdecl*)(int);
using CreateSingleFn = int(__cdecl*)(const char*, const char*, int, int, int, int, int, int);
using CheckFn = int(__cdecl*)(const char*, const char*, int);
using DeleteFn = int(__cdecl*)(const char*, int);
using CreateAdminFn = int(__cdecl*)(const char*, const char*, const char*, const char*, const char*,
                                    const char*, const char*);

constexpr char kInetStp[] = "SOFTWARE\\Microsoft\\InetStp";

// MajorVersion 6 for the scope; the value is removed again afterwards.
class Iis6 {
public:
    Iis6() {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            nullptr) != ERROR_SUCCESS)
            return;
        const DWORD six = 6;
        ok_ = RegSetValueExA(key, "MajorVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&six),
                             sizeof six) == ERROR_SUCCESS;
        RegCloseKey(key);
    }
    Iis6(const Iis6&) = delete;
    Iis6& operator=(const Iis6&) = delete;
    ~Iis6() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
            if (had_)
                RegSetValueExA(key, "MajorVersion", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&old_),
                               sizeof old_);
            else
                RegDeleteValueA(key, "MajorVersion");
            RegCloseKey(key);
        }
    }
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
    bool had_ = false;
    DWORD old_ = 0;
};

std::string Take(char* text) { return text ? text : "(null)"; }  // ResultStrings are never freed by callers

class MetabaseExportsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(iis6_.ok());
        ASSERT_TRUE(adsi_.ok());
        if (!GetProcAddress(lib_.handle(), "GetIISSites"))
            GTEST_SKIP() << "the IIS exports are not built yet";
        adsi_.Write(
            "/W3SVC IIsWebService\n"
            "/W3SVC/1 IIsWebServer\n  ServerComment=Default Web Site\n  ServerState:int=2\n"
            "  ServerBindings:list=:80:\n"
            "/W3SVC/1/ROOT IIsWebVirtualDir\n  AnonymousUserName=IUSR_HOST\n"
            "/W3SVC/1/ROOT/taken IIsWebVirtualDir\n"
            "/W3SVC/2 IIsWebServer\n  ServerComment=Administration\n  ServerState:int=2\n"
            "/W3SVC/2/ROOT IIsWebVirtualDir\n"
            "/W3SVC/3 IIsWebServer\n  ServerComment=Intranet\n  ServerState:int=4\n"
            "/W3SVC/3/ROOT IIsWebVirtualDir\n");
        trace_before_ = dk::test::ReadFile(dk::kIisTraceLog);
    }
    void TearDown() override {
        if (!IsSkipped()) {
            EXPECT_EQ(dk::test::ReadFile(dk::kIisTraceLog), trace_before_) << "no trace below IIS 7";
        }
    }
    template <class Fn>
    Fn get(const char* name) const {
        return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(lib_.handle(), name)));
    }

    Iis6 iis6_;
    adsi_standin::Registration adsi_;
    dk::test::Library lib_{dk::test::Build::full};
    std::string trace_before_;
};

TEST_F(MetabaseExportsTest, QueriesAnswerFromTheMetabase) {
    EXPECT_EQ(Take(get<SitesFn>("GetIISSites")()), "Default Web Site - (Started),Intranet - (Stopped),");
    const auto status = get<ByNameFn>("GetIISSiteStatus");
    EXPECT_EQ(Take(status("default web site")), "Started");
    EXPECT_EQ(Take(status("Administration")), "not found");
    const auto number = get<NumberFn>("GetIISSiteNumber");
    EXPECT_EQ(number("Intranet"), 3);
    EXPECT_EQ(number("default web site"), -1);
    EXPECT_EQ(number("Administration"), -1);
    EXPECT_EQ(Take(get<ByNumberFn>("GetIISUserName")(1)), "IUSR_HOST");
    EXPECT_EQ(Take(get<ByNumberFn>("GetIISIP")(1)), ":80:");
    EXPECT_EQ(Take(get<ByNumberFn>("GetIISIP")(9)), "error");
}

TEST_F(MetabaseExportsTest, DirectoriesAreMadeCheckedAndDeletedInTheMetabase) {
    EXPECT_EQ(get<CreateSingleFn>("CreateSingleVirtualDirectory")("upload", "C:\\up", 1, 0, 0, 0, 1, 1), 0);
    EXPECT_NE(adsi_.Journal().find("put /W3SVC/1/ROOT/upload AccessExecute BSTR True\n"), std::string::npos);
    EXPECT_EQ(get<CheckFn>("CheckVirtualDirectory")("upload", "C:\\up", 1), -2);
    EXPECT_EQ(get<DeleteFn>("DeleteVirtualDirectory")("upload", 1), 0);
    EXPECT_EQ(get<DeleteFn>("DeleteVirtualDirectory")("upload", 1), 888);
    EXPECT_EQ(get<CreateAdminFn>("CreateVirtualDirectoryAdmin")("web", "C:\\web", "bin", "C:\\bin", "taken",
                                                                "C:\\admin", "1"),
              777);
    const std::string metabase = adsi_.Metabase();
    EXPECT_NE(metabase.find("/W3SVC/1/ROOT/web IIsWebVirtualDir\n"), std::string::npos) << metabase;
    EXPECT_NE(metabase.find("/W3SVC/1/ROOT/bin IIsWebVirtualDir\n"), std::string::npos) << metabase;
}

}  // namespace
