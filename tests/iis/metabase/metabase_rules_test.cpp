#include "iis/metabase/metabase_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace dk::iis::metabase {
namespace {

TEST(MetabaseRules, SitePaths) {
    EXPECT_EQ(SiteRootPath("3"), "IIS://localhost/W3SVC/3/ROOT");
    EXPECT_EQ(SiteObjectPath(SiteRootPath("12")), "IIS://localhost/W3SVC/12");
    EXPECT_EQ(SiteObjectPath("ROOT"), "");
}

struct NumberCase {
    const char* text;
    long value;
    bool ignored;
};
constexpr NumberCase kNumbers[] = {
    {"1", 1, false},   {"2", 2, true},   {" 2", 2, true}, {"2x", 2, true},  {"02", 2, true},
    {"22", 22, false}, {"x2", 0, false}, {"", 0, false},  {"-2", 0, false},
};

TEST(MetabaseRules, SiteTwoIsIgnoredWhateverItsSpelling) {
    for (const auto& c : kNumbers) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(ReadDecimal(c.text), c.value);
        EXPECT_EQ(IsIgnoredSite(c.text), c.ignored);
    }
}

TEST(MetabaseRules, SiteClassInAnyLetterCase) {
    EXPECT_TRUE(IsSiteClass("IIsWebServer"));
    EXPECT_TRUE(IsSiteClass("iiswebserver"));
    EXPECT_FALSE(IsSiteClass("IIsWebServers"));
    EXPECT_FALSE(IsSiteClass("IIsFilters"));
}

TEST(MetabaseRules, SiteListEndsEveryEntryWithAComma) {
    std::string list;
    AppendSiteEntry(list, "Default Web Site", true);
    AppendSiteEntry(list, "Intranet", false);
    AppendSiteEntry(list, "", true);
    EXPECT_EQ(list, "Default Web Site - (Started),Intranet - (Stopped), - (Started),");
}

TEST(MetabaseRules, FlagsAllowOnlyWithOne) {
    const AccessRights rights = FlagRights(1, 0, 2, -1, 1);
    const AccessRights want = {"True", "false", "false", "false", "True"};
    for (std::size_t i = 0; i < rights.size(); ++i) EXPECT_STREQ(rights[i], want[i]) << kAccessProperties[i];
}

}  // namespace
}  // namespace dk::iis::metabase
