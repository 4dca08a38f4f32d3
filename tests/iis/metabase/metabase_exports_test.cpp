// The IIS exports of the full build below IIS 7, through the DLL: they answer from the ADSI
// stand-in and write no trace record.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "frame/log.h"
#include "standins/adsi/adsi_standin.h"
#include "support/dk_test.h"

namespace {

constexpr char kInetStp[] = "SOFTWARE\\Microsoft\\InetStp";

// MajorVersion 6 for the scope; the value found before (or none) is restored afterwards.
class Iis6 {
public:
    Iis6() {
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInetStp, 0, nullptr, 0, KEY_SET_VALUE | KEY_QUERY_VALUE,
                            nullptr, &key, nullptr) != ERROR_SUCCESS)
            return;
        DWORD size = sizeof old_;
        had_ = RegQueryValueExA(key, "MajorVersion", nullptr, nullptr, reinterpret_cast<BYTE*>(&old_),
                                &size) == ERROR_SUCCESS;
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
        EXPECT_EQ(dk::test::ReadFile(dk::kIisTraceLog), trace_before_) << "no trace below IIS 7";
    }
    Iis6 iis6_;
    adsi_standin::Registration adsi_;
    dk::test::Library lib_{dk::test::Build::full};
    std::string trace_before_;
};

TEST_F(MetabaseExportsTest, QueriesAnswerFromTheMetabase) {
    EXPECT_EQ(Take(lib_.get<DK_PFN_GetIISSites>("GetIISSites")()),
              "Default Web Site - (Started),Intranet - (Stopped),");
    const auto status = lib_.get<DK_PFN_GetIISSiteStatus>("GetIISSiteStatus");
    EXPECT_EQ(Take(status("default web site")), "Started");
    EXPECT_EQ(Take(status("Administration")), "not found");
    const auto number = lib_.get<DK_PFN_GetIISSiteNumber>("GetIISSiteNumber");
    EXPECT_EQ(number("Intranet"), 3);
    EXPECT_EQ(number("default web site"), -1);
    EXPECT_EQ(number("Administration"), -1);
    EXPECT_EQ(Take(lib_.get<DK_PFN_GetIISUserName>("GetIISUserName")(1)), "IUSR_HOST");
    EXPECT_EQ(Take(lib_.get<DK_PFN_GetIISIP>("GetIISIP")(1)), ":80:");
    EXPECT_EQ(Take(lib_.get<DK_PFN_GetIISIP>("GetIISIP")(9)), "error");
}

TEST_F(MetabaseExportsTest, DirectoriesAreMadeCheckedAndDeletedInTheMetabase) {
    EXPECT_EQ(lib_.get<DK_PFN_CreateSingleVirtualDirectory>("CreateSingleVirtualDirectory")(
                  "upload", "C:\\up", 1, 0, 0, 0, 1, 1),
              0);
    EXPECT_NE(adsi_.Journal().find("put /W3SVC/1/ROOT/upload AccessExecute BSTR True\n"), std::string::npos);
    EXPECT_EQ(lib_.get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory")("upload", "C:\\up", 1), -2);
    EXPECT_EQ(lib_.get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory")("upload", 1), 0);
    EXPECT_EQ(lib_.get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory")("upload", 1), 888);
    EXPECT_EQ(lib_.get<DK_PFN_CreateVirtualDirectoryAdmin>("CreateVirtualDirectoryAdmin")(
                  "web", "C:\\web", "bin", "C:\\bin", "taken", "C:\\admin", "1"),
              777);
    const std::string metabase = adsi_.Metabase();
    EXPECT_NE(metabase.find("/W3SVC/1/ROOT/web IIsWebVirtualDir\n"), std::string::npos) << metabase;
    EXPECT_NE(metabase.find("/W3SVC/1/ROOT/bin IIsWebVirtualDir\n"), std::string::npos) << metabase;
}

}  // namespace
