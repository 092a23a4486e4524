// The list-file reader and writer on bytes.
#include "sessions/session_file_codec.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

namespace {

using Entries = std::vector<SessionEntry>;

bool SingleByte(unsigned char)
{
    return false;
}

// The lead bytes of the Japanese double-byte code page.
bool JapaneseLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

Entries Read(std::string_view bytes, LeadBytePredicate isLeadByte = SingleByte)
{
    SessionTablePtr table = ParseSessionFile(bytes, isLeadByte);
    return Entries(table->begin(), table->end());
}

std::string Fixture(const char* name)
{
    std::ifstream in(std::string(KV_FIXTURES) + "/" + name, std::ios::binary);
    EXPECT_TRUE(in) << name;
    return std::string(std::istreambuf_iterator<char>(in), {});
}

const std::string kHeader = "<sessions>\r\n";
const std::string kFooter = "</sessions>\r\n";
const Entries kThree{{"Weekly review", "1234567"}, {"Board & staff", "7654321"}, {" spaced ", " 1 "}};

TEST(SessionFileWriter, WritesHeaderEntryLinesAndFooterWithCrLf)
{
    EXPECT_EQ(FormatSessionFile({}), "<sessions>\r\n</sessions>\r\n");
    EXPECT_EQ(FormatSessionFile({}).size(), 25u);

    const std::string oneEntry = FormatSessionFile({{"abc", "123"}});
    EXPECT_EQ(oneEntry, kHeader + "\t<session Description=\"abc\" AccessCode=\"123\" />\r\n" + kFooter);
    EXPECT_EQ(oneEntry.size() - 25, 49u);

    // Nothing is escaped, and the command id is not written.
    EXPECT_EQ(FormatSessionFile({{"<a & \"b\">", "&amp;", 10001}}),
              kHeader + "\t<session Description=\"<a & \"b\">\" AccessCode=\"&amp;\" />\r\n" + kFooter);
    EXPECT_EQ(FormatSessionFile(kThree), Fixture("agent_written.xml"));
}

TEST(SessionFileReader, ReadsBackWhatTheWriterWrote)
{
    EXPECT_EQ(Read(FormatSessionFile(kThree)), kThree);
    EXPECT_EQ(Read(FormatSessionFile({})), Entries{});
    EXPECT_EQ(Read(""), Entries{});
}

TEST(SessionFileReader, LineEndsHeaderAndFooterDoNotMatter)
{
    for (const char* name : {"bare_lf.xml", "extra_cr.xml", "no_header_no_footer.xml", "indented_with_prolog.xml"})
        EXPECT_EQ(Read(Fixture(name)), kThree) << name;
}

struct ReaderCase {
    const char* what;
    std::string bytes;
    Entries expected;
};

class SessionFileReaderCases : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(SessionFileReaderCases, GivesTheExpectedList)
{
    EXPECT_EQ(Read(GetParam().bytes), GetParam().expected) << GetParam().what;
}

const std::string a = "\t<session Description=\"a\" AccessCode=\"1\" />\r\n";
const std::string b = "\t<session Description=\"b\" AccessCode=\"2\" />\r\n";

INSTANTIATE_TEST_SUITE_P(
    EdgeCases, SessionFileReaderCases,
    ::testing::Values(
        ReaderCase{"blank line ends the list", kHeader + a + "\r\n" + b + kFooter, {{"a", "1"}}},
        ReaderCase{"blank line of bare LF", a + "\n" + b, {{"a", "1"}}},
        ReaderCase{"a line holding only a CR is not blank", a + "\r\r\n" + b, {{"a", "1"}, {"b", "2"}}},
        ReaderCase{"entry on the footer line counts, then reading stops",
                   "<session Description=\"a\" AccessCode=\"1\" /></sessions>\r\n" + b, {{"a", "1"}}},
        ReaderCase{"footer anywhere on a line ends", a + "x</sessions>y\r\n" + b, {{"a", "1"}}},
        ReaderCase{"Ctrl-Z ends the file", a + "\x1a" + b, {{"a", "1"}}},
        ReaderCase{"Ctrl-Z inside a line", "<session Description=\"a\x1a\" AccessCode=\"1\" />", {}},
        ReaderCase{"last line without LF", a + "<session Description=\"b\" AccessCode=\"2\" />",
                   {{"a", "1"}, {"b", "2"}}},
        ReaderCase{"two spaces before Description", "<session  Description=\"a\" AccessCode=\"1\" />", {}},
        ReaderCase{"spaces around the equals sign", "<session Description = \"a\" AccessCode=\"1\" />", {}},
        ReaderCase{"AccessCode first", "<session AccessCode=\"1\" Description=\"a\" />", {}},
        ReaderCase{"case matters", "<Session description=\"a\" AccessCode=\"1\" />", {}},
        ReaderCase{"only the first element on a line",
                   "<session Description=\"a\" AccessCode=\"1\" /><session Description=\"b\" AccessCode=\"2\" />",
                   {{"a", "1"}}},
        ReaderCase{"spaced AccessCode equals sign falls back to a fragment",
                   "<session Description=\"a\" AccessCode = \"1\" />", {{"a", "ssCode = "}}},
        ReaderCase{"byte after the equals sign is skipped whatever it is",
                   "<session Description=xa\" AccessCode=\"1\" />", {{"a", "1"}}},
        ReaderCase{"quote in the Description cuts it, Access Code still found",
                   "<session Description=\"say \"hi\"\" AccessCode=\"1\" />", {{"say ", "1"}}},
        ReaderCase{"quote in the Access Code cuts it", "<session Description=\"a\" AccessCode=\"1\"2\" />", {{"a", "1"}}},
        ReaderCase{"entity stays as written", "<session Description=\"Q&amp;A\" AccessCode=\"1\" />", {{"Q&amp;A", "1"}}},
        ReaderCase{"missing AccessCode gives an empty one", "<session Description=\"a\" />", {{"a", ""}}},
        ReaderCase{"empty AccessCode", "<session Description=\"a\" AccessCode=\"\" />", {{"a", ""}}},
        ReaderCase{"empty Description hides itself and the rest",
                   a + "<session Description=\"\" AccessCode=\"9\" />\r\n" + b, {{"a", "1"}}},
        ReaderCase{"single quotes read as an end marker", a + "<session Description='x' AccessCode='1' />\r\n" + b,
                   {{"a", "1"}}},
        ReaderCase{"line ending right after the match", "<session Description=", {}},
        ReaderCase{"values are not trimmed", "<session Description=\" a \" AccessCode=\" 1 \" />", {{" a ", " 1 "}}},
        ReaderCase{"extra CR stays at the line's end", "<session Description=\"a\" AccessCode=\"1\r\r\n", {{"a", ""}}}));

TEST(SessionFileReader, KeepsTheFirst49EntriesAndAlwaysEndsInAMarker)
{
    std::string bytes;
    for (int i = 0; i < 60; ++i)
        bytes += "<session Description=\"s" + std::to_string(i) + "\" AccessCode=\"" + std::to_string(i) + "\" />\n";
    SessionTablePtr table = ParseSessionFile(bytes, SingleByte);
    ASSERT_EQ(table->Count(), kMaxSessions);
    EXPECT_EQ(table->m_entries[kMaxSessions - 1], (SessionEntry{"s48", "48"}));
    EXPECT_EQ(table->m_entries[kMaxSessions], SessionEntry{});
}

TEST(SessionFileReader, EntriesAfterAnEmptyDescriptionStillCountTowardsTheLimit)
{
    std::string bytes = "<session Description=\"\" AccessCode=\"0\" />\n";
    for (int i = 1; i < 60; ++i)
        bytes += "<session Description=\"s\" AccessCode=\"1\" />\n";
    SessionTablePtr table = ParseSessionFile(bytes, SingleByte);
    EXPECT_EQ(table->Count(), 0u);
    EXPECT_EQ(table->m_entries[kMaxSessions], SessionEntry{});
}

TEST(SessionFileReader, NoSearchMatchesOnATrailByte)
{
    // 0x83 0x43 is one character whose second byte is 'C'.
    const std::string trailC = "<session Description=\"a\" x\x83" "Code=\"bad\" AccessCode=\"good\" />";
    EXPECT_EQ(Read(trailC, JapaneseLeadByte), (Entries{{"a", "good"}}));
    EXPECT_EQ(Read(trailC, SingleByte), (Entries{{"a", "bad"}}));

    // A lead byte before '<' takes it as its trail byte: no element starts there.
    const std::string trailLess = "\x83<session Description=\"a\" AccessCode=\"1\" />";
    EXPECT_EQ(Read(trailLess, JapaneseLeadByte), Entries{});
    EXPECT_EQ(Read(trailLess, SingleByte), (Entries{{"a", "1"}}));

    // The same for the footer and for the quote that ends a value.
    EXPECT_EQ(Read(a + "\x83</sessions>\r\n" + b, JapaneseLeadByte), (Entries{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(Read("<session Description=\"\x83\"x\" AccessCode=\"1\" />", JapaneseLeadByte),
              (Entries{{"\x83\"x", "1"}}));
}

TEST(SessionFileReader, DoubleByteTextRoundTrips)
{
    // Descriptions in the Japanese code page, including trail bytes that equal '\\', '|' and 'C'.
    const Entries entries{{"\x95\x5c\x8e\xa6", "123"}, {"\x83\x7c\x83\x43\x83\x93\x83\x67", "456"}, {"\x83\x43", "7"}};
    EXPECT_EQ(Read(FormatSessionFile(entries), JapaneseLeadByte), entries);
}

TEST(SessionFileReader, LeadByteAtTheEndOfALineNeverTakesTheLineEnd)
{
    EXPECT_EQ(Read(a + "x\x83\n" + b, JapaneseLeadByte), (Entries{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(Read(a + "x\x83\r\n" + b, JapaneseLeadByte), (Entries{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(Read(a + "\x83\r\n" + "\r\n" + b, JapaneseLeadByte), (Entries{{"a", "1"}}));
}

} // namespace

namespace {

const char kTwoEntries[] = "<sessions>\r\n\t<session Description=\"a\" AccessCode=\"1\" />\r\n"
                           "\t<session Description=\"b\" AccessCode=\"2\" />\r\n";

TEST(SessionFileReader, AskingForMoreStopsOnceTheRulesHaveReadEnough)
{
    SessionFileReader reader(SingleByte);
    EXPECT_TRUE(reader.Feed(kTwoEntries));
    // A line split across two pieces, CR and LF included.
    EXPECT_TRUE(reader.Feed("\t<session Description=\"c\" Acc"));
    EXPECT_TRUE(reader.Feed("essCode=\"3\" />\r"));
    EXPECT_FALSE(reader.Feed("\n</sessions>\r\n"));
    EXPECT_FALSE(reader.Feed("\t<session Description=\"late\" AccessCode=\"9\" />\r\n"));
    SessionTablePtr table = reader.Finish();
    EXPECT_EQ(Entries(table->begin(), table->end()), (Entries{{"a", "1"}, {"b", "2"}, {"c", "3"}}));

    for (const char* end : {"\r\n", "\x1a<session Description=\"x\" AccessCode=\"9\" />"}) {
        SessionFileReader stopped(SingleByte);
        stopped.Feed(kTwoEntries);
        EXPECT_FALSE(stopped.Feed(end)) << "an empty line and Ctrl-Z end the file";
    }
}

TEST(SessionFileReader, AnOverlongLineEndsTheReadingWithTheEntriesBeforeIt)
{
    const std::string entryLine = "\t<session Description=\"long\" AccessCode=\"7\" />";
    const std::string atLimit = entryLine + std::string(kMaxSessionLineBytes - entryLine.size(), ' ');
    EXPECT_EQ(Read(kTwoEntries + atLimit + "\n"), (Entries{{"a", "1"}, {"b", "2"}, {"long", "7"}}));

    // Fed a piece at a time, the reader gives up as soon as the line passes the limit,
    // without waiting for its end.
    SessionFileReader reader(SingleByte);
    reader.Feed(kTwoEntries);
    EXPECT_TRUE(reader.Feed(atLimit));
    EXPECT_FALSE(reader.Feed(" "));
    SessionTablePtr table = reader.Finish();
    EXPECT_EQ(Entries(table->begin(), table->end()), (Entries{{"a", "1"}, {"b", "2"}}));
    EXPECT_EQ(Read(kTwoEntries + atLimit + " \n\t<session Description=\"c\" AccessCode=\"3\" />\r\n"),
              (Entries{{"a", "1"}, {"b", "2"}}));
}

} // namespace

namespace {

TEST(StorableSessionText, NoStoredValueHidesTheEntriesAfterItAndOtherTextIsKept)
{
    const auto storable = [](std::string_view text) { return StorableSessionText(text, JapaneseLeadByte); };
    Entries written{{"before", "1"}};
    for (const std::string& value : std::vector<std::string>{"cr\rlf\r\n\r\nx", std::string("ctrl\x1az\0", 7), "a</sessions>b", "\"\"quoted\"",
                                                            std::string(2 * 1024 * 1024, 'n'),
                                                            std::string(kMaxSessionTextBytes - 1, 'x') + "\x83\x43"})
        written.push_back({storable(value), storable(value)});
    written.push_back({"after", "2"});
    EXPECT_EQ(Read(FormatSessionFile(written), JapaneseLeadByte).size(), written.size());
    EXPECT_EQ(Entries(written.begin() + 1, written.begin() + 5),
              (Entries{{"cr lf    x", "cr lf    x"}, {"ctrl z ", "ctrl z "}, {"a", "a"}, {"quoted\"", "quoted\""}}));
    EXPECT_EQ(written[5].m_strDescription.size(), kMaxSessionTextBytes);
    EXPECT_EQ(written[6].m_strDescription.size(), kMaxSessionTextBytes - 1) << "a character is kept whole or not at all";

    for (const std::string value : {" spaced ", "Team & \"Co\" <x>", "\x95\x5c\x8e\xa6", "\x83\x22", "tab\there\x01\x08\x1f"})
        EXPECT_EQ(storable(value), value);

    // What a list already holds is kept as it is, unless it would hide the entries after it.
    const auto keepable = [](std::string_view text) { return KeepableSessionText(text, JapaneseLeadByte); };
    for (const std::string& value : {std::string("\"in\tquotes\r"), std::string("nul\0", 4)})
        EXPECT_EQ(keepable(value), value);
    EXPECT_EQ(keepable("a</sessions>b"), "a");
    EXPECT_EQ(keepable(std::string(kMaxSessionTextBytes - 1, 'x') + "\x83\x43").size(), kMaxSessionTextBytes - 1);
}

} // namespace
