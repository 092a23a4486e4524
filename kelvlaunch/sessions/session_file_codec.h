// The bytes of a session list file: the reader's parsing rules and the writer's format.
// Platform-free; the caller says which bytes lead a double-byte character.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ansi_text.h"
#include "sessions/session_table.h"

// Lines longer than this end the reading: no valid list comes near it, and the memory
// a reader holds stays bounded whatever the file's size.
inline constexpr std::size_t kMaxSessionLineBytes = 1024 * 1024;

// The longest Description or Access Code a list keeps: an entry of two such values still
// fits in one line the reader takes.
inline constexpr std::size_t kMaxSessionTextBytes = kMaxSessionLineBytes / 2 - 64;

// Reads a list file as its bytes arrive, line by line, and says when it needs no more:
// after kMaxSessions entries, an empty line, the footer, Ctrl-Z or an overlong line.
// No input makes it fail: lines it does not understand give no entry.
class SessionFileReader {
public:
    explicit SessionFileReader(LeadBytePredicate isLeadByte);

    // Takes the next bytes of the file; false once the reader is done with the file.
    bool Feed(std::string_view bytes);
    // The entries read, ending in an end marker. Call once, when the file has ended or
    // Feed said it is done.
    SessionTablePtr Finish();

private:
    void TakeLine(std::string_view text, bool endedByLineFeed);

    LeadBytePredicate m_isLeadByte;
    SessionTablePtr m_table;
    std::size_t m_count = 0;
    std::string m_partialLine;   // the start of a line whose end has not arrived yet
    bool m_bDone = false;
};

// The entries of a whole file's bytes, as SessionFileReader reads them.
SessionTablePtr ParseSessionFile(std::string_view bytes, LeadBytePredicate isLeadByte);

// A value as a list keeps it so that no entry after its own is hidden: it ends before a
// "</sessions>" (which ends the reading) and within kMaxSessionTextBytes, never on a lead
// byte without its trail byte (which would take the closing quote). Any other text, and
// every value read from a list file, comes back byte for byte.
std::string KeepableSessionText(std::string_view text, LeadBytePredicate isLeadByte);

// A Description or Access Code entering a list (typed or imported), as the list stores it so
// that its entry reads back and hides none after it: keepable, the bytes that would end the
// line or the file (CR, LF, Ctrl-Z, NUL) become spaces, and leading double quotes go (they
// would read as an empty Description, an end marker). A TAB and every other byte stay.
std::string StorableSessionText(std::string_view text, LeadBytePredicate isLeadByte);

// The bytes of a list file holding the entries' Descriptions and Access Codes, in order.
std::string FormatSessionFile(const std::vector<SessionEntry>& entries);
