#include "sessions/session_file_codec.h"

#include <algorithm>

namespace {

constexpr std::string_view kHeader = "<sessions>";
constexpr std::string_view kFooter = "</sessions>";
constexpr std::string_view kElementStart = "<session Description=";
constexpr std::string_view kCodeAttribute = "Code=\"";
constexpr std::string_view kQuote = "\"";
constexpr std::string_view kLineEnd = "\r\n";
constexpr char kEndOfFile = '\x1a';   // Ctrl-Z ends a text file wherever it stands
// What ends a line or the file for the reader, or a text for the controls that show it.
constexpr std::string_view kLineOrFileEnds{"\r\n\x1a\0", 4};

// The entry line is written exactly as the reader looks for it.
constexpr std::string_view kEntryStart = "\t<session Description=\"";
constexpr std::string_view kEntryMiddle = "\" AccessCode=\"";
constexpr std::string_view kEntryEnd = "\" />";
static_assert(kEntryStart.size() + 2 * kMaxSessionTextBytes + kEntryMiddle.size() + kEntryEnd.size() +
                      kLineEnd.size() <= kMaxSessionLineBytes,
              "an entry of the longest values fits in a line the reader takes");

// One line of a list file that knows where its characters start, so that no search
// matches beginning on the trail byte of a double-byte character.
class Line {
public:
    Line(std::string_view bytes, LeadBytePredicate isLeadByte) : m_bytes(bytes), m_charStarts(bytes.size())
    {
        for (std::size_t i = 0; i < bytes.size();) {
            m_charStarts[i] = true;
            const bool pair = isLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size();
            i += pair ? 2 : 1;
        }
    }

    std::size_t size() const { return m_bytes.size(); }

    // First match of needle at or after from that starts a character, or npos.
    std::size_t Find(std::string_view needle, std::size_t from) const
    {
        for (std::size_t pos = m_bytes.find(needle, from); pos != std::string_view::npos;
             pos = m_bytes.find(needle, pos + 1)) {
            if (m_charStarts[pos])
                return pos;
        }
        return std::string_view::npos;
    }

    std::string Text(std::size_t from, std::size_t to) const { return std::string(m_bytes.substr(from, to - from)); }

private:
    std::string_view m_bytes;
    std::vector<bool> m_charStarts;
};

// Reads one session element from a line that holds "<session Description=" at start.
SessionEntry ParseEntry(const Line& line, std::size_t start)
{
    SessionEntry entry;
    // The byte after the equals sign, normally the opening quote, is skipped whatever it is.
    std::size_t rest = std::min(start + kElementStart.size() + 1, line.size());

    const std::size_t descriptionEnd = line.Find(kQuote, rest);
    if (descriptionEnd != std::string_view::npos) {
        entry.m_strDescription = line.Text(rest, descriptionEnd);
        rest = descriptionEnd + 1;
    }

    const std::size_t code = line.Find(kCodeAttribute, rest);
    // Without the attribute, skip what would be " Code" of a well-formed element.
    rest = code != std::string_view::npos ? code + kCodeAttribute.size() : std::min(rest + 5, line.size());

    const std::size_t codeEnd = line.Find(kQuote, rest);
    if (codeEnd != std::string_view::npos)
        entry.m_strAccessCode = line.Text(rest, codeEnd);
    return entry;
}

} // namespace

SessionFileReader::SessionFileReader(LeadBytePredicate isLeadByte)
    : m_isLeadByte(isLeadByte), m_table(std::make_unique<SessionTable>())
{
}

bool SessionFileReader::Feed(std::string_view bytes)
{
    const std::size_t endOfFile = bytes.find(kEndOfFile);
    bytes = bytes.substr(0, endOfFile);
    while (!m_bDone) {
        const std::size_t lf = bytes.find('\n');
        if (lf == std::string_view::npos) {
            if (m_partialLine.size() + bytes.size() > kMaxSessionLineBytes)
                m_bDone = true;
            else
                m_partialLine.append(bytes);
            break;
        }
        if (m_partialLine.empty()) {
            TakeLine(bytes.substr(0, lf), true);
        } else {
            m_partialLine.append(bytes.substr(0, lf));
            TakeLine(m_partialLine, true);
            m_partialLine.clear();
        }
        bytes.remove_prefix(lf + 1);
    }
    if (endOfFile != std::string_view::npos && !m_bDone) {
        if (!m_partialLine.empty())
            TakeLine(m_partialLine, false);
        m_bDone = true;
    }
    return !m_bDone;
}

SessionTablePtr SessionFileReader::Finish()
{
    // A last line without a line feed still counts.
    if (!m_bDone && !m_partialLine.empty())
        TakeLine(m_partialLine, false);
    m_bDone = true;
    m_partialLine.clear();
    return std::move(m_table);
}

void SessionFileReader::TakeLine(std::string_view text, bool endedByLineFeed)
{
    if (text.size() > kMaxSessionLineBytes) {
        m_bDone = true;
        return;
    }
    if (endedByLineFeed && !text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    if (text.empty()) {
        m_bDone = true;   // an empty line ends the list
        return;
    }
    const Line line(text, m_isLeadByte);
    const std::size_t start = line.Find(kElementStart, 0);
    if (start != std::string_view::npos)
        m_table->m_entries[m_count++] = ParseEntry(line, start);
    m_bDone = m_count == kMaxSessions || line.Find(kFooter, 0) != std::string_view::npos;
}

SessionTablePtr ParseSessionFile(std::string_view bytes, LeadBytePredicate isLeadByte)
{
    SessionFileReader reader(isLeadByte);
    reader.Feed(bytes);
    return reader.Finish();
}

std::string KeepableSessionText(std::string_view text, LeadBytePredicate isLeadByte)
{
    text = text.substr(0, text.find(kFooter));
    return std::string(CutToWholeCharacters(text, kMaxSessionTextBytes, isLeadByte));
}

std::string StorableSessionText(std::string_view text, LeadBytePredicate isLeadByte)
{
    text.remove_prefix(std::min(text.find_first_not_of(kQuote), text.size()));
    std::string kept = KeepableSessionText(text, isLeadByte);
    // No lead or trail byte of a double-byte code page is one of these.
    const auto endsLineOrFile = [](char byte) { return kLineOrFileEnds.find(byte) != std::string_view::npos; };
    std::replace_if(kept.begin(), kept.end(), endsLineOrFile, ' ');
    return kept;
}

std::string FormatSessionFile(const std::vector<SessionEntry>& entries)
{
    std::string bytes;
    bytes.append(kHeader).append(kLineEnd);
    for (const SessionEntry& entry : entries) {
        bytes.append(kEntryStart).append(entry.m_strDescription);
        bytes.append(kEntryMiddle).append(entry.m_strAccessCode);
        bytes.append(kEntryEnd).append(kLineEnd);
    }
    bytes.append(kFooter).append(kLineEnd);
    return bytes;
}
