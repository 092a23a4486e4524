// Import of the sessions the service has planned for the account into the host list.
#include "service/user_settings.h"

#include "service/reply_elements.h"
#include "service/service_command.h"
#include "sessions/session_store.h"

bool CUserSettings::GetPlannedSessions(SessionTablePtr& hostSessions, DWORD& hostUnreadError)
{
    const bool hadList = hostSessions != nullptr;
    const ServiceCommandResult result = SendServiceCommand("getPlannedSessions", GetUsername(), GetPassword());
    // A list freed while the request or its error box ran means Exit: the program is
    // ending, and nothing is written at exit (so there is no failure to report either).
    if (hadList && !hostSessions)
        return true;
    const std::string records = ExtractElement("records", result.m_strText);

    // The merge starts from what is on disk, and the list is written back whatever the
    // reply was; but never over a file that is there and could not be read.
    hostUnreadError = LoadHostSessions(hostSessions);
    if (hostUnreadError != ERROR_SUCCESS) {
        ::SetLastError(hostUnreadError);
        return false;
    }
    for (std::string_view rest = records;;) {
        const std::string record = ExtractNextElement("record", rest);
        if (record.empty())
            break;
        MergeHostSession(hostSessions.get(), ExtractElement("MEETING_NAME", record),
                         ExtractElement("MEETING_PIN", record));
    }
    return SaveHostSessions(hostSessions.get());
}
