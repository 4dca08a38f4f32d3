#include "iis/appcmd_answers.h"

#include <gtest/gtest.h>

#include <climits>

namespace dk::iis {
namespace {

TEST(AppcmdAnswers, DecimalValue) {
    struct Case {
        const char* line;
        int want;
    };
    constexpr Case cases[] = {
        {"12\r", 12},
        {"  7", 7},
        {"", 0},
        {"abc", 0},
        {"3 - x", 3},
        {"-4", -4},
        {"\t\n 42z", 42},
        {"99999999999", INT_MAX},
        {"-99999999999", INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(DecimalValue(c.line), c.want);
    }
}

TEST(AppcmdAnswers, BindingAnswer) {
    struct Case {
        const char* line;
        const char* want;
    };
    constexpr Case cases[] = {
        {"http/*:80:\r", ":80:"},
        {"http/10.0.0.5:8080:intranet\r", "10.0.0.5:8080:intranet"},
        {"no slash here \r", "no slash here"},
        {"http/*:80:,https/*:443:", ":80:,https/*:443:"},
        {"http/", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(BindingAnswer(c.line), c.want);
    }
}

TEST(AppcmdAnswers, VdirListed) {
    struct Case {
        const char* output;
        bool want;
    };
    constexpr Case cases[] = {
        {"VDIR \"Web/upload\" (physicalPath:c:\\u)\r\n", true},
        {"VDIR \"Web/upload2\" (physicalPath:c:\\u)\r\n", false},
        {"VDIR \"Web/\" (physicalPath:c:\\w)\r\nVDIR \"Web/upload\" (physicalPath:c:\\u)\r\n", true},
        {"VDIR \"web/upload\" (physicalPath:c:\\u)\r\n", false},
        {"VDIR \"Web/other\"\r\n\nVDIR \"Web/x\"", true},  // an empty line agrees with everything
        {"VDIR", true},                                    // so does a prefix of the pattern
        {"", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.output);
        EXPECT_EQ(VdirListed(c.output, "Web", "upload"), c.want);
    }
}

TEST(AppcmdAnswers, LinesAndFirstLine) {
    EXPECT_EQ(Lines("ab\r\ncd\n\nef"), (std::vector<std::string>{"ab\r", "cd", "", "ef"}));
    EXPECT_TRUE(Lines("").empty());
    EXPECT_EQ(FirstLineTrimmed("  Started\r\nx"), "Started");
    EXPECT_EQ(FirstLineTrimmed("\r\n"), "");
    EXPECT_EQ(FirstLineTrimmed(""), std::nullopt);
    EXPECT_EQ(FirstLine("12\r\n"), "12\r");
}

TEST(AppcmdAnswers, SiteList) {
    std::string list;
    AppendSiteEntry(list, "Default Web Site", "Started");
    AppendSiteEntry(list, "Intranet", "Stopped");
    EXPECT_EQ(list, "Default Web Site - (Started),Intranet - (Stopped),");
}

}  // namespace
}  // namespace dk::iis
