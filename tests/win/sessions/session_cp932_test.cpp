// The list reader under the Japanese ANSI code page: its searches never match starting
// on the second byte of a double-byte character. CTest runs this program in a Japanese
// locale, which gives the process ANSI code page 932.
#include "sessions/session_store.h"

#include "test_directory.h"

namespace {

using Entries = std::vector<SessionEntry>;

Entries ReadBack(const char* fileName)
{
    SessionTablePtr table = ReadSessionFile(fileName);
    return table ? Entries(table->begin(), table->end()) : Entries{};
}

class JapaneseCodePage : public InFreshDirectory {
protected:
    void SetUp() override
    {
        ASSERT_EQ(::GetACP(), 932u) << "run in a Japanese locale (LC_ALL=ja_JP.UTF-8)";
        InFreshDirectory::SetUp();
    }
};

TEST_F(JapaneseCodePage, AttributeNameAfterALeadByteIsNotMatched)
{
    // 0x83 0x43 is katakana I, whose second byte is 'C'.
    PutFile(kGuestSessionFile, "<sessions>\r\n"
                               "\t<session Description=\"a\" \x83" "Code=\"trail\" AccessCode=\"1\" />\r\n"
                               "</sessions>\r\n");
    EXPECT_EQ(ReadBack(kGuestSessionFile), (Entries{{"a", "1"}}));
}

TEST_F(JapaneseCodePage, FooterAndElementAfterALeadByteAreNotMatched)
{
    PutFile(kGuestSessionFile, "\t<session Description=\"a\" AccessCode=\"1\" />\x81</sessions>\r\n"
                               "\t\x81<session Description=\"hidden\" AccessCode=\"2\" />\r\n"
                               "\t<session Description=\"b\" AccessCode=\"3\" />\r\n");
    EXPECT_EQ(ReadBack(kGuestSessionFile), (Entries{{"a", "1"}, {"b", "3"}}));
}

TEST_F(JapaneseCodePage, JapaneseTextRoundTripsByteForByte)
{
    // Trail bytes equal to '\\', '|' and 'C' inside the values.
    const Entries entries{{"\x95\x5c\x8e\xa6", "\x83\x43"}, {"\x83\x7c\x83\x43\x83\x93\x83\x67", "456"}};
    ASSERT_TRUE(WriteSessionFile(kGuestSessionFile, entries));
    EXPECT_EQ(ReadBack(kGuestSessionFile), entries);
}

} // namespace
