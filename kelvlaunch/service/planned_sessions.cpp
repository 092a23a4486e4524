// Import of the sessions the service has planned for the account into the host list.
#include "service/user_settings.h"

#include "service/reply_elements.h"
#include "service/service_command.h"
#include "sessions/session_store.h"

bool CUserSettings::GetPlannedSessions(SessionTablePtr& hostSessions)
{
    const ServiceCommandResult result = SendServiceCommand("getPlannedSessions", GetUsername(), GetPassword());
    std::string records = ExtractElement("records", result.m_strText);

    // The merge starts from what is on disk, and the list is written back whatever the
    // reply was.
    LoadHostSessions(hostSessions);
    for (;;) {
        const std::string record = ExtractNextElement("record", records);
        if (record.empty())
            break;
        MergeHostSession(hostSessions.get(), ExtractElement("MEETING_NAME", record),
                         ExtractElement("MEETING_PIN", record));
    }
    return SaveHostSessions(hostSessions.get());
}
