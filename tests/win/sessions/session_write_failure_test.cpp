// A list write that fails part-way leaves the old file whole. CTest runs this program
// with files limited to 8 MiB, so a larger list can't be written.
#include "sessions/session_store.h"

#include "test_directory.h"

namespace {

constexpr std::size_t kOverTheLimit = 9 * 1024 * 1024;

using SessionWriteFailure = InFreshDirectory;

TEST_F(SessionWriteFailure, OldFileStaysWholeAndNoTemporaryFileRemains)
{
    ASSERT_TRUE(WriteSessionFile(kHostSessionFile, {{"old", "1"}, {"kept", "2"}}));
    const std::string old = FileBytes(kHostSessionFile);

    EXPECT_FALSE(WriteSessionFile(kHostSessionFile, {{"new", "3"}, {std::string(kOverTheLimit, 'x'), "4"}}));
    EXPECT_EQ(FileBytes(kHostSessionFile), old);
    EXPECT_EQ(DirectoryListing(), std::vector<std::string>{kHostSessionFile});
}

TEST_F(SessionWriteFailure, NewFileIsNotCreated)
{
    EXPECT_FALSE(WriteSessionFile(kGuestSessionFile, {{std::string(kOverTheLimit, 'x'), "1"}}));
    EXPECT_TRUE(DirectoryListing().empty());
}

} // namespace
