#include "setup/session_text.h"

#include "ansi_text.h"
#include "sessions/session_store.h"

bool MakeRowTexts(std::string& description, std::string& accessCode)
{
    description = StorableSessionText(TrimWhiteSpace(description));
    accessCode = StorableSessionText(TrimWhiteSpace(accessCode));
    if (description.empty())
        description = "<empty>";
    return !accessCode.empty();
}
