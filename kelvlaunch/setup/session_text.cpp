#include "setup/session_text.h"

std::string TrimSessionText(const std::string& text)
{
    static const char kWhiteSpace[] = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}
