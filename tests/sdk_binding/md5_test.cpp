// MD5 against the test suite of RFC 1321, appendix A.5.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "md5.h"

namespace {

std::string Hex(const vela::Md5Digest& d) {
    std::string out;
    char buffer[3];
    for (auto byte : d) {
        std::snprintf(buffer, sizeof buffer, "%02x", byte);
        out += buffer;
    }
    return out;
}

std::string Md5Hex(const std::string& text) {
    return Hex(vela::Md5::Of(text.data(), text.size()));
}

TEST(Md5, Rfc1321TestSuite) {
    EXPECT_EQ(Md5Hex(""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(Md5Hex("a"), "0cc175b9c0f1b6a831c399e269772661");
    EXPECT_EQ(Md5Hex("abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(Md5Hex("message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    EXPECT_EQ(Md5Hex("abcdefghijklmnopqrstuvwxyz"), "c3fcd3d76192e4007dfb496cca67e13b");
    EXPECT_EQ(Md5Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"),
              "d174ab98d277d9f5a5611c2c9f419d9f");
    EXPECT_EQ(Md5Hex("1234567890123456789012345678901234567890123456789012345678901234567890123456"
                     "7890"),
              "57edf4a22be3c955ac49da2e2107b67a");
}

TEST(Md5, FeedingInPiecesGivesTheSameDigest) {
    const std::string text(1000, 'x');
    vela::Md5 md5;
    for (size_t i = 0; i < text.size(); i += 7)
        md5.Update(text.data() + i, std::min<size_t>(7, text.size() - i));
    EXPECT_EQ(Hex(md5.Final()), Md5Hex(text));
}

}  // namespace
