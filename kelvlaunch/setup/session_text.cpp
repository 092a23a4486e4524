#include "setup/session_text.h"

#include "sessions/session_store.h"

std::string TrimSessionText(const std::string& text)
{
    static const char kWhiteSpace[] = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}

bool MakeRowTexts(std::string& description, std::string& accessCode)
{
    description = StorableSessionText(TrimSessionText(description));
    accessCode = StorableSessionText(TrimSessionText(accessCode));
    if (description.empty())
        description = "<empty>";
    return !accessCode.empty();
}
