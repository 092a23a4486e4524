// List files of any size: the reader takes what its rules read from the start of the
// file and stops there, whatever follows.
#include "sessions/session_file_codec.h"
#include "sessions/session_store.h"

#include "sparse_file.h"
#include "test_directory.h"

namespace {

using Entries = std::vector<SessionEntry>;

const char kHead[] = "<sessions>\r\n\t<session Description=\"first\" AccessCode=\"1\" />\r\n"
                     "\t<session Description=\"second\" AccessCode=\"2\" />\r\n";

Entries Loaded(DWORD (*load)(SessionTablePtr&))
{
    SessionTablePtr table = std::make_unique<SessionTable>();
    table->m_entries[0] = {"in memory", "0"};
    EXPECT_EQ(load(table), DWORD{ERROR_SUCCESS});
    return Entries(table->begin(), table->end());
}

using HugeListFile = InFreshDirectory;

TEST_F(HugeListFile, SparseFileBeyond4GiBGivesTheEntriesBeforeItsEndlessZeroLine)
{
    ASSERT_TRUE(PutSparseFile(kHostSessionFile, kHead, kBeyond4GiB));
    ASSERT_EQ(FileSize(kHostSessionFile), kBeyond4GiB);
    EXPECT_EQ(Loaded(LoadHostSessions), (Entries{{"first", "1"}, {"second", "2"}}));

    // With its footer in place the reader is done before the hole.
    ASSERT_TRUE(PutSparseFile(kGuestSessionFile, std::string(kHead) + "</sessions>\r\n", kBeyond4GiB));
    EXPECT_EQ(Loaded(LoadGuestSessions), (Entries{{"first", "1"}, {"second", "2"}}));
}

TEST_F(HugeListFile, EndlessLineEndsTheReadingAndHidesWhatFollowsIt)
{
    const std::string endless(3 * kMaxSessionLineBytes, 'x');
    PutFile(kHostSessionFile, std::string(kHead) + "\t<session Description=\"long\" AccessCode=\"3\" />" + endless +
                                  "\r\n\t<session Description=\"after\" AccessCode=\"4\" />\r\n</sessions>\r\n");
    EXPECT_EQ(Loaded(LoadHostSessions), (Entries{{"first", "1"}, {"second", "2"}}));
}

} // namespace
