// Below IIS 7 nothing goes to appcmd.exe: the web application exports answer 1 in both builds,
// and the build without the metabase client gives its fixed answers without any trace record.
#include <gtest/gtest.h>

#include <cstring>

#include "appcmd_fixture.h"

namespace dk::iis::testing {
namespace {

struct Setting {
    const char* name;
    std::optional<DWORD> major;
};
const Setting kOldIis[] = {{"MajorVersion 6", 6}, {"MajorVersion missing", std::nullopt}};

class Iis6Path : public ::testing::Test {
protected:
    AppcmdStandin standin_;
};

TEST_F(Iis6Path, WebApplicationAnswersOneInBothBuilds) {
    for (const auto& setting : kOldIis) {
        for (const auto build : {dk::test::Build::full, dk::test::Build::nometabase}) {
            SCOPED_TRACE(::testing::Message()
                         << setting.name << (build == dk::test::Build::full ? " full" : " nometabase"));
            ScopedIisVersion version(setting.major);
            dk::test::Library lib(build);
            EXPECT_EQ(lib.get<DK_PFN_Install_QIV_IIS7>("Install_QIV_IIS7")(1, "C:\\QIV", "qiv", "QIVPool", 3),
                      1);
            EXPECT_EQ(
                lib.get<DK_PFN_Uninstall_QIV_IIS7>("Uninstall_QIV_IIS7")(1, "C:\\QIV", "qiv", "QIVPool", 3),
                1);
        }
    }
    EXPECT_TRUE(standin_.Journal().empty());
    EXPECT_FALSE(TraceLogExists());
}

TEST_F(Iis6Path, BuildWithoutMetabaseClientGivesFixedAnswers) {
    for (const auto& setting : kOldIis) {
        SCOPED_TRACE(setting.name);
        ScopedIisVersion version(setting.major);
        dk::test::Library lib(dk::test::Build::nometabase);
        const char* texts[] = {
            lib.get<DK_PFN_GetIISSiteStatus>("GetIISSiteStatus")("Default Web Site"),
            lib.get<DK_PFN_GetIISSites>("GetIISSites")(),
            lib.get<DK_PFN_GetIISUserName>("GetIISUserName")(1),
            lib.get<DK_PFN_GetIISIP>("GetIISIP")(1),
            lib.get<DK_PFN_GetIISSiteStatus>("GetIISSiteStatus")(nullptr),
        };
        for (const char* text : texts) {
            ASSERT_NE(text, nullptr);
            EXPECT_STREQ(text, "NO ACTDS");
            EXPECT_EQ(text, texts[0]);  // one fixed text, never a new allocation
        }
        EXPECT_EQ(lib.get<DK_PFN_GetIISSiteNumber>("GetIISSiteNumber")("Default Web Site"), 0);
        EXPECT_EQ(lib.get<DK_PFN_CreateSingleVirtualDirectory>("CreateSingleVirtualDirectory")(
                      "u", "C:\\u", 1, 0, 0, 0, 1, 1),
                  -1);
        EXPECT_EQ(lib.get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory")("u", "C:\\u", 1), -1);
        EXPECT_EQ(lib.get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory")("u", 1), -1);
        EXPECT_EQ(
            lib.get<DK_PFN_CreateVirtualDirectory>("CreateVirtualDirectory")("a", "C:\\a", "b", "C:\\b", "1"),
            -1);
        EXPECT_EQ(lib.get<DK_PFN_CreateVirtualDirectoryAdmin>("CreateVirtualDirectoryAdmin")(
                      "a", "C:\\a", "b", "C:\\b", "c", "C:\\c", "1"),
                  -1);
    }
    EXPECT_TRUE(standin_.Journal().empty());
    EXPECT_FALSE(TraceLogExists());
}

TEST_F(Iis6Path, BuildWithoutMetabaseClientAnswersAppcmdOnIis7) {
    ScopedIisVersion version(7);
    dk::test::Library lib(dk::test::Build::nometabase);
    EXPECT_EQ(lib.get<DK_PFN_GetIISSiteNumber>("GetIISSiteNumber")("Intranet"), 3);
    EXPECT_EQ(lib.get<DK_PFN_Install_QIV_IIS7>("Install_QIV_IIS7")(1, "C:\\QIV", "qiv", "QIVPool", 0), 0);
    EXPECT_EQ(
        lib.get<DK_PFN_CreateVirtualDirectory>("CreateVirtualDirectory")("a", "C:\\a", "b", "C:\\b", "1"),
        -1);
    EXPECT_EQ(standin_.Journal().size(), 8u);
}

}  // namespace
}  // namespace dk::iis::testing
