// Installing and removing the web application against the appcmd.exe stand-in on IIS 10.
#include <gtest/gtest.h>

#include <algorithm>

#include "appcmd_fixture.h"
#include "expected_commands.h"

namespace dk::iis::testing {
namespace {

using dk::standin::Rule;

const std::string kLookup = "list site -id:1 /text:site.name";

std::vector<std::string> WithLookup(const std::vector<std::string>& commands, std::size_t count = SIZE_MAX) {
    std::vector<std::string> out{kLookup};
    out.insert(out.end(), commands.begin(),
               commands.begin() + static_cast<long>(std::min(count, commands.size())));
    return out;
}

bool HasPool(const dk::standin::State& s, const std::string& name) {
    return std::any_of(s.pools.begin(), s.pools.end(), [&](const auto& p) { return p.name == name; });
}

std::vector<std::string> VdirNames(const dk::standin::State& s) {
    std::vector<std::string> names;
    for (const auto& v : s.vdirs) names.push_back(dk::standin::VdirName(v));
    return names;
}

class WebApplication : public ::testing::Test {
protected:
    ScopedIisVersion version_{10};
    AppcmdStandin standin_;
    dk::test::Library lib_{dk::test::Build::full};
    DK_PFN_Install_QIV_IIS7 install_ = lib_.get<DK_PFN_Install_QIV_IIS7>("Install_QIV_IIS7");
    DK_PFN_Uninstall_QIV_IIS7 uninstall_ = lib_.get<DK_PFN_Uninstall_QIV_IIS7>("Uninstall_QIV_IIS7");
};

TEST_F(WebApplication, Flags0InstallsApplicationAndTwoDirectories) {
    EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 0), 0);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kInstallFlags0));
    const auto s = standin_.State();
    EXPECT_TRUE(HasPool(s, "QIVPool"));
    EXPECT_EQ(VdirNames(s),
              (std::vector<std::string>{"Default Web Site/", "Intranet/", "Default Web Site/qiv/",
                                        "Default Web Site/qiv/upload", "Default Web Site/qiv/inline"}));
    EXPECT_TRUE(s.handlers.empty());
    const std::string log = TraceLog();
    for (const char* record :
         {" - --- Install_QIV_IIS7(1,C:\\QIV,qiv,QIVPool,0) ---\r\n", " - Default Web Site\r\n",
          " - Application pool created\r\n", " - 32bit application enabled\r\n",
          " - VDIR \"inline\" created\r\n", " - handlers configuration unlocked in apphost\r\n"}) {
        EXPECT_NE(log.find(record), std::string::npos) << record;
    }
}

TEST_F(WebApplication, Flags3InstallsEverythingAndRemovalTakesItAllAway) {
    EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 3), 0);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kInstallFlags3));
    auto s = standin_.State();
    ASSERT_EQ(s.handlers.size(), 1u);
    EXPECT_EQ(s.handlers[0].location, "Default Web Site/qiv/admin");
    EXPECT_EQ(s.handlers[0].attributes,
              (dk::standin::Attributes{{"name", "TOVEX"},
                                       {"path", "*.pyx"},
                                       {"verb", "*"},
                                       {"modules", "IsapiModule"},
                                       {"scriptProcessor", "C:\\QIV\\scripts\\tovex.dll"},
                                       {"resourceType", "File"},
                                       {"requireAccess", "Execute"}}));
    EXPECT_EQ(s.restrictions.size(), 2u);
    EXPECT_EQ(VdirNames(s).size(), 7u);

    standin_.Seed(dk::standin::FormatState(s));
    standin_.ClearJournal();
    EXPECT_EQ(uninstall_(1, "C:\\QIV", "qiv", "QIVPool", 3), 0);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kRemoveFlags3));
    s = standin_.State();
    EXPECT_FALSE(HasPool(s, "QIVPool"));
    EXPECT_TRUE(s.handlers.empty());
    EXPECT_TRUE(s.restrictions.empty());
    EXPECT_EQ(VdirNames(s), (std::vector<std::string>{"Default Web Site/", "Intranet/"}));
    EXPECT_EQ(TraceLog().find("cannot remove"), std::string::npos);
}

TEST_F(WebApplication, RequiredStepFailureStopsWithItsCode) {
    struct Case {
        const char* failing;
        int code;
        std::size_t commands_run;  // after the site name
    };
    constexpr Case cases[] = {
        {"add apppool", 5, 1},
        {"/path:/upload", 183, 5},
        {"/[name='TOVEX'].requireAccess", 33, 13},
        {"description='TOVEX.EXE'", -1, 17},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        standin_.Seed(kSeed);
        standin_.ClearJournal();
        standin_.Control({Rule{c.failing, c.code, 0, "ERROR ( message:refused by the test. )\n"}});
        EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 3), c.code);
        EXPECT_EQ(standin_.Journal(), WithLookup(expected::kInstallFlags3, c.commands_run));
    }
}

TEST_F(WebApplication, OptionalStepFailuresAreTracedAndInstallationGoesOn) {
    standin_.Control({Rule{"set apppool", 7, 0, ""}, Rule{"/commitPath:apphost", 33, 0, ""}});
    EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 3), 0);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kInstallFlags3));
    const std::string log = TraceLog();
    EXPECT_NE(log.find(" - Cannot enable 32bit application\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - cannot unlock handlers configuration in apphost (33)\r\n"), std::string::npos);
}

