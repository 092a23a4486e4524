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

bool MakeRowTexts(std::string& description, std::string& accessCode, RowTexts source)
{
    const auto rule = source == RowTexts::Typed ? &StorableSessionText : &KeepableSessionText;
    description = rule(TrimSessionText(description));
    accessCode = rule(TrimSessionText(accessCode));
    if (description.empty())
        description = "<empty>";
    return !accessCode.empty();
}
