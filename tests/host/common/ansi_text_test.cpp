// The one rule for cutting and trimming ANSI text, here in the Japanese double-byte code page.
#include "ansi_text.h"

#include <gtest/gtest.h>

#include <string>

namespace {

bool JapaneseLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::string Cut(std::string_view text, std::size_t maxBytes)
{
    return std::string(CutToWholeCharacters(text, maxBytes, JapaneseLeadByte));
}

TEST(CutToWholeCharacters, KeepsEachCharacterWholeOrLeavesItOut)
{
    // 258 single bytes, then a double-byte character across a 259-byte limit.
    const std::string text = std::string(258, 'a') + "\x83\x43" + "tail";
    EXPECT_EQ(Cut(text, 259), std::string(258, 'a'));
    EXPECT_EQ(Cut(text, 260), std::string(258, 'a') + "\x83\x43");
    // A trail byte that looks like a lead byte does not shift the count.
    EXPECT_EQ(Cut("\x83\x83\x83\x83" "b", 4), "\x83\x83\x83\x83");
    EXPECT_EQ(Cut("\x83\x83\x83\x83" "b", 3), "\x83\x83");
    // A lead byte whose trail byte is missing is no character.
    EXPECT_EQ(Cut("ab\x83", 10), "ab");
    EXPECT_EQ(Cut("short", 259), "short");
}

TEST(TrimWhiteSpace, TakesWhiteSpaceFromBothEndsOnly)
{
    EXPECT_EQ(TrimWhiteSpace(" \t\r\n\v\f" "a b \x95\x5c" " \r\n"), "a b \x95\x5c");
    EXPECT_EQ(TrimWhiteSpace(" \r\n "), "");
    EXPECT_EQ(TrimWhiteSpace("\xa0x\xa0"), "\xa0x\xa0");
}

} // namespace
