// TEA frames, DES strings and keyed strings with header, as the portable code builds them.
#include <gtest/gtest.h>

#include "crypto/crc32.h"
#include "crypto/des_string.h"
#include "crypto/tea_string.h"
#include "oracles.h"

using namespace dk::crypto;
using dk::test::Bytes;

namespace {

std::string Text(std::size_t n, char first = 'a') {
    std::string s;
    for (std::size_t i = 0; i < n; ++i) s += static_cast<char>(first + i % 26);
    return s;
}

TEST(TeaString, RoundTripAndLength) {
    for (std::size_t t = 0; t <= 40; ++t) {
        for (unsigned seed : {1u, 77u, 1700000000u}) {
            const std::string text = Text(t);
            const std::string hex = EncryptTeaString(text, seed);
            SCOPED_TRACE(testing::Message() << "length " << t << " seed " << seed);
            // N = P + T + 5 with P = 1..4 for T >= 3, and the short texts padded up.
            const std::size_t lowest = t >= 3 ? t + 6 : 10, highest = t >= 3 ? t + 9 : 13;
            EXPECT_GE(hex.size(), 2 * lowest);
            EXPECT_LE(hex.size(), 2 * highest);
            EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos);
            EXPECT_EQ(DecryptTeaString(hex), text);
        }
    }
}

TEST(TeaString, SameSeedSameResultOtherSeedsDiffer) {
    EXPECT_EQ(EncryptTeaString("secret", 42), EncryptTeaString("secret", 42));
    int differing = 0;
    for (unsigned seed = 43; seed < 53; ++seed)
        differing += EncryptTeaString("secret", seed) != EncryptTeaString("secret", 42);
    EXPECT_GE(differing, 8);
}

TEST(TeaString, InputsThatDoNotDecode) {
    const std::string good = EncryptTeaString("password", 5);
    std::string otherDigit = good;
    otherDigit[10] = otherDigit[10] == '7' ? '8' : '7';
    const char* cases[] = {"", "0123456789ABCDE", "0123456789ABCDEF0", "0123456789ABCDEF"};
    for (const char* c : cases) {
        EXPECT_EQ(DecryptTeaString(c), std::nullopt) << c;
    }
    EXPECT_EQ(DecryptTeaString(otherDigit), std::nullopt);
    EXPECT_EQ(DecryptTeaString(good.substr(0, good.size() - 2)), std::nullopt);
}

TEST(TeaString, LetterCaseOfDigitsDoesNotMatter) {
    std::string hex = EncryptTeaString("password", 9);
    for (char& c : hex) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_EQ(DecryptTeaString(hex), "password");
}

// A frame whose CRC matches but whose pad count reaches into the CRC cannot come from the
// encoder; it must be refused, not read before the frame's start.
TEST(TeaString, PadCountBeyondTheFrameIsRefused) {
    for (std::uint8_t pad : {5, 8, 200, 255}) {
        std::vector<std::uint8_t> frame = {pad, 'x', 'y', 'z', 'w'};
        const std::uint32_t crc = Crc32(frame.data(), frame.size());
        for (int i = 0; i < 4; ++i) frame.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
        EXPECT_EQ(DecryptTeaString(EncipherTeaFrame(frame)), std::nullopt) << int{pad};
    }
    std::vector<std::uint8_t> fits = {4, 1, 2, 3, 4};  // P + 5 == N: the empty text
    const std::uint32_t crc = Crc32(fits.data(), fits.size());
    for (int i = 0; i < 4; ++i) fits.push_back(static_cast<std::uint8_t>(crc >> (24 - 8 * i)));
    EXPECT_EQ(DecryptTeaString(EncipherTeaFrame(fits)), "");
}

TEST(DesString, MatchesOpenSslOverPaddedText) {
    std::mt19937 rng(11);
    for (std::size_t t : {0u, 1u, 7u, 31u, 32u, 33u, 100u, 70000u}) {
        const std::string text = Text(t);
        const std::string key = "k3y-" + std::to_string(t);
        Bytes padded(text.begin(), text.end());
        padded.resize((t + 31) / 32 * 32);
        const Bytes k =
            dk::test::FromHex(dk::test::UpperHex(Bytes(key.begin(), key.end())) + "0000000000000000");
        SCOPED_TRACE(t);
        EXPECT_EQ(DesEncryptString(text, key),
                  dk::test::UpperHex(dk::test::OpenSslDesEcb(padded, k.data(), true)));
        const std::string back = DesDecryptString(DesEncryptString(text, key), key);
        EXPECT_EQ(back, std::string(padded.begin(), padded.end()));
    }
}

TEST(DesString, Lengths) {
    EXPECT_EQ(DesEncryptString(Text(32), "key").size(), 64u);
    EXPECT_EQ(DesEncryptString(Text(33), "key").size(), 128u);
    EXPECT_EQ(DesEncryptString("", "key"), "");
}

TEST(DesString, OnlyTheFirstEightKeyCharactersCount) {
    EXPECT_EQ(DesEncryptString("text", "abcdefgh"), DesEncryptString("text", "abcdefghXYZ"));
    EXPECT_EQ(DesEncryptString("text", "abcdefgh"), DesEncryptString("text", "abcdefghijklmnopqrstuvwxyz"));
    EXPECT_NE(DesEncryptString("text", "abcdefg"), DesEncryptString("text", "abcdefgh"));
    EXPECT_EQ(MakeDesKeyBuffer("abcdefghijklmnopqrst")[15], 'p');
    EXPECT_EQ(MakeDesKeyBuffer("abc")[3], 0);
}

TEST(DesString, DecodingWithoutWholeBlocksLeavesTheBytes) {
    EXPECT_EQ(DesDecryptString("00112233445566778899", "key"),
              std::string("\x00\x11\x22\x33\x44\x55\x66\x77\x88\x99", 10));
    EXPECT_EQ(DesDecryptString("zz", "key"), std::string(1, '\0'));
}

TEST(HeaderString, Layout) {
    const std::string key = "0123456789abcdef";
    const std::string raw = EncryptWithHeader("hello", key, 0x01020304);
    ASSERT_EQ(raw.size(), 13u + 32u);
    const Bytes b(raw.begin(), raw.end());
    EXPECT_EQ(b[4], 1);
    EXPECT_EQ(Bytes(b.begin() + 5, b.begin() + 9), (Bytes{4, 3, 2, 1}));
    EXPECT_EQ(Bytes(b.begin() + 9, b.begin() + 13), (Bytes{5, 0, 0, 0}));
    const std::uint32_t crc = Crc32(b.data() + 4, b.size() - 4);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 4), (Bytes{std::uint8_t(crc), std::uint8_t(crc >> 8),
                                                      std::uint8_t(crc >> 16), std::uint8_t(crc >> 24)}));
    Bytes padded = {'h', 'e', 'l', 'l', 'o'};
    padded.resize(32);
    EXPECT_EQ(Bytes(b.begin() + 13, b.end()),
              dk::test::OpenSslDesEcb(padded, reinterpret_cast<const std::uint8_t*>(key.data()), true));
}

TEST(HeaderString, FixedKeyForm) {
    const std::string hex = EncryptHeaderString("hello");
    ASSERT_EQ(hex.size(), 90u);
    EXPECT_EQ(hex.substr(8, 2), "01");
    EXPECT_EQ(hex.substr(10, 8), "00000000");
    EXPECT_EQ(hex.substr(18, 8), "05000000");
    EXPECT_EQ(hex, EncryptHeaderString("hello"));
    EXPECT_EQ(EncryptHeaderString(Text(33)).size(), 2u * (13 + 64));
}

}  // namespace
