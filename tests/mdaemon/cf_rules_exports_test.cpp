#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "mdaemon_install.h"

namespace {

using dk::test::FileExists;
using dk::test::ReadFile;
using dk::test::WriteFile;

const std::string kEarlierRules =
    "[Rule_1]\r\nRuleName=Spam\r\nEnable=Yes\r\nAction01=delete message|\r\n; kept as written\r\n"
    "[Rule_QIV]\r\nRuleName=old copy\r\nEnable=No\r\nAction01=copy to dir|\"C:\\old\"\r\n"
    "[Rule_2]\r\nRuleName = Signature \r\nCondition01=TO|contains|a@b.c|\r\n";
const std::string kEarlierWithoutProduct =
    "[Rule_1]\r\nRuleName=Spam\r\nEnable=Yes\r\nAction01=delete message|\r\n; kept as written\r\n"
    "[Rule_2]\r\nRuleName = Signature \r\nCondition01=TO|contains|a@b.c|\r\n";

std::string ProductRule(const std::string& name, const std::string& folder) {
    return "[Rule_QIV]\r\nRuleName=" + name +
           "\r\nEnable=Yes\r\nThisRuleCondition=All\r\nCondition01=body|all message|AND|\r\n"
           "ProcessQueue=BOTH\r\nAction01=copy to dir|\"" +
           folder + "\"\r\n";
}

int Count(const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
}

class Rules : public dk::test::MDaemonInstall {
protected:
    int Create(const char* folder, const char* name) {
        return lib_.get<DK_PFN_createMDaemonCFRule>("createMDaemonCFRule")(folder, name);
    }
    int Disable() { return lib_.get<DK_PFN_MDaemonDisableCFRules>("MDaemonDisableCFRules")(); }

