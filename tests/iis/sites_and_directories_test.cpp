// Site queries and virtual directories against the appcmd.exe stand-in on IIS 10.
#include <gtest/gtest.h>

#include "appcmd_fixture.h"

namespace dk::iis::testing {
namespace {

using dk::standin::Rule;

class Iis7 : public ::testing::Test {
protected:
    template <class Fn>
    Fn Get(const char* name) {
        return lib_.get<Fn>(name);
    }
    ScopedIisVersion version_{10};
    AppcmdStandin standin_;
    dk::test::Library lib_{dk::test::Build::full};
};

TEST_F(Iis7, QueriesAgreeWithTheConfiguration) {
    auto sites = Get<DK_PFN_GetIISSites>("GetIISSites");
    auto status = Get<DK_PFN_GetIISSiteStatus>("GetIISSiteStatus");
    auto number = Get<DK_PFN_GetIISSiteNumber>("GetIISSiteNumber");
    auto user = Get<DK_PFN_GetIISUserName>("GetIISUserName");
    auto ip = Get<DK_PFN_GetIISIP>("GetIISIP");

    EXPECT_EQ(Take(sites()), "Default Web Site - (Started),Intranet - (Stopped),");
    EXPECT_EQ(Take(status("Intranet")), "Stopped");
    EXPECT_EQ(Take(status("Default Web Site")), "Started");
    EXPECT_EQ(Take(status("Nowhere")), "");
    EXPECT_EQ(number("Intranet"), 3);
    EXPECT_EQ(number("Nowhere"), -1);
    EXPECT_EQ(Take(user(1)), "IUSR");
    EXPECT_EQ(Take(user(42)), "IUSR");
    EXPECT_EQ(Take(ip(1)), ":80:");
    EXPECT_EQ(Take(ip(3)), "10.0.0.5:8080:intranet");
    EXPECT_EQ(Take(ip(9)), "error");

    standin_.Seed("");
    EXPECT_EQ(Take(sites()), "(null)");  // no site at all
}

TEST_F(Iis7, QueryFailures) {
    auto sites = Get<DK_PFN_GetIISSites>("GetIISSites");
    auto user = Get<DK_PFN_GetIISUserName>("GetIISUserName");
    auto number = Get<DK_PFN_GetIISSiteNumber>("GetIISSiteNumber");
    auto status = Get<DK_PFN_GetIISSiteStatus>("GetIISSiteStatus");
    // A code of ten digits and a sign is reported whole.
    standin_.Control(
        {Rule{"/text:site.id", -1073741819, 0, ""}, Rule{"anonymousAuthentication", 5, 0, "x\n"}});
    EXPECT_EQ(Take(sites()), "error exec -1073741819");
    EXPECT_EQ(Take(user(1)), "error");
    EXPECT_EQ(number("Intranet"), -1);
    EXPECT_EQ(number("x\"y"), -100);
    EXPECT_EQ(number(nullptr), -100);
    EXPECT_EQ(Take(status("x\" /y:\"z")), "");
    EXPECT_EQ(Take(status(nullptr)), "");
    EXPECT_EQ(standin_.Journal().size(), 3u);  // the refused values ran nothing
    EXPECT_NE(TraceLog().find(" - refused: no site name given\r\n"), std::string::npos);
}

TEST_F(Iis7, SiteListTakesNameAndStateOfEachListedNumber) {
    standin_.Control(
        {Rule{"/text:site.id", 0, 0, "1\n3\n"}, Rule{"-id:1 /text:site.name", 0, 0, "Default Web Site\n"},
         Rule{"-id:3 /text:site.name", 0, 0, "Intranet\n"}, Rule{"-id:1 /text:state", 0, 0, "Started\n"},
         Rule{"-id:3 /text:state", 4, 0, "ERROR x\n"}});
    EXPECT_EQ(Take(Get<DK_PFN_GetIISSites>("GetIISSites")()),
              "Default Web Site - (Started),Intranet - (ERROR x),");
}

TEST_F(Iis7, VirtualDirectoryLifecycle) {
    auto create = Get<DK_PFN_CreateSingleVirtualDirectory>("CreateSingleVirtualDirectory");
    auto check = Get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory");
    auto remove = Get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory");

    EXPECT_EQ(check("upload", "C:\\up", 1), 0);
    EXPECT_EQ(create("upload", "C:\\up", 1, 0, 0, 0, 1, 1), 0);
    EXPECT_EQ(check("upload", "ignored", 1), -2);
    EXPECT_EQ(check("uploa", "ignored", 1), 0);
    EXPECT_EQ(check("upload", "ignored", 3), 0);
    EXPECT_EQ(create("/upload", "C:\\up", 1, 0, 0, 0, 1, 1), 183);
    EXPECT_EQ(create("upload2", "C:\\up2", 1, 0, 0, 0, 1, 1), 0);
    const auto s = standin_.State();
    ASSERT_EQ(s.vdirs.size(), 4u);
    EXPECT_EQ(dk::standin::VdirName(s.vdirs[2]), "Default Web Site/upload");
    EXPECT_EQ(s.vdirs[2].physical_path, "C:\\up");
    EXPECT_EQ(remove("upload", 1), 0);
    EXPECT_EQ(check("upload", "ignored", 1), 0);
    EXPECT_EQ(check("upload2", "ignored", 1), -2);
    EXPECT_EQ(remove("upload", 1), 1168);
    EXPECT_EQ(create("x", "C:\\x", 1, 0, 0, 0, 1, 9), -1);  // no such site
    EXPECT_EQ(remove("x", 9), -1);
    EXPECT_EQ(check("x", "C:\\x", 9), -998);
    const std::string log = TraceLog();
    EXPECT_NE(log.find(" - --- CreateSingleVirtualDirectory(upload,C:\\up,1,0,0,0,1,1) ---\r\n"),
              std::string::npos);
    EXPECT_NE(log.find(" - virtual directory exitst, return -2\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - virtual directory does not exist, return 0\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - no sitename, return -998\r\n"), std::string::npos);
}

TEST_F(Iis7, VirtualDirectorySiteNameOutcomes) {
    auto create = Get<DK_PFN_CreateSingleVirtualDirectory>("CreateSingleVirtualDirectory");
    auto check = Get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory");
    auto remove = Get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory");
    struct Case {
        int exit_code;
        const char* output;
        int create, check, remove;
    };
    constexpr Case cases[] = {
        {0, "", -1, -998, -1},
        {0, "\r\n", -2, -999, -2},
        {7, "ERROR ( message:x. )\n", 7, 7, 7},
        {-2, "", -2, -2, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exit_code);
        standin_.Control({Rule{"list site -id:1 /text:site.name", c.exit_code, 0, c.output}});
        EXPECT_EQ(create("upload", "C:\\up", 1, 0, 0, 0, 1, 1), c.create);
        EXPECT_EQ(check("upload", "C:\\up", 1), c.check);
        EXPECT_EQ(remove("upload", 1), c.remove);
    }
    EXPECT_EQ(standin_.Journal().size(), 12u);  // only the site-name commands ran
}

TEST_F(Iis7, CheckMatchesTheListingLineByLine) {
    auto check = Get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory");
    struct Case {
        const char* listing;
        int want;
    };
    constexpr Case cases[] = {
        {"VDIR \"Default Web Site/upload2\" (physicalPath:c:\\u)\n", 0},
        {"VDIR \"Default Web Site/upload\" (physicalPath:c:\\u)\n", -2},
        {"VDIR \"Default Web Site/\" (physicalPath:c:\\w)\n\nVDIR \"Default Web Site/x\" "
         "(physicalPath:c:\\x)\n",
         -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.listing);
        standin_.Control({Rule{"list vdir", 0, 0, c.listing}});
        EXPECT_EQ(check("upload", "C:\\up", 1), c.want);
    }
}

TEST_F(Iis7, VirtualDirectoryValuesWithQuotesAreRefused) {
    auto create = Get<DK_PFN_CreateSingleVirtualDirectory>("CreateSingleVirtualDirectory");
    auto check = Get<DK_PFN_CheckVirtualDirectory>("CheckVirtualDirectory");
    auto remove = Get<DK_PFN_DeleteVirtualDirectory>("DeleteVirtualDirectory");
    EXPECT_EQ(create("up\"load", "C:\\up", 1, 0, 0, 0, 1, 1), -100);
    EXPECT_EQ(create("upload", "C:\\up\" /x:\"", 1, 0, 0, 0, 1, 1), -100);
    EXPECT_EQ(create(nullptr, "C:\\up", 1, 0, 0, 0, 1, 1), -100);
    EXPECT_EQ(create("upload", nullptr, 1, 0, 0, 0, 1, 1), -100);
    EXPECT_EQ(check("up\"load", "C:\\up", 1), -100);
    EXPECT_EQ(check(nullptr, "C:\\up", 1), -100);
    EXPECT_EQ(check("upload", nullptr, 1), -100);
    EXPECT_EQ(remove("up\"load", 1), -100);
    EXPECT_EQ(remove(nullptr, 1), -100);
    EXPECT_TRUE(standin_.Journal().empty());
    EXPECT_NE(TraceLog().find(" - refused: the physical path holds a double quote\r\n"), std::string::npos);
}

TEST_F(Iis7, SeveralDirectoriesAtOnceAreRefusedOnIis7) {
    EXPECT_EQ(Get<DK_PFN_CreateVirtualDirectory>("CreateVirtualDirectory")("a", "C:\\a", "b", "C:\\b", "1"),
              -1);
    EXPECT_EQ(Get<DK_PFN_CreateVirtualDirectoryAdmin>("CreateVirtualDirectoryAdmin")(
                  "a", "C:\\a", "b", "C:\\b", "c", "C:\\c", "1"),
              -1);
    EXPECT_TRUE(standin_.Journal().empty());
    EXPECT_FALSE(TraceLogExists());
}

}  // namespace
}  // namespace dk::iis::testing
