// The cipher and checksum primitives against OpenSSL, zlib and the published check values.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstring>

#include "crypto/crc32.h"
#include "crypto/des.h"
#include "crypto/hex.h"
#include "crypto/md5.h"
#include "crypto/tea.h"
#include "oracles.h"

using namespace dk::crypto;
using dk::test::Bytes;

namespace {

Bytes DesOf(Bytes data, const Bytes& key, int direction) {
    EXPECT_EQ(DesEcbCrypt(data.data(), static_cast<std::uint16_t>(data.size()), key.data(), direction), 1);
    return data;
}

TEST(Des, MatchesOpenSslOnRandomInput) {
    std::mt19937 rng(1);
    for (int round = 0; round < 300; ++round) {
        const Bytes key = dk::test::RandomBytes(rng, 16);
        const Bytes plain = dk::test::RandomBytes(rng, 8 * (rng() % 512 + 1));
        const Bytes cipher = DesOf(plain, key, kEncipher);
        ASSERT_EQ(cipher, dk::test::OpenSslDesEcb(plain, key.data(), true));
        ASSERT_EQ(DesOf(cipher, key, kDecipher), plain);
    }
}

TEST(Des, PublishedVector) {
    const Bytes key = dk::test::FromHex(
        "133457799BBCDFF1"
        "0000000000000000");
    EXPECT_EQ(dk::test::UpperHex(DesOf(dk::test::FromHex("0123456789ABCDEF"), key, kEncipher)),
              "85E813540F0AB405");
}

TEST(Des, LengthRules) {
    const Bytes key(16, 0x5A);
    Bytes twelve(12, 7);
    EXPECT_EQ(DesEcbCrypt(twelve.data(), 0, key.data(), kEncipher), 1);
    EXPECT_EQ(twelve, Bytes(12, 7));
    EXPECT_EQ(DesEcbCrypt(twelve.data(), 12, key.data(), kEncipher), 0);
    EXPECT_EQ(twelve, Bytes(12, 7));
    const Bytes sixteen = DesOf(Bytes(16, 7), key, kEncipher);
    EXPECT_NE(Bytes(sixteen.begin(), sixteen.begin() + 8), Bytes(8, 7));
    EXPECT_NE(Bytes(sixteen.begin() + 8, sixteen.end()), Bytes(8, 7));
}

// Only key bytes 0-7 count, and not their parity bits.
TEST(Des, KeyBytesThatTakeNoPart) {
    std::mt19937 rng(2);
    const Bytes plain = dk::test::RandomBytes(rng, 64);
    const Bytes key = dk::test::RandomBytes(rng, 16);
    const Bytes reference = DesOf(plain, key, kEncipher);
    for (int i = 0; i < 16; ++i) {
        Bytes other = key;
        other[i] ^= i < 8 ? 0x01 : 0xFF;
        EXPECT_EQ(DesOf(plain, other, kEncipher), reference) << "key byte " << i;
    }
    Bytes changed = key;
    changed[3] ^= 0x02;
    EXPECT_NE(DesOf(plain, changed, kEncipher), reference);
}

TEST(Des, PiecesEqualOnePass) {
    std::mt19937 rng(3);
    const Bytes key = dk::test::RandomBytes(rng, 16);
    const Bytes plain = dk::test::RandomBytes(rng, 65536);
    Bytes pieces = plain;
    DesEcbCryptPieces(pieces.data(), pieces.size(), key.data(), kEncipher);  // 65,504 + 32
    Bytes eighths = plain;
    for (std::size_t at = 0; at < eighths.size(); at += 8192)
        DesEcbCrypt(eighths.data() + at, 8192, key.data(), kEncipher);
    EXPECT_EQ(pieces, dk::test::OpenSslDesEcb(plain, key.data(), true));
    EXPECT_EQ(eighths, pieces);
    DesEcbCryptPieces(pieces.data(), pieces.size(), key.data(), kDecipher);
    EXPECT_EQ(pieces, plain);
}

TEST(Des, LastPieceNotMultipleOfEightStays) {
    std::mt19937 rng(4);
    const Bytes key = dk::test::RandomBytes(rng, 16);
    const Bytes plain = dk::test::RandomBytes(rng, kDesPiece + 6);
    Bytes data = plain;
    DesEcbCryptPieces(data.data(), data.size(), key.data(), kEncipher);
    EXPECT_TRUE(std::equal(data.end() - 6, data.end(), plain.end() - 6));
    EXPECT_EQ(Bytes(data.begin(), data.begin() + kDesPiece),
              dk::test::OpenSslDesEcb(Bytes(plain.begin(), plain.begin() + kDesPiece), key.data(), true));
}

TEST(Crc32, CheckValues) {
    EXPECT_EQ(Crc32("123456789", 9), 0xCBF43926u);
    EXPECT_EQ(Crc32("", 0), 0u);
    EXPECT_EQ(Crc32(nullptr, 0), 0u);
}

TEST(Crc32, MatchesZlibAtEveryLengthAndAlignment) {
    std::mt19937 rng(5);
    const Bytes data = dk::test::RandomBytes(rng, 5000);
    for (std::size_t offset = 0; offset < 16; ++offset)
        for (std::size_t len = 0; len + offset <= 600; ++len)
            ASSERT_EQ(Crc32(data.data() + offset, len),
                      crc32(0, data.data() + offset, static_cast<uInt>(len)))
                << offset << "+" << len;
    EXPECT_EQ(Crc32(data.data(), data.size()), crc32(0, data.data(), static_cast<uInt>(data.size())));
}

TEST(Md5, Rfc1321Suite) {
    struct Case {
        const char* text;
        const char* digest;
    };
    const Case cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"a", "0CC175B9C0F1B6A831C399E269772661"},
        {"abc", "900150983CD24FB0D6963F7D28E17F72"},
        {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
        {"abcdefghijklmnopqrstuvwxyz", "C3FCD3D76192E4007DFB496CCA67E13B"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "D174AB98D277D9F5A5611C2C9F419D9F"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
         "57EDF4A22BE3C955AC49DA2E2107B67A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        const Md5Bytes d = Md5Digest(c.text);
        EXPECT_EQ(dk::test::UpperHex(Bytes(d.begin(), d.end())), c.digest);
    }
}

TEST(Md5, MatchesOpenSslAtEveryTailLength) {
    std::mt19937 rng(6);
    const Bytes data = dk::test::RandomBytes(rng, 1 << 16);
    for (std::size_t len = 0; len <= 300; ++len) {
        const Md5Bytes d = Md5Digest(std::string_view(reinterpret_cast<const char*>(data.data()), len));
        ASSERT_EQ(Bytes(d.begin(), d.end()), dk::test::OpenSslMd5(data.data(), len)) << len;
    }
    const Md5Bytes d = Md5Digest(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
    EXPECT_EQ(Bytes(d.begin(), d.end()), dk::test::OpenSslMd5(data.data(), data.size()));
}

TEST(Tea, PublishedVectorWithLittleEndianWords) {
    const std::uint8_t key[16] = {};
    std::uint8_t block[8] = {};
    TeaEncipher(block, block, key);
    // Y = 0x41EA3A0A, Z = 0x94BAA940, each stored least significant byte first.
    EXPECT_EQ(dk::test::UpperHex(Bytes(block, block + 8)), "0A3AEA4140A9BA94");
}

TEST(Tea, DecipherInvertsEncipherAndByteOrderMatters) {
    std::mt19937 rng(7);
    for (int round = 0; round < 1000; ++round) {
        const Bytes key = dk::test::RandomBytes(rng, 16);
        const Bytes plain = dk::test::RandomBytes(rng, 8);
        Bytes cipher(8), back(8);
        TeaEncipher(plain.data(), cipher.data(), key.data());
        TeaDecipher(cipher.data(), back.data(), key.data());
        ASSERT_EQ(back, plain);
        Bytes reversed(plain.rbegin(), plain.rend()), reversedCipher(8);
        TeaEncipher(reversed.data(), reversedCipher.data(), key.data());
        if (reversed != plain) {
            ASSERT_NE(Bytes(reversedCipher.rbegin(), reversedCipher.rend()), cipher);
        }
    }
}

TEST(Hex, Codecs) {
    const std::uint8_t bytes[] = {0x00, 0xAB, 0x5F};
    char out[6];
    EXPECT_EQ(HexEncode(bytes, 3, out), 6u);
    EXPECT_EQ(std::string(out, 6), "00AB5F");
    EXPECT_EQ(HexDigit(16), 'Q');
    EXPECT_EQ(HexDigit(255), 'Q');
    EXPECT_EQ(HexDigit(10), 'A');

    struct Case {
        char c;
        int value;
    };
    const Case values[] = {{'0', 0}, {'G', 0},  {'g', 0},  {' ', 0}, {'-', 0},
                           {'9', 9}, {'a', 10}, {'F', 15}, {'f', 15}};
    for (const auto& c : values) {
        EXPECT_EQ(HexValue(c.c), c.value) << c.c;
    }

    std::uint8_t decoded[2] = {0xEE, 0xEE};
    EXPECT_EQ(HexDecode("zz", 2, decoded), 1u);
    EXPECT_EQ(decoded[0], 0x00);
    EXPECT_EQ(HexDecode("aB", 2, decoded), 1u);
    EXPECT_EQ(decoded[0], 0xAB);
    EXPECT_EQ(HexDecode("A1f", 3, decoded), 2u);  // the odd digit pairs with a 0
    EXPECT_EQ(decoded[1], 0xF0);
}

TEST(Hex, RoundTrip) {
    std::mt19937 rng(8);
    const Bytes data = dk::test::RandomBytes(rng, 4096);
    std::string text(2 * data.size(), '\0');
    HexEncode(data.data(), data.size(), text.data());
    EXPECT_EQ(text, dk::test::UpperHex(data));
    Bytes back(data.size());
    EXPECT_EQ(HexDecode(text.data(), text.size(), back.data()), data.size());
    EXPECT_EQ(back, data);
}

}  // namespace
