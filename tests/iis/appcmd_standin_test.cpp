// The stand-in's own command handling, natively: the tests that use it under Wine rely on it.
#include <gtest/gtest.h>

#include "standins/appcmd/appcmd_model.h"
#include "standins/appcmd/control.h"

namespace dk::standin {
namespace {

TEST(AppcmdStandin, SplitsLikeTheCRuntime) {
    struct Case {
        const char* line;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"C:\\w\\appcmd.exe list site \"Default Web Site\" /text:state",
         {"list", "site", "Default Web Site", "/text:state"}},
        {"\"C:\\a b\\appcmd.exe\" add vdir /app.name:\"S/\" /physicalPath:\"C:\\x\\\"",
         {"add", "vdir", "/app.name:S/", "/physicalPath:C:\\x\""}},
        {"appcmd.exe set config /+[path='C:\\q\\tovex.dll',allowed='true']",
         {"set", "config", "/+[path='C:\\q\\tovex.dll',allowed='true']"}},
        {"appcmd.exe a\\\\\"b c\" \"\"", {"a\\b c", ""}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(SplitArguments(c.line), c.want);
    }
}

Outcome RunLine(State& s, const char* line) { return Execute(s, SplitArguments(line)); }

TEST(AppcmdStandin, ConfigurationLifecycle) {
    State s = ParseState("site\t1\tWeb\tStarted\thttp/*:80:\napp\tWeb\t/\tDefaultAppPool\n");
    struct Step {
        const char* line;
        int code;
        const char* output;
    };
    constexpr Step steps[] = {
        {"a add apppool /name:\"P\" /managedRuntimeVersion:", 0, "APPPOOL object \"P\" added\n"},
        {"a add apppool /name:P", 183,
         "ERROR ( message:Failed to add duplicate collection element \"P\". )\n"},
        {"a add app /site.name:\"Nope\" /path:\"/q\"", 1168,
         "ERROR ( message:Cannot find SITE object with identifier \"Nope\". )\n"},
        {"a add app /site.name:\"Web\" /path:\"/q\" /physicalPath:\"C:\\q\" /applicationPool:\"P\"", 0,
         "APP object \"Web/q\" added\nVDIR object \"Web/q/\" added\n"},
        {"a add vdir /app.name:\"Web/q\" /path:/admin /physicalPath:\"C:\\q\\admin\"", 0,
         "VDIR object \"Web/q/admin\" added\n"},
        {"a set config \"Web/q/admin\" /section:handlers /+[name='T',path='*.pyx']", 33, nullptr},
        {"a unlock config \"Web/q/admin\" /section:handlers", 0, nullptr},
        {"a set config \"Web/q/admin\" /section:handlers /+[name='T',path='*.pyx']", 0, nullptr},
        {"a set config \"Web/q/admin\" /section:handlers /[name='T'].resourceType:File", 0, nullptr},
        {"a set config \"Web/q/admin\" /section:handlers /[name='X'].resourceType:File", 1168, nullptr},
        {"a list vdir /app.name:\"Web/q\"", 0,
         "VDIR \"Web/q/\" (physicalPath:C:\\q,app.name:Web/q)\nVDIR \"Web/q/admin\" "
         "(physicalPath:C:\\q\\admin,app.name:Web/q)\n"},
        {"a list site -id:1 /text:site.name", 0, "Web\n"},
        {"a list site -id:2 /text:site.name", 0, ""},
        {"a delete app \"Web/q\"", 0, "APP object \"Web/q\" deleted\n"},
        {"a delete vdir /vdir.name:\"Web/q/admin\"", 1168, nullptr},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.line);
        const Outcome out = RunLine(s, step.line);
        EXPECT_EQ(out.exit_code, step.code) << out.output;
        if (step.output) {
            EXPECT_EQ(out.output, step.output);
        }
    }
    ASSERT_EQ(s.handlers.size(), 1u);
    EXPECT_EQ(s.handlers[0].attributes,
              (Attributes{{"name", "T"}, {"path", "*.pyx"}, {"resourceType", "File"}}));
    EXPECT_EQ(FormatState(ParseState(FormatState(s))), FormatState(s));
}

TEST(AppcmdStandin, ControlRules) {
    const std::string control =
        RuleLine({"add apppool", 5, 0, "ERROR\\x\r\n"}) + RuleLine({"list", 0, 100, ""});
    const auto rule = MatchingRule(control, "C:\\appcmd.exe add apppool /name:P");
    ASSERT_TRUE(rule);
    EXPECT_EQ(rule->exit_code, 5);
    EXPECT_EQ(rule->output, "ERROR\\x\r\n");
    EXPECT_EQ(MatchingRule(control, "C:\\appcmd.exe list site")->hang_ms, 100);
    EXPECT_FALSE(MatchingRule(control, "C:\\appcmd.exe delete app x"));
}

}  // namespace
}  // namespace dk::standin
