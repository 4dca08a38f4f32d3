#include "mdaemon/cf_rules.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using dk::mdaemon::ActionText;
using dk::mdaemon::IsFullPath;
using dk::mdaemon::RuleInputsAcceptable;
using dk::mdaemon::SectionNames;
using dk::mdaemon::WithoutSection;

TEST(ActionText, QuotesTheFolderUnchanged) {
    EXPECT_EQ(ActionText("C:\\Mail In\\QIV"), "copy to dir|\"C:\\Mail In\\QIV\"");
    EXPECT_EQ(ActionText(""), "copy to dir|\"\"");
}

TEST(RuleInputs, RefusesWhatWouldCorruptTheRulesFile) {
    // "copy to dir|"" takes 14 bytes and the buffer ends with a NUL: 505 folder bytes fit.
    const std::string longest(505, 'f'), too_long(506, 'f');
    struct Case {
        const char* folder;
        const char* name;
        bool want;
    };
    const Case cases[] = {
        {"C:\\Mail In\\QIV", "QIV archive", true},
        {longest.c_str(), "n", true},
        {"C:\\x", "name with \"quotes\" and [brackets]", true},
        {too_long.c_str(), "n", false},
        {"C:\\x\ry", "n", false},
        {"C:\\x\ny", "n", false},
        {"C:\\x\"y", "n", false},
        {"C:\\x", "a\rb", false},
        {"C:\\x", "a\nb", false},
        {"", "n", false},
        {"C:\\x", "", false},
        {nullptr, "n", false},
        {"C:\\x", nullptr, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.folder ? std::string(c.folder).substr(0, 40) : "(null)")
                                        << " / " << (c.name ? c.name : "(null)"));
        EXPECT_EQ(RuleInputsAcceptable(c.folder, c.name), c.want);
    }
}

TEST(WithoutSection, RemovesEveryCopyAndKeepsOtherBytesExactly) {
    struct Case {
        const char* name;
        std::string ini;
        std::string want;
    };
    const Case cases[] = {
        {"absent", "[Rule_1]\r\nEnable=Yes\r\n[Rule_2]\nA = b \n",
         "[Rule_1]\r\nEnable=Yes\r\n[Rule_2]\nA = b \n"},
        {"first", "[Rule_QIV]\r\nRuleName=old\r\n[Rule_1]\r\nEnable=Yes\r\n", "[Rule_1]\r\nEnable=Yes\r\n"},
        {"middle and last, no final line end",
         "[A]\r\nx=1\r\n[Rule_QIV]\r\nRuleName=old\r\n\r\n[B]\r\ny=2\r\n[Rule_QIV]\r\nz=3",
         "[A]\r\nx=1\r\n[B]\r\ny=2\r\n"},
        {"case and blanks", "[a]\n  [ rule_qiv ]  \nk=v\n[b]\n[RULE_QIV]\n", "[a]\n[b]\n"},
        {"similar names stay", "[Rule_QIV2]\nk=v\n[XRule_QIV]\nk=v\n",
         "[Rule_QIV2]\nk=v\n[XRule_QIV]\nk=v\n"},
        {"keys before any section stay", "k=v\n[Rule_QIV]\nx=y\n", "k=v\n"},
        {"value mentioning the section", "[A]\nk=[Rule_QIV]\n", "[A]\nk=[Rule_QIV]\n"},
        {"header without closing bracket", "[Rule_QIV\nk=v\n[A]\n", "[A]\n"},
        {"empty", "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(WithoutSection(c.ini, "Rule_QIV"), c.want);
    }
}

TEST(WithoutSection, KeepsBinaryBytes) {
    const std::string ini("[A]\r\nk=\x01\0\xff\r\n[Rule_QIV]\r\nx=1\r\n", 27);
    EXPECT_EQ(WithoutSection(ini, "Rule_QIV"), std::string("[A]\r\nk=\x01\0\xff\r\n", 12));
}

TEST(SectionNames, SplitsTheWholeList) {
    EXPECT_EQ(SectionNames(std::string("A\0Rule_QIV\0b c\0\0", 17)),
              (std::vector<std::string>{"A", "Rule_QIV", "b c"}));
    EXPECT_EQ(SectionNames(std::string("A\0B", 3)), (std::vector<std::string>{"A", "B"}));
    EXPECT_TRUE(SectionNames(std::string("\0", 1)).empty());
    EXPECT_TRUE(SectionNames("").empty());
    std::string many;
    for (int i = 0; i < 1000; ++i) many += "Rule_" + std::to_string(i) + '\0';
    const auto names = SectionNames(many);
    ASSERT_EQ(names.size(), 1000u);
    EXPECT_EQ(names.back(), "Rule_999");
}

TEST(IsFullPath, DriveOrUncOnly) {
    struct Case {
        const char* path;
        bool want;
    };
    const Case cases[] = {
        {"C:\\MDaemon\\App\\cfilter.ini", true},
        {"z:/tmp/x.ini", true},
        {"\\\\server\\share\\x.ini", true},
        {"cfilter.ini", false},
        {"C:cfilter.ini", false},
        {"\\x.ini", false},
        {"\\\\\\x", false},
        {"1:\\x", false},
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(IsFullPath(c.path), c.want);
    }
}

}  // namespace
