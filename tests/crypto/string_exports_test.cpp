// The string encryption and password exports, called through the DLL.
#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>

#include "crypto/crc32.h"
#include "crypto/hex.h"
#include "crypto/password_digest.h"
#include "crypto/tea_string.h"
#include "support/dk_test.h"

namespace {

struct Free {
    void operator()(char* p) const { std::free(p); }
};
using Owned = std::unique_ptr<char, Free>;

// A result as text, "(null)" for a null pointer; frees the result.
std::string Take(char* result) {
    Owned owned(result);
    return owned ? std::string(owned.get()) : std::string("(null)");
}

class StringExports : public ::testing::Test {
protected:
    dk::test::Library lib;
    DK_PFN_cryptStringTEA teaEncrypt = lib.get<DK_PFN_cryptStringTEA>("cryptStringTEA");
    DK_PFN_decryptStringTEA teaDecrypt = lib.get<DK_PFN_decryptStringTEA>("decryptStringTEA");
    DK_PFN_cryptString desEncrypt = lib.get<DK_PFN_cryptString>("cryptString");
    DK_PFN_decryptString desDecrypt = lib.get<DK_PFN_decryptString>("decryptString");
    DK_PFN_pyx_cryptString headerEncrypt = lib.get<DK_PFN_pyx_cryptString>("pyx_cryptString");
    DK_PFN_MD5pwd md5pwd = lib.get<DK_PFN_MD5pwd>("MD5pwd");
};

TEST_F(StringExports, TeaRoundTripAndLengths) {
    const std::string texts[] = {"", "a", "ab", "abc", "password with spaces", std::string(300, 'z')};
    for (const auto& text : texts) {
        SCOPED_TRACE(text);
        const std::string hex = Take(teaEncrypt(text.c_str()));
        const std::size_t t = text.size();
        EXPECT_GE(hex.size(), t >= 3 ? 2 * (t + 6) : 20u);
        EXPECT_LE(hex.size(), t >= 3 ? 2 * (t + 9) : 26u);
        EXPECT_EQ(Take(teaDecrypt(hex.c_str(), "plorvamuqe5")), text);
    }
}

// The generator is seeded with the time in seconds: two calls in one second agree, and both are
// the frame the portable encoder builds for that second.
TEST_F(StringExports, TeaIsDeterministicWithinOneSecond) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::time_t before = std::time(nullptr);
        const std::string first = Take(teaEncrypt("same text"));
        const std::string second = Take(teaEncrypt("same text"));
        if (std::time(nullptr) != before) continue;
        EXPECT_EQ(first, second);
        EXPECT_EQ(first, dk::crypto::EncryptTeaString("same text", static_cast<unsigned>(before)));
        return;
    }
    GTEST_SKIP() << "every attempt crossed a second boundary";
}

