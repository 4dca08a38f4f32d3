#include "iis/web_app_steps.h"

#include <gtest/gtest.h>

#include "expected_commands.h"

namespace dk::iis {
namespace {

WebAppValues Values(int flags) {
    return {"C:\\Windows", "Default Web Site", "C:\\QIV", "qiv", "QIVPool", flags};
}

std::vector<std::string> Commands(const std::vector<WebAppStep>& steps) {
    const std::string program = "C:\\Windows\\system32\\inetsrv\\appcmd.exe ";
    std::vector<std::string> out;
    for (const auto& s : steps) {
        EXPECT_EQ(s.command.compare(0, program.size(), program), 0) << s.command;
        out.push_back(s.command.substr(program.size()));
    }
    return out;
}

TEST(WebAppSteps, CommandSequences) {
    struct Case {
        int flags;
        bool install;
        const std::vector<std::string>* want;
    };
    const Case cases[] = {
        {0, true, &expected::kInstallFlags0}, {3, true, &expected::kInstallFlags3},
        {0, false, &expected::kRemoveFlags0}, {3, false, &expected::kRemoveFlags3},
        {4, true, &expected::kInstallFlags0}, {7, false, &expected::kRemoveFlags3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "flags " << c.flags << (c.install ? " install" : " removal"));
        const auto steps = c.install ? InstallSteps(Values(c.flags)) : RemovalSteps(Values(c.flags));
        EXPECT_EQ(Commands(steps), *c.want);
    }
}

TEST(WebAppSteps, OnlyThe32BitAndApphostUnlockStepsAreOptional) {
    const auto steps = InstallSteps(Values(3));
    std::vector<std::string> optional;
    for (const auto& s : steps) {
        if (!s.required) optional.push_back(FailureRecord(s, 5));
    }
    EXPECT_EQ(optional, (std::vector<std::string>{"Cannot enable 32bit application",
                                                  "cannot unlock handlers configuration in apphost (5)"}));
    EXPECT_EQ(steps.front().on_success, "Application pool created");
    EXPECT_EQ(steps.back().on_success, "tovex.exe is allowed to run");
}

TEST(WebAppSteps, RemovalMessages) {
    std::vector<std::string> messages;
    for (const auto& s : RemovalSteps(Values(3))) {
        EXPECT_FALSE(s.required);
        messages.push_back(FailureRecord(s, 1168));
    }
    EXPECT_EQ(messages, expected::kRemoveFlags3Failures);
}

TEST(WebAppSteps, LongValuesReachTheCommandWhole) {
    WebAppValues v = Values(3);
    v.folder = "D:\\" + std::string(2000, 'f');
    for (const auto& s : InstallSteps(v)) {
        if (s.command.find("physicalPath") != std::string::npos) {
            EXPECT_NE(s.command.find(v.folder + "\\"), std::string::npos) << s.command.substr(0, 80);
            EXPECT_EQ(s.command.back(), '"');
        }
    }
}

TEST(WebAppSteps, PercentSignsInValuesStayLiteral) {
    WebAppValues v = Values(0);
    v.application = "a%sb%d";
    EXPECT_NE(InstallSteps(v)[2].command.find("/path:\"/a%sb%d\""), std::string::npos);
}

}  // namespace
}  // namespace dk::iis
