// The virtual-directory writers against the ADSI stand-in, called directly: the stand-in's
// journal shows every create, property write (with its variant type) and commit, in order.
#include <gtest/gtest.h>

#include <string>

#include "iis/metabase.h"
#include "standins/adsi/adsi_standin.h"

namespace dk::iis {
namespace {

constexpr char kSite[] =
    "/W3SVC IIsWebService\n"
    "/W3SVC/1 IIsWebServer\n"
    "  ServerComment=Default Web Site\n"
    "/W3SVC/1/ROOT IIsWebVirtualDir\n"
    "/W3SVC/1/ROOT/taken IIsWebVirtualDir\n"
    "  Path=C:\\old\n";

// The journal of one directory made with the given rights and path.
std::string Made(const std::string& name, const char* const (&rights)[5], const std::string& path) {
    const std::string object = "/W3SVC/1/ROOT/" + name;
    const char* properties[] = {"AccessRead", "AccessScript", "AccessSource", "AccessWrite", "AccessExecute"};
    std::string journal = "create " + object + " IIsWebVirtualDir\n";
    for (int i = 0; i < 5; ++i)
        journal += "put " + object + " " + properties[i] + " BSTR " + rights[i] + "\n";
    journal += "put " + object + " Path BSTR " + path + "\n";
    return journal + "setinfo " + object + "\n";
}

constexpr const char* kReadOnly[5] = {"True", "False", "False", "False", "False"};
constexpr const char* kReadExecute[5] = {"True", "False", "False", "False", "True"};
constexpr char kBind[] = "bind /W3SVC/1/ROOT\n";

class MetabaseVdirsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(adsi_.ok());
        adsi_.Write(kSite);
    }
    bool Exists(const std::string& name) const {
        return adsi_.Metabase().find("/W3SVC/1/ROOT/" + name + " IIsWebVirtualDir\n") != std::string::npos;
    }
    adsi_standin::Registration adsi_;
};

struct FlagCase {
    int read, script, source, write, execute;
    const char* rights[5];
};
constexpr FlagCase kFlags[] = {
    {1, 0, 0, 0, 1, {"True", "false", "false", "false", "True"}},
    {2, 1, 1, 1, 0, {"false", "True", "True", "True", "false"}},
    {-1, 0, 0, 0, 0, {"false", "false", "false", "false", "false"}},
};

TEST_F(MetabaseVdirsTest, CreateSingleWritesFlagsAsTextThenPathThenCommits) {
    for (const auto& c : kFlags) {
        adsi_.Write(kSite);
        EXPECT_EQ(MetabaseCreateSingleVirtualDirectory("upload", "C:\\data\\up load", c.read, c.script,
                                                       c.source, c.write, c.execute, "1"),
                  0);
        EXPECT_EQ(adsi_.Journal(), kBind + Made("upload", c.rights, "C:\\data\\up load"));
        const std::string metabase = adsi_.Metabase();
        EXPECT_NE(metabase.find("/W3SVC/1/ROOT/upload IIsWebVirtualDir\n  AccessRead=" +
                                std::string(c.rights[0]) + "\n"),
                  std::string::npos)
            << metabase;
        EXPECT_NE(metabase.find("  Path=C:\\data\\up load\n"), std::string::npos) << metabase;
    }
}

TEST_F(MetabaseVdirsTest, CheckCreatesAMissingDirectoryReadOnly) {
    EXPECT_EQ(MetabaseCheckVirtualDirectory("docs", "C:\\docs", "1"), 0);
    EXPECT_EQ(adsi_.Journal(), kBind + Made("docs", kReadOnly, "C:\\docs"));
    EXPECT_TRUE(Exists("docs"));
}

TEST_F(MetabaseVdirsTest, CheckOfAPresentDirectoryWritesNothing) {
    EXPECT_EQ(MetabaseCheckVirtualDirectory("taken", "C:\\new", "1"), -2);
    EXPECT_EQ(adsi_.Journal(), std::string(kBind) + "create /W3SVC/1/ROOT/taken IIsWebVirtualDir exists\n");
    EXPECT_EQ(adsi_.Metabase(), kSite);
}

TEST_F(MetabaseVdirsTest, CreatePairSecondGetsExecute) {
    EXPECT_EQ(MetabaseCreateVirtualDirectory("web", "C:\\web", "bin", "C:\\bin", "1"), 0);
    EXPECT_EQ(adsi_.Journal(),
              kBind + Made("web", kReadOnly, "C:\\web") + Made("bin", kReadExecute, "C:\\bin"));
}

struct FailCase {
    const char* taken_at;  // which directory already exists
    int code;
    int made;  // directories made and committed before the failure
};
constexpr FailCase kPairFailures[] = {{"first", 888, 0}, {"second", 999, 1}};
constexpr FailCase kAdminFailures[] = {{"first", 888, 0}, {"second", 999, 1}, {"third", 777, 2}};

TEST_F(MetabaseVdirsTest, CreatePairStopsAtTheFirstDirectoryThatCannotBeMade) {
    for (const auto& c : kPairFailures) {
        SCOPED_TRACE(c.taken_at);
        adsi_.Write(kSite);
        const bool first = std::string(c.taken_at) == "first";
        EXPECT_EQ(MetabaseCreateVirtualDirectory(first ? "taken" : "web", "C:\\web", first ? "bin" : "taken",
                                                 "C:\\bin", "1"),
                  c.code);
        EXPECT_EQ(Exists("web"), c.made >= 1);
        EXPECT_FALSE(Exists("bin"));
    }
}

