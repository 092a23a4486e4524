#include "setup/session_text.h"

#include "ansi_text.h"
#include "sessions/session_store.h"

bool MakeRowTexts(std::string& description, std::string& accessCode, RowTexts source)
{
    const auto rule = source == RowTexts::Typed ? &StorableSessionText : &KeepableSessionText;
    description = rule(TrimWhiteSpace(description));
    accessCode = rule(TrimWhiteSpace(accessCode));
    if (description.empty())
        description = "<empty>";
    return !accessCode.empty();
}
