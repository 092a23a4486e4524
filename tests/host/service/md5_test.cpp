#include "service/md5.h"
#include "service/md5_context.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <algorithm>
#include <random>
#include <string>

namespace {

std::string Hex(const std::string& text) { return CMD5(text.c_str()).GetHexDigest(); }

std::string OpenSslHex(const std::string& text)
{
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int size = 0;
    EXPECT_EQ(1, EVP_Digest(text.data(), text.size(), digest, &size, EVP_md5(), nullptr));
    std::string hex;
    for (unsigned int i = 0; i < size; ++i) {
        static const char kDigits[] = "0123456789abcdef";
        hex += kDigits[digest[i] >> 4];
        hex += kDigits[digest[i] & 15];
    }
    return hex;
}

TEST(CMD5, Rfc1321TestSuite)
{
    EXPECT_EQ("d41d8cd98f00b204e9800998ecf8427e", Hex(""));
    EXPECT_EQ("0cc175b9c0f1b6a831c399e269772661", Hex("a"));
    EXPECT_EQ("900150983cd24fb0d6963f7d28e17f72", Hex("abc"));
    EXPECT_EQ("f96b697d7cb7938d525a2f31aaf161d0", Hex("message digest"));
    EXPECT_EQ("c3fcd3d76192e4007dfb496cca67e13b", Hex("abcdefghijklmnopqrstuvwxyz"));
    EXPECT_EQ("d174ab98d277d9f5a5611c2c9f419d9f",
              Hex("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"));
    EXPECT_EQ("57edf4a22be3c955ac49da2e2107b67a",
              Hex("1234567890123456789012345678901234567890"
                  "1234567890123456789012345678901234567890"));
}

TEST(CMD5, PaddingAndBlockBoundaries)
{
    // 55 bytes leave room for the length in one block; 56 and 63 need a second.
    EXPECT_EQ("ef1772b6dff9a122358552954ad0df65", Hex(std::string(55, 'a')));
    EXPECT_EQ("3b0c8ac703f828b04c6c197006d17218", Hex(std::string(56, 'a')));
    EXPECT_EQ("b06521f39153d618550606be297466d5", Hex(std::string(63, 'a')));
    EXPECT_EQ("014842d480b571495a4a0363793f7367", Hex(std::string(64, 'a')));
    EXPECT_EQ("c743a45e0d2e6a95cb859adae0248435", Hex(std::string(65, 'a')));
}

TEST(CMD5, BytesAboveSevenBitAreHashedAsStored)
{
    EXPECT_EQ(OpenSslHex("caf\xe9 \xff\x80"), Hex("caf\xe9 \xff\x80"));
    EXPECT_NE(Hex("caf\xe9"), Hex("cafe"));
}

TEST(CMD5, MatchesOpenSslOnRandomTexts)
{
    std::mt19937 random(1321);
    std::uniform_int_distribution<int> byte(1, 255);  // the input ends at its first NUL
    for (std::size_t size = 0; size < 300; ++size) {
        std::string text(size, ' ');
        for (char& c : text)
            c = char(byte(random));
        ASSERT_EQ(OpenSslHex(text), Hex(text)) << "size " << size;
    }
    std::string large(1 << 20, ' ');
    for (char& c : large)
        c = char(byte(random));
    EXPECT_EQ(OpenSslHex(large), Hex(large));
}

TEST(Md5Context, PiecesOfAnyLengthGiveTheDigestOfTheWhole)
{
    std::string text(300, ' ');
    for (std::size_t i = 0; i < text.size(); ++i)
        text[i] = char(i * 7 + 1);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    std::uint8_t whole[16];
    {
        md5::Context context;
        context.Update(bytes, text.size());
        context.Finish(whole);
    }
    std::mt19937 random(64);
    for (int round = 0; round < 200; ++round) {
        md5::Context context;
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t piece = std::min<std::size_t>(random() % 130, text.size() - at);
            context.Update(bytes + at, piece);
            at += piece;
        }
        std::uint8_t pieces[16];
        context.Finish(pieces);
        ASSERT_TRUE(std::equal(whole, whole + 16, pieces)) << "round " << round;
    }
}

TEST(CMD5, DigestIsThirtyTwoLowercaseHexCharacters)
{
    for (const char* text : {"", "x", "Password1", "\x01\x02\xfe"}) {
        const std::string hex = Hex(text);
        EXPECT_EQ(32u, hex.size());
        EXPECT_EQ(std::string::npos, hex.find_first_not_of("0123456789abcdef")) << hex;
    }
}

} // namespace