TEST_F(MetabaseVdirsTest, CreateAdminStopsAtTheFirstDirectoryThatCannotBeMade) {
    for (const auto& c : kAdminFailures) {
        SCOPED_TRACE(c.taken_at);
        adsi_.Write(kSite);
        const std::string at = c.taken_at;
        const char* n1 = at == "first" ? "taken" : "web";
        const char* n2 = at == "second" ? "taken" : "bin";
        const char* n3 = at == "third" ? "taken" : "admin";
        EXPECT_EQ(MetabaseCreateVirtualDirectoryAdmin(n1, "C:\\web", n2, "C:\\bin", n3, "C:\\admin", "1"),
                  c.code);
        std::string want = kBind;
        if (c.made >= 1) want += Made("web", kReadOnly, "C:\\web");
        if (c.made >= 2) want += Made("bin", kReadExecute, "C:\\bin");
        want += "create /W3SVC/1/ROOT/taken IIsWebVirtualDir exists\n";
        EXPECT_EQ(adsi_.Journal(), want);
    }
    adsi_.Write(kSite);
    EXPECT_EQ(
        MetabaseCreateVirtualDirectoryAdmin("web", "C:\\web", "bin", "C:\\bin", "admin", "C:\\admin", "1"),
        0);
    EXPECT_EQ(adsi_.Journal(), kBind + Made("web", kReadOnly, "C:\\web") +
                                   Made("bin", kReadExecute, "C:\\bin") +
                                   Made("admin", kReadExecute, "C:\\admin"));
}

TEST_F(MetabaseVdirsTest, DeleteRemovesOrAnswers888) {
    EXPECT_EQ(MetabaseDeleteVirtualDirectory("taken", "1"), 0);
    EXPECT_FALSE(Exists("taken"));
    EXPECT_EQ(MetabaseDeleteVirtualDirectory("taken", "1"), 888);
    EXPECT_EQ(adsi_.Journal(), std::string(kBind) + "delete /W3SVC/1/ROOT/taken IIsWebVirtualDir\n" + kBind +
                                   "delete /W3SVC/1/ROOT/taken IIsWebVirtualDir missing\n");
}

// Without a site root nothing can be made; that is the first directory's failure, not success.
// A deletion there has nothing to remove.
TEST_F(MetabaseVdirsTest, UnboundSiteRoot) {
    EXPECT_EQ(MetabaseCreateSingleVirtualDirectory("upload", "C:\\up", 1, 1, 1, 1, 1, "7"), 888);
    EXPECT_EQ(MetabaseCheckVirtualDirectory("upload", "C:\\up", "7"), -2);
    EXPECT_EQ(MetabaseCreateVirtualDirectory("a", "C:\\a", "b", "C:\\b", "7"), 888);
    EXPECT_EQ(MetabaseCreateVirtualDirectoryAdmin("a", "C:\\a", "b", "C:\\b", "c", "C:\\c", "7"), 888);
    EXPECT_EQ(MetabaseDeleteVirtualDirectory("taken", "7"), 0);
    EXPECT_EQ(adsi_.Metabase(), kSite);
}

// A directory exists only once committed: a refused write or commit is the directory's failure,
// and a directory with refused properties is not committed half-written.
TEST_F(MetabaseVdirsTest, RefusedWritesAreFailures) {
    adsi_.Write(std::string("!refuse setinfo\n") + kSite);
    EXPECT_EQ(MetabaseCreateSingleVirtualDirectory("upload", "C:\\up", 1, 0, 0, 0, 0, "1"), 888);
    EXPECT_FALSE(Exists("upload"));
    adsi_.Write(std::string("!refuse put\n") + kSite);
    EXPECT_EQ(MetabaseCreateVirtualDirectory("web", "C:\\web", "bin", "C:\\bin", "1"), 888);
    EXPECT_FALSE(Exists("web"));
    EXPECT_EQ(adsi_.Journal().find("setinfo"), std::string::npos);
}

TEST_F(MetabaseVdirsTest, NullArgumentsAreRefusedBeforeAnyChange) {
    EXPECT_EQ(MetabaseCreateSingleVirtualDirectory(nullptr, "C:\\up", 1, 1, 1, 1, 1, "1"), 888);
    EXPECT_EQ(MetabaseCreateSingleVirtualDirectory("up", nullptr, 1, 1, 1, 1, 1, "1"), 888);
    EXPECT_EQ(MetabaseCreateSingleVirtualDirectory("up", "C:\\up", 1, 1, 1, 1, 1, nullptr), 888);
    EXPECT_EQ(MetabaseCheckVirtualDirectory(nullptr, "C:\\up", "1"), -2);
    EXPECT_EQ(MetabaseCheckVirtualDirectory("up", "C:\\up", nullptr), -2);
    EXPECT_EQ(MetabaseDeleteVirtualDirectory(nullptr, "1"), 888);
    EXPECT_EQ(MetabaseDeleteVirtualDirectory("taken", nullptr), 888);
    EXPECT_EQ(MetabaseCreateVirtualDirectory("a", "C:\\a", "b", nullptr, "1"), 999);
    EXPECT_EQ(MetabaseCreateVirtualDirectoryAdmin("a", "C:\\a", "b", "C:\\b", nullptr, "C:\\c", "1"), 777);
    EXPECT_EQ(MetabaseCreateVirtualDirectoryAdmin("a", "C:\\a", "b", "C:\\b", "c", "C:\\c", nullptr), 888);
    EXPECT_EQ(adsi_.Journal(), "");
    EXPECT_EQ(adsi_.Metabase(), kSite);
}

}  // namespace
}  // namespace dk::iis