TEST_F(WebApplication, RemovalAfterAStoppedInstallRunsEveryStep) {
    standin_.Control({Rule{"/path:/upload", 183, 0, ""}});
    EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 3), 183);
    standin_.Control({});
    standin_.ClearJournal();
    RemoveTraceLog();
    EXPECT_EQ(uninstall_(1, "C:\\QIV", "qiv", "QIVPool", 3), 0);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kRemoveFlags3));
    const auto s = standin_.State();
    EXPECT_FALSE(HasPool(s, "QIVPool"));
    EXPECT_EQ(VdirNames(s), (std::vector<std::string>{"Default Web Site/", "Intranet/"}));
    // What the stopped installation never made cannot be removed; each such step is traced.
    const std::string log = TraceLog();
    // The handlers section was never unlocked, so the handler's removal meets the lock.
    EXPECT_NE(log.find(" - cannot remove tovex handler (error=33)\r\n"), std::string::npos);
    EXPECT_NE(log.find(" - cannot remove virtual dir \"qiv/upload\" (error=1168)\r\n"), std::string::npos);
    EXPECT_EQ(log.find("cannot remove apppool"), std::string::npos);
}

TEST_F(WebApplication, RemovalOfNothingTracesTenMessages) {
    // Handlers open at the site, as an earlier installation leaves them: every step misses.
    standin_.Seed(std::string(kSeed) + "unlocked\tDefault Web Site\tsystem.webServer/handlers\n");
    EXPECT_EQ(uninstall_(1, "C:\\QIV", "qiv", "QIVPool", 3), 0);
    const std::string log = TraceLog();
    for (const auto& message : expected::kRemoveFlags3Failures) {
        EXPECT_NE(log.find(" - " + message + "\r\n"), std::string::npos) << message;
    }
}

TEST_F(WebApplication, SiteNameOutcomes) {
    struct Case {
        int exit_code;
        const char* output;
        int want;
    };
    constexpr Case cases[] = {
        {0, "", 2}, {0, " \r\n", 3}, {1168, "ERROR ( message:none. )\n", 1168},
        {1, "", 1}, {2, "", 2},      {3, "", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exit_code);
        standin_.Control({Rule{kLookup, c.exit_code, 0, c.output}});
        EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 3), c.want);
        EXPECT_EQ(uninstall_(1, "C:\\QIV", "qiv", "QIVPool", 3), c.want);
    }
    EXPECT_EQ(standin_.Journal().size(), 12u);                  // the site-name command, nothing else
    EXPECT_EQ(install_(9, "C:\\QIV", "qiv", "QIVPool", 3), 2);  // no such site: the listing is empty
}

TEST_F(WebApplication, ValuesWithQuotesOrMissingAreRefusedBeforeAnyCommand) {
    struct Case {
        const char* folder;
        const char* app;
        const char* pool;
        const char* reason;
    };
    constexpr Case cases[] = {
        {"C:\\QIV", "qiv", "QIV\" /x:\"y", "refused: the application pool name holds a double quote"},
        {"C:\\QIV\" /y:\"", "qiv", "QIVPool", "refused: the installation folder holds a double quote"},
        {"C:\\QIV", "q\"iv", "QIVPool", "refused: the application name holds a double quote"},
        {nullptr, "qiv", "QIVPool", "refused: no installation folder given"},
        {"C:\\QIV", nullptr, "QIVPool", "refused: no application name given"},
        {"C:\\QIV", "qiv", nullptr, "refused: no application pool name given"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reason);
        RemoveTraceLog();
        EXPECT_EQ(install_(1, c.folder, c.app, c.pool, 3), -100);
        EXPECT_EQ(uninstall_(1, c.folder, c.app, c.pool, 3), -100);
        EXPECT_NE(TraceLog().find(std::string(" - ") + c.reason + "\r\n"), std::string::npos);
    }
    EXPECT_TRUE(standin_.Journal().empty());
}

TEST_F(WebApplication, SiteNameWithAQuoteIsRefusedAfterTheLookup) {
    standin_.Seed(std::string(kSeed) + "site\t5\tEvil\" /x:\"y\tStarted\thttp/*:81:\n");
    EXPECT_EQ(install_(5, "C:\\QIV", "qiv", "QIVPool", 3), -100);
    EXPECT_EQ(standin_.Journal(), (std::vector<std::string>{"list site -id:5 /text:site.name"}));
    EXPECT_NE(TraceLog().find(" - refused: the site name holds a double quote\r\n"), std::string::npos);
}

TEST_F(WebApplication, LongValuesReachAppcmdWhole) {
    const std::string folder = "C:\\" + std::string(1500, 'f');
    EXPECT_EQ(install_(1, folder.c_str(), "qiv", "QIVPool", 0), 0);
    const auto journal = standin_.Journal();
    ASSERT_EQ(journal.size(), 7u);
    EXPECT_EQ(journal[3], "add app /site.name:\"Default Web Site\" /path:\"/qiv\" /physicalPath:\"" + folder +
                              "\\html\" /applicationPool:\"QIVPool\"");
    const auto s = standin_.State();
    EXPECT_EQ(s.vdirs.back().physical_path, folder + "\\engine\\temp");
}

TEST_F(WebApplication, HangingStepGivesTheRunnersTimeOut) {
    standin_.Control({Rule{"add apppool", 0, 60000, ""}});
    EXPECT_EQ(install_(1, "C:\\QIV", "qiv", "QIVPool", 0), -2701);
    EXPECT_EQ(standin_.Journal(), WithLookup(expected::kInstallFlags0, 1));
}

}  // namespace
}  // namespace dk::iis::testing
