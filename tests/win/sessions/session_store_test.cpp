// The list files against the real file system.
#include "sessions/session_store.h"

#include <windows.h>

#include "scoped_win.h"
#include "test_directory.h"

namespace {

using Entries = std::vector<SessionEntry>;

constexpr char kEmptyList[] = "<sessions>\r\n</sessions>\r\n";

Entries ListOf(const SessionTable& table)
{
    return Entries(table.begin(), table.end());
}

std::string SessionLines(int from, int to)
{
    std::string lines;
    for (int i = from; i < to; ++i)
        lines += "\t<session Description=\"s" + std::to_string(i) + "\" AccessCode=\"" + std::to_string(i) + "\" />\r\n";
    return lines;
}

SessionTablePtr TableOf(const Entries& entries)
{
    auto table = std::make_unique<SessionTable>();
    std::copy(entries.begin(), entries.end(), table->m_entries.begin());
    return table;
}

scoped::File Hold(const char* path, DWORD shareMode)
{
    return scoped::File(::CreateFileA(path, GENERIC_READ, shareMode, nullptr, OPEN_EXISTING, 0, nullptr));
}

using SessionStore = InFreshDirectory;

TEST_F(SessionStore, MissingFileReadsAsNothingAndLoadKeepsTheList)
{
    EXPECT_EQ(ReadSessionFile(kHostSessionFile), nullptr);

    SessionTablePtr host = TableOf({{"kept", "1"}});
    SessionTable* before = host.get();
    EXPECT_EQ(LoadHostSessions(host), DWORD{ERROR_SUCCESS}) << "a missing file is an empty list, not an unread one";
    EXPECT_EQ(host.get(), before);
    EXPECT_EQ(ListOf(*host), (Entries{{"kept", "1"}}));
    EXPECT_TRUE(DirectoryListing().empty());
}

TEST_F(SessionStore, WritesExactBytesAndReadsThemBack)
{
    ASSERT_TRUE(WriteSessionFile(kGuestSessionFile, {}));
    EXPECT_EQ(FileBytes(kGuestSessionFile), kEmptyList);

    const Entries entries{{"abc", "123"}, {"Team & \"Co\" <x>", "9 9"}};
    ASSERT_TRUE(WriteSessionFile(kGuestSessionFile, entries));
    EXPECT_EQ(FileBytes(kGuestSessionFile), "<sessions>\r\n"
                                            "\t<session Description=\"abc\" AccessCode=\"123\" />\r\n"
                                            "\t<session Description=\"Team & \"Co\" <x>\" AccessCode=\"9 9\" />\r\n"
                                            "</sessions>\r\n");

    SessionTablePtr guest;
    LoadGuestSessions(guest);
    ASSERT_NE(guest, nullptr);
    // A quote in a Description cuts it there; the Access Code is still found.
    EXPECT_EQ(ListOf(*guest), (Entries{{"abc", "123"}, {"Team & ", "9 9"}}));
}

TEST_F(SessionStore, ReplacingAFileLeavesNoTemporaryFileBehind)
{
    ASSERT_TRUE(WriteSessionFile(kHostSessionFile, {{"a", "1"}, {"b", "2"}, {"c", "3"}}));
    ASSERT_TRUE(WriteSessionFile(kHostSessionFile, {{"d", "4"}}));

    SessionTablePtr host = ReadSessionFile(kHostSessionFile);
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(ListOf(*host), (Entries{{"d", "4"}}));
    EXPECT_EQ(DirectoryListing(), std::vector<std::string>{kHostSessionFile});
}

TEST_F(SessionStore, FileOpenElsewhereIsReadOnlyWhenItSharesReadingAndNeverReplaced)
{
    const std::string old = kEmptyList;
    PutFile(kHostSessionFile, old);
    for (DWORD shareMode : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE}}) {
        scoped::File held = Hold(kHostSessionFile, shareMode);
        ASSERT_TRUE(held) << shareMode;
        SessionTablePtr host = TableOf({{"kept", "1"}});
        EXPECT_EQ(LoadHostSessions(host), shareMode ? DWORD{ERROR_SUCCESS} : DWORD{ERROR_SHARING_VIOLATION});
        EXPECT_EQ(host->Count(), shareMode ? 0u : 1u) << shareMode;
        EXPECT_FALSE(WriteSessionFile(kHostSessionFile, {{"new", "1"}})) << shareMode;
    }
    EXPECT_EQ(FileBytes(kHostSessionFile), old);
    EXPECT_EQ(DirectoryListing(), std::vector<std::string>{kHostSessionFile});
}

