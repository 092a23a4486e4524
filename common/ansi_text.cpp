#include "ansi_text.h"

std::string_view CutToWholeCharacters(std::string_view text, std::size_t maxBytes,
                                      LeadBytePredicate isLeadByte)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + (isLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1);
        if (next > text.size() || next > maxBytes)
            break;
        end = next;
    }
    return text.substr(0, end);
}

std::string_view TrimWhiteSpace(std::string_view text)
{
    constexpr std::string_view kWhiteSpace = " \t\n\v\f\r";
    const std::size_t first = text.find_first_not_of(kWhiteSpace);
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(kWhiteSpace) - first + 1);
}
