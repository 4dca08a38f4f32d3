// The container layout, its recognition and its reader.
#include <gtest/gtest.h>

#include <cstring>

#include "crypto/container.h"
#include "crypto/crc32.h"
#include "crypto/padding.h"
#include "oracles.h"

using namespace dk::crypto;
using dk::test::Bytes;

namespace {

Bytes Seal(const Bytes& content, const ContainerKey& key) {
    Bytes c(kContainerHeader + PaddedLength(content.size()));
    if (!content.empty()) std::memcpy(c.data() + kContainerHeader, content.data(), content.size());
    SealContainer(c.data(), c.size(), key);
    return c;
}

ContainerKey KeyOf(std::mt19937& rng) {
    ContainerKey k;
    for (auto& b : k) b = static_cast<std::uint8_t>(rng());
    return k;
}

__extension__ typedef unsigned __int128 Uint128;

Uint128 AsNumber(const std::uint8_t* b) {
    Uint128 v = 0;
    for (int i = 0; i < 16; ++i) v = (v << 8) | b[i];
    return v;
}

TEST(Container, RotationIsThe128BitRotation) {
    std::mt19937 rng(21);
    for (unsigned bits = 0; bits < 8; ++bits) {
        for (int round = 0; round < 50; ++round) {
            ContainerKey k = KeyOf(rng);
            const Uint128 v = AsNumber(k.data());
            RotateRight128(k.data(), bits);
            const Uint128 want = bits ? (v >> bits) | (v << (128 - bits)) : v;
            ASSERT_TRUE(AsNumber(k.data()) == want) << bits;
            RotateLeft128(k.data(), bits);
            ASSERT_TRUE(AsNumber(k.data()) == v) << bits;
        }
    }
}

TEST(Container, SizesAndLayout) {
    struct Case {
        std::size_t content, container;
    };
    const Case cases[] = {{0, 20}, {1, 52}, {31, 52}, {32, 52}, {33, 84}, {1000, 1044}};
    std::mt19937 rng(22);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.content);
        const Bytes content = dk::test::RandomBytes(rng, c.content);
        const Bytes box = Seal(content, KeyOf(rng));
        ASSERT_EQ(box.size(), c.container);
        // What a reader does by hand: rotate the key back by byte 2's low bits, check its CRC,
        // decipher under its first 8 bytes.
        std::uint8_t key[16];
        std::memcpy(key, box.data() + 4, 16);
        RotateLeft128(key, box[2] & 7);
        const std::uint32_t crc = Crc32(key, 16);
        EXPECT_EQ(Bytes(box.begin(), box.begin() + 4),
                  (Bytes{std::uint8_t(crc >> 24), std::uint8_t(crc >> 16), std::uint8_t(crc >> 8),
                         std::uint8_t(crc)}));
        Bytes padded = content;
        padded.resize(c.container - kContainerHeader);
        EXPECT_EQ(dk::test::OpenSslDesEcb(Bytes(box.begin() + kContainerHeader, box.end()), key, false),
                  padded);
    }
}

TEST(Container, WrittenContainersAreRecognised) {
    std::mt19937 rng(23);
    for (std::size_t n = 0; n < 300; ++n) {
        const Bytes box = Seal(dk::test::RandomBytes(rng, n), KeyOf(rng));
        ASSERT_TRUE(IsRecognisedContainer(box.data(), box.size())) << n;
    }
}

TEST(Container, OrdinaryFilesAreNot) {
    std::mt19937 rng(24);
    for (std::size_t n = 20; n < 3000; ++n) {
        const Bytes random = dk::test::RandomBytes(rng, n);
        ASSERT_FALSE(IsRecognisedContainer(random.data(), random.size())) << n;
        const Bytes zeros(n, 0), text(n, 'a');
        ASSERT_FALSE(IsRecognisedContainer(zeros.data(), zeros.size())) << n;
        ASSERT_FALSE(IsRecognisedContainer(text.data(), text.size())) << n;
    }
    const Bytes tiny(19, 0);
    EXPECT_FALSE(IsRecognisedContainer(tiny.data(), tiny.size()));
    EXPECT_FALSE(IsRecognisedContainer(nullptr, 0));
}

TEST(Container, DamagedOrCutContainersAreNot) {
    std::mt19937 rng(25);
    const Bytes box = Seal(dk::test::RandomBytes(rng, 100), KeyOf(rng));
    for (std::size_t i = 0; i < kContainerHeader; ++i) {
        Bytes damaged = box;
        damaged[i] ^= 0x10;
        EXPECT_FALSE(IsRecognisedContainer(damaged.data(), damaged.size())) << i;
    }
    EXPECT_FALSE(IsRecognisedContainer(box.data(), box.size() - 1));
    EXPECT_FALSE(IsRecognisedContainer(box.data(), box.size() - 32 + 8));
}

TEST(Container, OpenGivesBackThePaddedContent) {
    std::mt19937 rng(26);
    for (std::size_t n : {0u, 5u, 64u, 70000u, 200001u}) {
        const Bytes content = dk::test::RandomBytes(rng, n);
        Bytes box = Seal(content, KeyOf(rng));
        ASSERT_TRUE(OpenContainer(box.data(), box.size()));
        Bytes padded = content;
        padded.resize(PaddedLength(n));
        EXPECT_EQ(Bytes(box.begin() + kContainerHeader, box.end()), padded);
    }
    Bytes plain = dk::test::RandomBytes(rng, 52);
    const Bytes before = plain;
    EXPECT_FALSE(OpenContainer(plain.data(), plain.size()));
    EXPECT_EQ(plain, before);
}

TEST(Container, KeysComeFromTheGenerator) {
    std::srand(99);
    const ContainerKey a = DrawContainerKey();
    std::srand(99);
    EXPECT_EQ(DrawContainerKey(), a);
    EXPECT_NE(DrawContainerKey(), a);
}

}  // namespace
