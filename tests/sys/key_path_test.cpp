#include "sys/key_path.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* outer;
    const char* path;
    bool want;
};

TEST(SameOrInside, ComparesWholeComponentsIgnoringCase) {
    constexpr Case cases[] = {
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old\\App", true},
        {"SOFTWARE\\Old\\App", "software\\OLD\\aPP", true},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old\\App\\Sub", true},
        {"SOFTWARE\\Old\\App", "Software\\old\\app\\a\\b", true},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old\\App\\", true},
        {"SOFTWARE\\Old\\App\\", "SOFTWARE\\Old\\App", true},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old\\Apple", false},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old", false},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\New\\App", false},
        {"SOFTWARE\\Old\\App", "SOFTWARE\\Old\\Ap", false},
        {"App", "App\\x", true},
        {"", "anything", true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.outer) + " | " + c.path);
        EXPECT_EQ(dk::sys::SameOrInside(c.outer, c.path), c.want);
    }
}

}  // namespace
