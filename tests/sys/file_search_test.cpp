#include "sys/file_search.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace std::string_literals;

// "Кword" and more in UTF-16LE: U+041A puts the byte 0x1A before the word.
const std::string kUtf16 = "\x1A\x04w\0o\0r\0d\0 \0L\0i\0n\0e\0"s;

struct WideCase {
    std::string bytes;
    const char* text;
    bool want;
};

TEST(FindWide, MatchesLowBytesTwoApartExactly) {
    const WideCase cases[] = {
        {kUtf16, "word", true},    {kUtf16, "Line", true},  {kUtf16, "line", false},  // letter case counts
        {kUtf16, "wo", true},      {"word", "word", false},  // 8-bit text: the letters are adjacent
        {"w.o.r.d", "word", true},                           // only every other byte is compared
        {kUtf16, "w", true},       {kUtf16, "x", false},    {"", "", true},
        {"abc", "", true},         {"", "a", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(dk::sys::FindWide(c.bytes, c.text), c.want);
    }
}

TEST(FindWide, NeverComparesPastTheEnd) {
    // The word's last character would lie beyond the bytes read; a heap copy of exactly these
    // bytes lets the address sanitizer catch any read past them.
    const std::string bytes = "w\0o\0r"s;
    const std::unique_ptr<char[]> exact(new char[bytes.size()]);
    bytes.copy(exact.get(), bytes.size());
    EXPECT_FALSE(dk::sys::FindWide({exact.get(), bytes.size()}, "word"));
    EXPECT_TRUE(dk::sys::FindWide({exact.get(), bytes.size()}, "wor"));
    EXPECT_FALSE(dk::sys::FindWide({exact.get() + 4, 1}, "rd"));
}

TEST(FindNarrow, IgnoresCaseAndStopsAtTheFirstZeroByte) {
    EXPECT_TRUE(dk::sys::FindNarrow("Hello World", "WORLD"));
    EXPECT_TRUE(dk::sys::FindNarrow("Hello World", "hello w"));
    EXPECT_FALSE(dk::sys::FindNarrow("Hello\0World"s, "world"));
    EXPECT_FALSE(dk::sys::FindNarrow("Hello", "Hello!"));
    EXPECT_TRUE(dk::sys::FindNarrow("", ""));
}

class FindInFile : public ::testing::Test {
protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("dk_find_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
                ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string Write(const std::string& name, const std::string& bytes) {
        const std::string path = (dir_ / name).string();
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
        std::fwrite(bytes.data(), 1, bytes.size(), f.get());
        return path;
    }
    std::filesystem::path dir_;
};

TEST_F(FindInFile, BothModesAndTheirFailures) {
    const std::string wide = Write("wide.txt", "\xFF\xFE"s + kUtf16);
    const std::string narrow = Write("narrow.txt", "Setup LOG\nsecond line\0hidden"s);
    EXPECT_EQ(dk::sys::FindInFile(wide.c_str(), "word", true), 1);
    EXPECT_EQ(dk::sys::FindInFile(wide.c_str(), "WORD", true), 0);
    EXPECT_EQ(dk::sys::FindInFile(narrow.c_str(), "second", true), 0);
    EXPECT_EQ(dk::sys::FindInFile(narrow.c_str(), "setup log", false), 1);
    EXPECT_EQ(dk::sys::FindInFile(narrow.c_str(), "hidden", false), 0);
    EXPECT_EQ(dk::sys::FindInFile((dir_ / "missing").string().c_str(), "x", false), -1);
    EXPECT_EQ(dk::sys::FindInFile(nullptr, "x", false), -1);
    EXPECT_EQ(dk::sys::FindInFile(narrow.c_str(), nullptr, false), -1);
}

}  // namespace
