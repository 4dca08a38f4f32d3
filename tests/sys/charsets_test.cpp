#include "sys/charsets.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CheckCase {
    const char* text;
    int mode;
    int want;
};

constexpr CheckCase kCheckCases[] = {
    {"ab_c", 1, 2},   {"ab_c", 2, 2}, {"ab_c", 3, 0},   {"ab1", 1, 2},    {"ab1", 2, 0},
    {"ab1", 3, 0},    {"a-b", 2, 1},  {"a-b", 3, 0},    {"a b", 3, 1},    {"Zz09_-", 3, 0},
    {"abc", 0, -1},   {"abc", 4, -1}, {"", 0, 0},       {"", 4, 0},       {nullptr, 1, 0},
    {nullptr, -7, 0}, {"_abc", 1, 0}, {"ab\xE9", 3, 2}, {"ab\x7F", 3, 2}, {"ab.", 3, 2},
};

TEST(CheckAllowed, OffsetOfTheFirstCharacterOutsideTheSet) {
    for (const auto& c : kCheckCases) {
        SCOPED_TRACE(std::string(c.text ? c.text : "(null)") + " mode " + std::to_string(c.mode));
        EXPECT_EQ(dk::sys::CheckAllowed(c.text, c.mode), c.want);
    }
}

TEST(Alphabet, ThreeSetsInTheirOrder) {
    EXPECT_EQ(dk::sys::Alphabet(1), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    EXPECT_EQ(dk::sys::Alphabet(2), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_EQ(dk::sys::Alphabet(3), "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789_-");
    EXPECT_TRUE(dk::sys::Alphabet(0).empty());
    EXPECT_TRUE(dk::sys::Alphabet(4).empty());
}

int counter = 0;
int Counting() { return counter++; }

TEST(RandomText, EachValueModuloTheAlphabetPicksOneCharacter) {
    counter = 50;
    EXPECT_EQ(dk::sys::RandomText(6, dk::sys::Alphabet(1), &Counting), "YZabcd");
    counter = 60;
    EXPECT_EQ(dk::sys::RandomText(4, dk::sys::Alphabet(2), &Counting), "89ab");
    counter = 62;
    EXPECT_EQ(dk::sys::RandomText(3, dk::sys::Alphabet(3), &Counting), "_-a");
    EXPECT_EQ(dk::sys::RandomText(0, dk::sys::Alphabet(1), &Counting), "");
    EXPECT_EQ(dk::sys::RandomText(3, dk::sys::Alphabet(9), &Counting), "");
}

TEST(RandomText, EveryCharacterBelongsToItsSet) {
    counter = 0;
    for (int set = 1; set <= 3; ++set) {
        const std::string text = dk::sys::RandomText(200, dk::sys::Alphabet(set), &Counting);
        ASSERT_EQ(text.size(), 200u);
        EXPECT_EQ(dk::sys::CheckAllowed(text.c_str(), set), 0) << text;
    }
}

}  // namespace