TEST_F(SessionStore, FileInAMissingDirectoryIsNotWritten)
{
    EXPECT_FALSE(WriteSessionFile("missing\\sessions.xml", {{"new", "1"}}));
    EXPECT_EQ(::GetFileAttributesA("missing"), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DirectoryListing().empty());
}

TEST_F(SessionStore, ReaderKeepsTheFirst49Entries)
{
    PutFile(kHostSessionFile, "<sessions>\r\n" + SessionLines(0, 60) + "</sessions>\r\n");
    SessionTablePtr host = ReadSessionFile(kHostSessionFile);
    ASSERT_NE(host, nullptr);
    ASSERT_EQ(host->Count(), kMaxSessions);
    EXPECT_EQ(host->m_entries[48].m_strDescription, "s48");
    EXPECT_EQ(host->m_entries[kMaxSessions], SessionEntry{});
}

TEST_F(SessionStore, SaveWritesTheListUpToItsEndMarker)
{
    SaveHostSessions(nullptr);
    EXPECT_EQ(FileBytes(kHostSessionFile), kEmptyList);

    SessionTablePtr host = TableOf({{"a", "1"}, {"", "hidden"}, {"b", "2"}});
    host->m_entries[0].m_nCommandID = 10000;
    SaveHostSessions(host.get());
    EXPECT_EQ(FileBytes(kHostSessionFile),
              "<sessions>\r\n\t<session Description=\"a\" AccessCode=\"1\" />\r\n</sessions>\r\n");
}

TEST(MergeHostSession, AppendsUnknownAccessCodesOnce)
{
    SessionTablePtr host = TableOf({{"a", "1"}, {"b", "2"}});
    MergeHostSession(host.get(), "other name", "2");
    MergeHostSession(host.get(), "c", "3");
    MergeHostSession(host.get(), "c again", "3");
    MergeHostSession(host.get(), "case", "A");
    MergeHostSession(host.get(), "case", "a");
    EXPECT_EQ(ListOf(*host), (Entries{{"a", "1"}, {"b", "2"}, {"c", "3"}, {"case", "A"}, {"case", "a"}}));
}

TEST(MergeHostSession, EmptyDescriptionLandsAsEndMarkerAndIsOverwrittenLater)
{
    SessionTablePtr host = TableOf({{"a", "1"}});
    MergeHostSession(host.get(), "", "2");
    EXPECT_EQ(ListOf(*host), (Entries{{"a", "1"}}));
    MergeHostSession(host.get(), "b", "3");
    EXPECT_EQ(ListOf(*host), (Entries{{"a", "1"}, {"b", "3"}}));
}

TEST(MergeHostSession, FullListIsLeftUnchanged)
{
    SessionTablePtr host = std::make_unique<SessionTable>();
    for (std::size_t i = 0; i < kMaxSessions; ++i)
        MergeHostSession(host.get(), "s" + std::to_string(i), std::to_string(i));
    ASSERT_EQ(host->Count(), kMaxSessions);

    const Entries before = ListOf(*host);
    MergeHostSession(host.get(), "one too many", "new");
    EXPECT_EQ(ListOf(*host), before);
    EXPECT_EQ(host->m_entries[kMaxSessions], SessionEntry{});
}

} // namespace
