// Loading the two lists, and saving and merging into the host list.
#include "sessions/session_store.h"

const char kHostSessionFile[] = "sessions.xml";
const char kGuestSessionFile[] = "osessions.xml";

namespace {

DWORD LoadSessions(const char* fileName, SessionTablePtr& sessions)
{
    if (SessionTablePtr loaded = ReadSessionFile(fileName)) {
        sessions = std::move(loaded);
        return ERROR_SUCCESS;
    }
    const DWORD error = ::GetLastError();
    const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    return missing ? ERROR_SUCCESS : error;
}

} // namespace

DWORD LoadHostSessions(SessionTablePtr& hostSessions)
{
    return LoadSessions(kHostSessionFile, hostSessions);
}

DWORD LoadGuestSessions(SessionTablePtr& guestSessions)
{
    return LoadSessions(kGuestSessionFile, guestSessions);
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
    const std::size_t end = hostSessions->Count();
    if (end >= kMaxSessions)
        return;   // the last slot stays the end marker
    description = StorableSessionText(description);
    accessCode = StorableSessionText(accessCode);
    for (const SessionEntry& entry : *hostSessions) {
        if (entry.m_strAccessCode == accessCode)
            return;
    }
    auto& slots = hostSessions->m_entries;
    slots[end + 1] = slots[end];
    slots[end].m_strDescription = std::move(description);
    slots[end].m_strAccessCode = std::move(accessCode);
}
