// Loading the two lists, and saving and merging into the host list.
#include "sessions/session_store.h"

const char kHostSessionFile[] = "sessions.xml";
const char kGuestSessionFile[] = "osessions.xml";

namespace {

void LoadSessions(const char* fileName, SessionTablePtr& sessions)
{
    if (SessionTablePtr loaded = ReadSessionFile(fileName))
        sessions = std::move(loaded);
}

} // namespace

void LoadHostSessions(SessionTablePtr& hostSessions)
{
    LoadSessions(kHostSessionFile, hostSessions);
}

void LoadGuestSessions(SessionTablePtr& guestSessions)
{
    LoadSessions(kGuestSessionFile, guestSessions);
}

bool SaveHostSessions(const SessionTable* hostSessions)
{
    std::vector<SessionEntry> entries;
    if (hostSessions)
        entries.assign(hostSessions->begin(), hostSessions->end());
    return WriteSessionFile(kHostSessionFile, entries);
}

void MergeHostSession(SessionTable* hostSessions, std::string description, std::string accessCode)
{
    if (!hostSessions)
        return;
    for (const SessionEntry& entry : *hostSessions) {
        if (entry.m_strAccessCode == accessCode)
            return;
    }
    const std::size_t end = hostSessions->Count();
    if (end >= kMaxSessions)
        return;   // the last slot stays the end marker
    auto& slots = hostSessions->m_entries;
    slots[end + 1] = slots[end];
    slots[end].m_strDescription = std::move(description);
    slots[end].m_strAccessCode = std::move(accessCode);
}