TEST_F(StringExports, TeaInputsThatComeBackUnchanged) {
    const std::string good = Take(teaEncrypt("secret"));
    std::string otherDigit = good;
    otherDigit[4] = otherDigit[4] == '1' ? '2' : '1';
    // A frame with a matching CRC whose pad count runs past its end.
    std::vector<std::uint8_t> frame = {9, 'a', 'b', 'c', 'd'};
    const std::uint32_t crc = dk::crypto::Crc32(frame.data(), frame.size());
    for (int i = 0; i < 4; ++i) frame.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
    const std::string shortPad = dk::crypto::EncipherTeaFrame(frame);

    struct Case {
        std::string hex;
        const char* code;
    };
    const Case cases[] = {
        {good, "PLORVAMUQE5"},
        {good, "plorvamuqe"},
        {good, ""},
        {good, nullptr},
        {otherDigit, "plorvamuqe5"},
        {"0123456789ABCDE", "plorvamuqe5"},
        {good + "0", "plorvamuqe5"},
        {shortPad, "plorvamuqe5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.hex + " / " + (c.code ? c.code : "(null)"));
        EXPECT_EQ(Take(teaDecrypt(c.hex.c_str(), c.code)), c.hex);
    }
}

TEST_F(StringExports, TeaNullText) {
    EXPECT_EQ(teaEncrypt(nullptr), nullptr);
    EXPECT_EQ(teaDecrypt(nullptr, "plorvamuqe5"), nullptr);
    EXPECT_EQ(teaDecrypt(nullptr, nullptr), nullptr);
}

TEST_F(StringExports, DesStrings) {
    const std::string text33(33, 'q');
    EXPECT_EQ(Take(desEncrypt(std::string(32, 'q').c_str(), "key")).size(), 64u);
    EXPECT_EQ(Take(desEncrypt(text33.c_str(), "key")).size(), 128u);
    EXPECT_EQ(Take(desEncrypt("", "key")), "");
    EXPECT_EQ(Take(desEncrypt("text", "abcdefgh")), Take(desEncrypt("text", "abcdefghIJ")));
    EXPECT_NE(Take(desEncrypt("text", "abcdefg")), Take(desEncrypt("text", "abcdefgh")));
    EXPECT_EQ(Take(desDecrypt(Take(desEncrypt("Hello, world", "secret12")).c_str(), "secret12")),
              "Hello, world");
    // 10 bytes: not a whole block, so they come back as decoded.
    EXPECT_EQ(Take(desDecrypt("41424344454647484950", "key")), "ABCDEFGHIP");
    EXPECT_EQ(Take(desDecrypt("", "key")), "");
}

TEST_F(StringExports, DesNullAndOddInputs) {
    EXPECT_EQ(desEncrypt(nullptr, "key"), nullptr);
    EXPECT_EQ(desEncrypt("text", nullptr), nullptr);
    EXPECT_EQ(desDecrypt(nullptr, "key"), nullptr);
    EXPECT_EQ(desDecrypt("00", nullptr), nullptr);
    EXPECT_EQ(desDecrypt("001", "key"), nullptr);
}

TEST_F(StringExports, HeaderStringLayout) {
    EXPECT_EQ(headerEncrypt(nullptr), nullptr);
    EXPECT_EQ(headerEncrypt(""), nullptr);
    const std::string hex = Take(headerEncrypt("hello"));
    ASSERT_EQ(hex.size(), 90u);
    EXPECT_EQ(hex.substr(8, 2), "01");
    EXPECT_EQ(hex.substr(10, 8), "00000000");
    EXPECT_EQ(hex.substr(18, 8), "05000000");
    std::uint8_t bytes[45];
    dk::crypto::HexDecode(hex.data(), hex.size(), bytes);
    const std::uint32_t crc = dk::crypto::Crc32(bytes + 4, 41);
    EXPECT_EQ(bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24, crc);
    EXPECT_EQ(Take(headerEncrypt("hello")), hex);
}

TEST_F(StringExports, Md5pwd) {
    struct Case {
        const char* password;
        const char* want;
    };
    const Case cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"abc", "902FBDD2B1DF0C4F70B4A5D23525E932"},  // MD5 of "ABC"
        {"ABC", "902FBDD2B1DF0C4F70B4A5D23525E932"},
        {"0123456789abcdef0123456789abcdef", "0123456789ABCDEF0123456789ABCDEF"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password);
        EXPECT_EQ(Take(md5pwd(c.password)), c.want);
    }
    EXPECT_EQ(md5pwd(nullptr), nullptr);
}

}  // namespace

namespace {

// Both DLL builds carry the same exports with the same results.
TEST(BothBuilds, SameStringResults) {
    dk::test::Library full(dk::test::Build::full), nometabase(dk::test::Build::nometabase);
    for (auto* lib : {&full, &nometabase}) {
        // The value openssl enc -d -des-ecb -nopad -K 7365637265743132 turns back into the text.
        EXPECT_EQ(Take(lib->get<DK_PFN_cryptString>("cryptString")("Hello, world", "secret12")),
                  "AEBA913A2AF3D50B678B0D81D3FB7616118AB69833DF15C8118AB69833DF15C8");
        EXPECT_EQ(Take(lib->get<DK_PFN_MD5pwd>("MD5pwd")("abc")), "902FBDD2B1DF0C4F70B4A5D23525E932");
        EXPECT_EQ(lib->get<DK_PFN_cryptFile>("cryptFile")(nullptr), -1);
        EXPECT_EQ(lib->get<DK_PFN_pyx_cryptString>("pyx_cryptString")(""), nullptr);
        const std::string tea = Take(lib->get<DK_PFN_cryptStringTEA>("cryptStringTEA")("x"));
        EXPECT_EQ(Take(lib->get<DK_PFN_decryptStringTEA>("decryptStringTEA")(tea.c_str(), "plorvamuqe5")),
                  "x");
    }
}

}  // namespace
