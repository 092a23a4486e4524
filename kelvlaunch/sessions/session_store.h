// The two session lists on disk: reading and writing list files in the working
// directory, and the host-list operations shared by the Host Meetings page and the
// planned-session import. No user interface: the callers report failures.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "sessions/session_table.h"

extern const char kHostSessionFile[];    // "sessions.xml"
extern const char kGuestSessionFile[];   // "osessions.xml"

// A new table with the entries the reader takes from the file (it stops early, so the
// file's size does not matter), or null when the file can't be opened (missing, held by
// another process without read sharing, no access) or a read fails before the reader is
// done; GetLastError then tells why.
SessionTablePtr ReadSessionFile(const char* fileName);

// Replaces the file with a list of the entries, in order. The new content goes to a
// temporary file beside it first, so on failure the old file is left whole. Returns
// whether the file now holds the list; on failure GetLastError tells why.
bool WriteSessionFile(const char* fileName, const std::vector<SessionEntry>& entries);

// Replace the table with the file's list; a file that can't be read leaves it as it was.
// The result is ERROR_SUCCESS when the file was read or is missing, otherwise the reason
// why the file that is there could not be read: the list is then unread, and its file
// must not be written, as it may hold entries the table lacks.
DWORD LoadHostSessions(SessionTablePtr& hostSessions);
DWORD LoadGuestSessions(SessionTablePtr& guestSessions);

// Writes the host list file from the table; null writes an empty list. As WriteSessionFile.
bool SaveHostSessions(const SessionTable* hostSessions);

// The one rule for every Description and Access Code that a page or the import puts in a
// list: StorableSessionText under the ANSI code page.
std::string StorableSessionText(std::string_view text);
// What a list keeps of a value it already holds: KeepableSessionText under the ANSI code page.
std::string KeepableSessionText(std::string_view text);

// Appends an entry, its texts made storable, unless the list already holds the Access
// Code or is full. A null table has nothing to merge into.
void MergeHostSession(SessionTable* hostSessions, std::string description, std::string accessCode);
