// The list reader takes its lead bytes from the ANSI code page: under the Japanese one a
// search never matches on the second byte of a double-byte character (the rules themselves
// are tested on the host). CTest runs this program in a Japanese locale, which gives the
// process ANSI code page 932.
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

} // namespace
