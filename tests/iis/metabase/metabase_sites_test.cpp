// The site readers against the ADSI stand-in, called directly.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "frame/fixed_texts.h"
#include "iis/metabase.h"
#include "standins/adsi/adsi_standin.h"

namespace dk::iis {
namespace {

// Site 2 exists but is never reported; site 3's class is spelt in lower case; Filters is a
// child of another class.
constexpr char kThreeSites[] =
    "/W3SVC IIsWebService\n"
    "/W3SVC/Filters IIsFilters\n"
    "  ServerComment=Default Web Site\n"
    "/W3SVC/1 IIsWebServer\n"
    "  ServerComment=Default Web Site\n"
    "  ServerState:int=2\n"
    "  ServerBindings:list=:80:|10.0.0.5:8080:intranet\n"
    "/W3SVC/1/ROOT IIsWebVirtualDir\n"
    "  AnonymousUserName=IUSR_HOST\n"
    "/W3SVC/2 IIsWebServer\n"
    "  ServerComment=Administration\n"
    "  ServerState:int=2\n"
    "/W3SVC/2/ROOT IIsWebVirtualDir\n"
    "/W3SVC/3 iiswebserver\n"
    "  ServerComment=Intranet\n"
    "  ServerState:int=4\n"
    "/W3SVC/3/ROOT IIsWebVirtualDir\n"
    "  AnonymousUserName:int=42\n";

// Takes a reader's text and frees it when it is a ResultString.
std::string Answer(char* text) {
    if (!text) return "(null)";
    std::string copy(text);
    if (text != fixed::kError && text != fixed::kNotFound && text != fixed::kStarted &&
        text != fixed::kStopped)
        std::free(text);
    return copy;
}

class MetabaseSitesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(adsi_.ok());
        adsi_.Write(kThreeSites);
    }
    adsi_standin::Registration adsi_;
};

TEST_F(MetabaseSitesTest, ListsSitesButTheSecond) {
    EXPECT_EQ(Answer(MetabaseSites()), "Default Web Site - (Started),Intranet - (Stopped),");
}

struct NameCase {
    const char* name;
    const char* status;  // fixed text
    const char* number;
};
constexpr NameCase kNames[] = {
    {"Default Web Site", fixed::kStarted, "1"},
    {"default web site", fixed::kStarted, "error"},  // status ignores letter case, number does not
    {"Intranet", fixed::kStopped, "3"},
    {"Administration", fixed::kNotFound, "error"},  // site 2
    {"Nowhere", fixed::kNotFound, "error"},
    {"", fixed::kNotFound, "error"},
    {nullptr, fixed::kNotFound, "error"},
};

TEST_F(MetabaseSitesTest, StatusAndNumberByComment) {
    for (const auto& c : kNames) {
        SCOPED_TRACE(c.name ? c.name : "(null)");
        EXPECT_EQ(MetabaseSiteStatus(c.name), c.status);  // the fixed text itself
        EXPECT_EQ(MetabaseSiteNumber(c.name), c.number);
    }
}

TEST_F(MetabaseSitesTest, SameCommentTwiceStatusFromTheLaterNumberFromTheEarlier) {
    adsi_.Write(
        "/W3SVC IIsWebService\n"
        "/W3SVC/4 IIsWebServer\n  ServerComment=Shop\n  ServerState:int=2\n"
        "/W3SVC/4/ROOT IIsWebVirtualDir\n"
        "/W3SVC/1 IIsWebServer\n  ServerComment=Shop\n  ServerState:int=4\n"
        "/W3SVC/1/ROOT IIsWebVirtualDir\n");
    EXPECT_EQ(MetabaseSiteStatus("Shop"), fixed::kStopped);
    EXPECT_EQ(MetabaseSiteNumber("Shop"), "4");
}

struct PathCase {
    const char* path;
    const char* user;
    const char* binding;
};
constexpr PathCase kPaths[] = {
    {"IIS://localhost/W3SVC/1/ROOT", "IUSR_HOST", ""},   // a missing property reads as empty
    {"IIS://localhost/W3SVC/1", "", ":80:"},             // the first of two bindings
    {"IIS://localhost/W3SVC/3/ROOT", "42", ""},          // a number becomes text
    {"IIS://localhost/W3SVC/9/ROOT", "error", "error"},  // no such object
    {"LDAP://elsewhere", "error", "error"},
    {nullptr, "error", "error"},
};

TEST_F(MetabaseSitesTest, AnonymousUserAndFirstBindingByPath) {
    for (const auto& c : kPaths) {
        SCOPED_TRACE(c.path ? c.path : "(null)");
        EXPECT_EQ(Answer(MetabaseAnonymousUser(c.path)), c.user);
        EXPECT_EQ(Answer(MetabaseFirstBinding(c.path)), c.binding);
    }
}

TEST_F(MetabaseSitesTest, NothingBindsWithoutTheWebService) {
    adsi_.Write("");
    EXPECT_EQ(MetabaseSiteStatus("Default Web Site"), fixed::kNotFound);
    char* sites = MetabaseSites();
    ASSERT_NE(sites, nullptr);  // the empty text, not null
    EXPECT_EQ(Answer(sites), "");
    EXPECT_EQ(MetabaseSiteNumber("Default Web Site"), "error");
    EXPECT_EQ(MetabaseAnonymousUser("IIS://localhost/W3SVC/1/ROOT"), fixed::kError);
    EXPECT_EQ(MetabaseFirstBinding("IIS://localhost/W3SVC/1"), fixed::kError);
}

TEST_F(MetabaseSitesTest, SiteWithoutRootSkippedInListEndsTheOtherWalks) {
    adsi_.Write(
        "/W3SVC IIsWebService\n"
        "/W3SVC/1 IIsWebServer\n  ServerComment=Default Web Site\n  ServerState:int=2\n"
        "/W3SVC/1/ROOT IIsWebVirtualDir\n"
        "/W3SVC/4 IIsWebServer\n  ServerComment=Broken\n"
        "/W3SVC/5 IIsWebServer\n  ServerComment=Late\n"
        "/W3SVC/5/ROOT IIsWebVirtualDir\n");
    EXPECT_EQ(Answer(MetabaseSites()), "Default Web Site - (Started),Late - (Stopped),");
    EXPECT_EQ(MetabaseSiteStatus("Default Web Site"), fixed::kStarted);
    EXPECT_EQ(MetabaseSiteStatus("Late"), fixed::kNotFound);
    EXPECT_EQ(MetabaseSiteNumber("Default Web Site"), "1");
    EXPECT_EQ(MetabaseSiteNumber("Late"), "error");
}

TEST_F(MetabaseSitesTest, NoSiteButTheSecondListsNull) {
    adsi_.Write(
        "/W3SVC IIsWebService\n"
        "/W3SVC/2 IIsWebServer\n  ServerComment=Administration\n"
        "/W3SVC/2/ROOT IIsWebVirtualDir\n");
    EXPECT_EQ(MetabaseSites(), nullptr);
}

TEST_F(MetabaseSitesTest, LeavesTheThreadsComApartmentAsItFoundIt) {
    Answer(MetabaseSites());
    Answer(MetabaseAnonymousUser("IIS://localhost/W3SVC/1/ROOT"));
    // Were the single-threaded apartment still entered, this would fail with RPC_E_CHANGED_MODE.
    const HRESULT hr = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    EXPECT_EQ(hr, S_OK);
    if (SUCCEEDED(hr)) CoUninitialize();
}

}  // namespace
}  // namespace dk::iis
