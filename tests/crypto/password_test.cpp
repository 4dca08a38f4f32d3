// Password digests: MD5 of the password with a-z upper-cased; existing digests keep their value.
#include <gtest/gtest.h>

#include "crypto/password_digest.h"
#include "oracles.h"

using namespace dk::crypto;

namespace {

std::string Digest(std::string_view password) {
    char buffer[kDigestBuffer];
    EXPECT_EQ(PasswordDigest(password, buffer), 0);
    return std::string(buffer);
}

std::string Md5Hex(const std::string& s) {
    return dk::test::UpperHex(dk::test::OpenSslMd5(s.data(), s.size()));
}

TEST(PasswordDigest, Cases) {
    struct Case {
        std::string password;
        std::string want;
    };
    const std::string lowerDigest = "0123456789abcdef0123456789abcdef";
    const Case cases[] = {
        {"", "D41D8CD98F00B204E9800998ECF8427E"},
        {"Secret1", Md5Hex("SECRET1")},
        {"sEcReT1", Md5Hex("SECRET1")},
        {"\xE9t\xE9", Md5Hex("\xE9T\xE9")},  // only a-z change
        {lowerDigest, "0123456789ABCDEF0123456789ABCDEF"},
        {lowerDigest.substr(1), Md5Hex("123456789ABCDEF0123456789ABCDEF")},
        {lowerDigest + "0", Md5Hex("0123456789ABCDEF0123456789ABCDEF0")},
        {"0123456789abcdeg0123456789abcdef", Md5Hex("0123456789ABCDEG0123456789ABCDEF")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password);
        EXPECT_EQ(Digest(c.password), c.want);
    }
}

TEST(PasswordDigest, DigestOfADigestChangesNothing) {
    const std::string once = Digest("hunter2");
    EXPECT_EQ(Digest(once), once);
}

TEST(IsHexDigest, Cases) {
    struct Case {
        const char* text;
        bool want;
    };
    const Case cases[] = {
        {"0123456789abcdefABCDEF0123456789", true},   {"0123456789abcdefABCDEF012345678", false},
        {"0123456789abcdefABCDEF01234567890", false}, {"0123456789abcdefABCDEF012345678 ", false},
        {"0123456789abcdefABCDEF01234567-9", false},  {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsHexDigest(c.text), c.want) << c.text;
    }
}

}  // namespace
