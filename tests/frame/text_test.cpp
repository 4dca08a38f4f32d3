#include "frame/text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace {

struct Freed {
    void operator()(char* p) const { std::free(p); }
};
using owned = std::unique_ptr<char, Freed>;

TEST(CopyBytes, CopiesExactlyCountBytes) {
    EXPECT_EQ(dk::CopyBytes("abcdef", 0), nullptr);
    EXPECT_EQ(dk::CopyBytes("abcdef", -1), nullptr);
    EXPECT_EQ(dk::CopyBytes(nullptr, 3), nullptr);
    owned copy(dk::CopyBytes("abcdef", 3));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(std::string(copy.get(), 3), "abc");
}

TEST(NextLine, SplitsAtLineFeedsKeepingCarriageReturns) {
    const char* text = "ab\r\ncd\n\nef";
    const char* cursor = text;
    const char* want[] = {"ab\r", "cd", "", "ef"};
    for (const char* w : want) {
        owned line(dk::NextLine(&cursor));
        ASSERT_NE(line, nullptr);
        EXPECT_STREQ(line.get(), w);
    }
    EXPECT_EQ(cursor, text + std::strlen(text));
    EXPECT_EQ(dk::NextLine(&cursor), nullptr);
    const char* empty = "";
    EXPECT_EQ(dk::NextLine(&empty), nullptr);
}

struct FindCase {
    const char* haystack;
    const char* needle;
    int want;  // offset, or -1 for not found
};
constexpr FindCase kFind[] = {
    {"Microsoft SQL Server 2008", "sql server", 10},
    {"abc", "abcd", -1},
    {"abc", "abc", 0},
    {"abc", "ABC", 0},
    {"xxaXbx", "axb", 2},
    {"\xe9t\xe9", "\xc9T\xc9", -1},  // bytes above 127 never fold
    {"abc", "", 3},                  // an empty needle is found at the end
    {"", "", 0},
    {"", "a", -1},
};

TEST(FindNoCase, Table) {
    for (const auto& c : kFind) {
        SCOPED_TRACE(std::string(c.haystack) + " / " + c.needle);
        const char* found = dk::FindNoCase(c.haystack, c.needle);
        EXPECT_EQ(found ? static_cast<int>(found - c.haystack) : -1, c.want);
    }
}

struct TrimCase {
    const char* text;
    const char* want;
};
constexpr TrimCase kTrim[] = {
    {"  Started\r", "Started"}, {"\t\r\n", ""}, {"a b", "a b"}, {"", ""}, {"\v\fx\v\f", "x"},
    {"\xa0x\xa0", "\xa0x\xa0"},  // 0xA0 is not white space here
};

TEST(TrimSpaces, Table) {
    for (const auto& c : kTrim) {
        SCOPED_TRACE(c.text);
        std::string buffer = c.text;
        char* p = buffer.data();
        EXPECT_EQ(dk::TrimSpaces(p), p);
        EXPECT_STREQ(p, c.want);
    }
}

}  // namespace
