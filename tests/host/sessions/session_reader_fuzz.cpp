// Fuzzes the list-file reader: any bytes, under a single-byte and a double-byte code
// page. The table must always end in its marker, a list without the bytes the format
// can't carry must survive writing and reading again, and any bytes made storable must
// give an entry that hides none after it.
#include "sessions/session_file_codec.h"

#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace {

bool SingleByte(unsigned char)
{
    return false;
}

bool JapaneseLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void Require(bool condition)
{
    if (!condition)
        std::abort();
}

bool Writable(const std::string& value)
{
    return value.find_first_of("\"\n\x1a") == std::string::npos && value.find("</sessions>") == std::string::npos;
}

// The bytes handed over in pieces, as a file arrives, read as they do all at once.
SessionTablePtr ParseInPieces(std::string_view bytes, LeadBytePredicate isLeadByte)
{
    SessionFileReader reader(isLeadByte);
    const std::size_t piece = 1 + bytes.size() % 13;
    while (!bytes.empty() && reader.Feed(bytes.substr(0, piece)))
        bytes.remove_prefix(std::min(piece, bytes.size()));
    return reader.Finish();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (LeadBytePredicate isLeadByte : {SingleByte, JapaneseLeadByte}) {
        SessionTablePtr table = ParseSessionFile(bytes, isLeadByte);
        Require(table->Count() <= kMaxSessions);
        Require(table->m_entries[kMaxSessions].m_strDescription.empty());
        Require(ParseInPieces(bytes, isLeadByte)->m_entries == table->m_entries);

        const std::vector<SessionEntry> list(table->begin(), table->end());
        bool writable = true;
        for (const SessionEntry& entry : list) {
            Require(entry.m_nCommandID == 0);
            writable = writable && Writable(entry.m_strDescription) && Writable(entry.m_strAccessCode);
        }
        if (writable && isLeadByte == SingleByte) {
            SessionTablePtr again = ParseSessionFile(FormatSessionFile(list), isLeadByte);
            Require(std::vector<SessionEntry>(again->begin(), again->end()) == list);
        }

        const SessionEntry stored{StorableSessionText(bytes.substr(0, size / 2), isLeadByte),
                                  StorableSessionText(bytes.substr(size / 2), isLeadByte)};
        if (!stored.m_strDescription.empty()) {
            const SessionEntry after{"after", "1"};
            SessionTablePtr read = ParseSessionFile(FormatSessionFile({stored, after}), isLeadByte);
            Require(read->Count() == 2 && read->m_entries[1] == after);
        }
    }
    return 0;
}