    dk::test::Library lib_{dk::test::Build::full};
};

TEST_F(Rules, ProductRuleComesFirstAndEarlierRulesFollowUnchanged) {
    WriteFile(rules(), kEarlierRules);
    WriteFile(semaphore(), "left over");
    EXPECT_EQ(Create("C:\\Mail In\\QIV Archive", "QIV archive"), 0);
    EXPECT_EQ(ReadFile(rules()),
              ProductRule("QIV archive", "C:\\Mail In\\QIV Archive") + kEarlierWithoutProduct);
    EXPECT_FALSE(FileExists(temporary()));
    ASSERT_TRUE(FileExists(semaphore()));
    EXPECT_EQ(ReadFile(semaphore()), "");
}

TEST_F(Rules, SecondRunStillLeavesOneProductRule) {
    WriteFile(rules(), kEarlierRules);
    ASSERT_EQ(Create("C:\\first", "first"), 0);
    ASSERT_EQ(Create("D:\\second folder", "second"), 0);
    const std::string after = ReadFile(rules());
    EXPECT_EQ(after, ProductRule("second", "D:\\second folder") + kEarlierWithoutProduct);
    EXPECT_EQ(Count(after, "[Rule_QIV]"), 1);
}

TEST_F(Rules, StartsFromAFreshTemporaryFile) {
    WriteFile(rules(), kEarlierRules);
    WriteFile(temporary(), "[Rule_QIV]\r\nStale=1\r\n[Rule_1]\r\nRuleName=Spam\r\n");
    ASSERT_EQ(Create("C:\\QIV", "QIV"), 0);
    EXPECT_EQ(ReadFile(rules()), ProductRule("QIV", "C:\\QIV") + kEarlierWithoutProduct);
    EXPECT_FALSE(FileExists(temporary()));
}

TEST_F(Rules, UserDllTypeChoosesTheLibrary) {
    const std::string other = dir() / "other.ini";
    dk::test::ScopedEnv db("MDUSERXYZ_DBPATH", other.c_str());
    dk::test::ScopedEnv app("MDUSERXYZ_APPDIR", (dir().path() + "\\").c_str());
    WriteFile(rules(), kEarlierRules);
    WriteFile(other, "");
    SetLibraryType("XYZ");
    ASSERT_EQ(Create("C:\\QIV", "QIV"), 0);
    EXPECT_EQ(ReadFile(other), ProductRule("QIV", "C:\\QIV"));
    EXPECT_EQ(ReadFile(rules()), kEarlierRules);
    EXPECT_TRUE(FileExists(dir() / "cfilter.sem"));
    EXPECT_FALSE(FileExists(semaphore()));
}

// Every failure leaves the rules file as it was, no temporary file and no semaphore.
TEST_F(Rules, FailuresChangeNoFile) {
    const std::string longest(505, 'f'), too_long(506, 'f');
    struct Case {
        const char* name;
        std::function<void(Rules&)> arrange;
        const char* folder;
        const char* rule;
        int want;
    };
    const Case cases[] = {
        {"no MDaemon key", [](Rules&) { RemoveKey(); }, "C:\\QIV", "QIV", -ERROR_FILE_NOT_FOUND},
        {"empty IniPath", [](Rules&) { SetValue("IniPath", ""); }, "C:\\QIV", "QIV", -ERROR_BAD_PATHNAME},
        {"rules file missing", [](Rules& t) { DeleteFileA(t.rules().c_str()); }, "C:\\QIV", "QIV", -1},
        {"rules file unreadable",
         [](Rules& t) {
             DeleteFileA(t.rules().c_str());
             CreateDirectoryA(t.rules().c_str(), nullptr);
         },
         "C:\\QIV", "QIV", -1},
        {"relative rules path", [](Rules&) { SetEnvironmentVariableA("MDUSER_DBPATH", "cfilter.ini"); },
         "C:\\QIV", "QIV", -1},
        {"temporary file cannot be created",
         [](Rules& t) { CreateDirectoryA(t.temporary().c_str(), nullptr); }, "C:\\QIV", "QIV", -2},
        {"folder with a line feed", nullptr, "C:\\QIV\n[Rule_X]", "QIV", -4},
        {"folder with a carriage return", nullptr, "C:\\QIV\r", "QIV", -4},
        {"folder with a double quote", nullptr, "C:\\QIV\" x", "QIV", -4},
        {"folder too long for the action", nullptr, too_long.c_str(), "QIV", -4},
        {"rule name with a line feed", nullptr, "C:\\QIV", "QIV\nEnable=No", -4},
        {"rule name with a carriage return", nullptr, "C:\\QIV", "QIV\r", -4},
        {"no folder", nullptr, nullptr, "QIV", -4},
        {"no rule name", nullptr, "C:\\QIV", nullptr, -4},
        {"empty folder", nullptr, "", "QIV", -4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Install();
        WriteFile(rules(), kEarlierRules);
        if (c.arrange) c.arrange(*this);
        const bool had_rules = FileExists(rules());
        const bool temporary_was_folder = FileExists(temporary());
        EXPECT_EQ(Create(c.folder, c.rule), c.want);
        if (had_rules && !(GetFileAttributesA(rules().c_str()) & FILE_ATTRIBUTE_DIRECTORY)) {
            EXPECT_EQ(ReadFile(rules()), kEarlierRules);
        }
        EXPECT_EQ(FileExists(rules()), had_rules);
        EXPECT_EQ(FileExists(temporary()), temporary_was_folder);
        EXPECT_FALSE(FileExists(semaphore()));
        EXPECT_TRUE(LibrariesReleased());
        RemoveDirectoryA(rules().c_str());
        RemoveDirectoryA(temporary().c_str());
    }
    Install();
    WriteFile(rules(), kEarlierRules);
    EXPECT_EQ(Create(longest.c_str(), "QIV"), 0) << "the longest folder that fits";
    EXPECT_EQ(ReadFile(rules()), ProductRule("QIV", longest) + kEarlierWithoutProduct);
}

TEST_F(Rules, RulesFileThatCannotBeReplacedStaysAsItWas) {
    WriteFile(rules(), kEarlierRules);
    // MDaemon, or anyone, holding the file open without sharing write or delete access.
    HANDLE held =
        CreateFileA(rules().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Create("C:\\QIV", "QIV"), -3);
    CloseHandle(held);
    EXPECT_EQ(ReadFile(rules()), kEarlierRules);
    EXPECT_FALSE(FileExists(temporary()));
    EXPECT_FALSE(FileExists(semaphore()));
}

TEST_F(Rules, DisableSwitchesOffEverySection) {
    WriteFile(rules(), kEarlierRules + "[Rule_3]\r\nEnable=Yes\r\n");
    WriteFile(semaphore(), "left over");
    EXPECT_EQ(Disable(), 0);
    for (const char* section : {"Rule_1", "Rule_QIV", "Rule_2", "Rule_3"}) {
        SCOPED_TRACE(section);
        char value[16] = {};
        GetPrivateProfileStringA(section, "Enable", "", value, sizeof value, rules().c_str());
        EXPECT_STREQ(value, "NO");
    }
    char name[32] = {};
    GetPrivateProfileStringA("Rule_2", "Condition01", "", name, sizeof name, rules().c_str());
    EXPECT_STREQ(name, "TO|contains|a@b.c|");
    ASSERT_TRUE(FileExists(semaphore()));
    EXPECT_EQ(ReadFile(semaphore()), "");
}

TEST_F(Rules, DisableReachesSectionsBeyondTheFirst4096BytesOfNames) {
    std::string ini;
    int count = 0;
    std::size_t names_bytes = 0;
    for (; names_bytes <= 3 * 4096; ++count) {
        const std::string name = "Rule_" + std::to_string(count) + "_copy_to_archive";
        names_bytes += name.size() + 1;
        ini += "[" + name + "]\r\nRuleName=r" + std::to_string(count) + "\r\nEnable=Yes\r\n";
    }
    WriteFile(rules(), ini);
    ASSERT_EQ(Disable(), 0);
    const std::string after = ReadFile(rules());
    EXPECT_EQ(Count(after, "Enable=NO"), count);
    EXPECT_EQ(Count(after, "Enable=Yes"), 0);
}

TEST_F(Rules, DisableWithoutMDaemonChangesNothing) {
    WriteFile(rules(), kEarlierRules);
    RemoveKey();
    EXPECT_EQ(Disable(), -ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadFile(rules()), kEarlierRules);
    EXPECT_FALSE(FileExists(semaphore()));
}

TEST_F(Rules, BuildWithoutMetabaseClientInstallsTheRuleToo) {
    dk::test::Library other(dk::test::Build::nometabase);
    WriteFile(rules(), kEarlierRules);
    EXPECT_EQ(other.get<DK_PFN_createMDaemonCFRule>("createMDaemonCFRule")("C:\\QIV", "QIV"), 0);
    EXPECT_EQ(other.get<DK_PFN_MDaemonDisableCFRules>("MDaemonDisableCFRules")(), 0);
    EXPECT_EQ(Count(ReadFile(rules()), "[Rule_QIV]"), 1);
}

}  // namespace
