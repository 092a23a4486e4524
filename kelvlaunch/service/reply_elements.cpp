#include "reply_elements.h"

#include <utility>

namespace {

const char kWhiteSpace[] = " \t\n\v\f\r";

struct ElementSpan {
    std::string value;
    std::string::size_type closeEnd;  // npos when the closing tag does not occur
};

ElementSpan FindElement(const std::string& name, const std::string& text)
{
    const std::string openTag = "<" + name + ">";
    const std::string closeTag = "</" + name + ">";
    const auto open = text.find(openTag);
    const auto close = text.find(closeTag);

    ElementSpan span{std::string(), close == std::string::npos ? close : close + closeTag.size()};
    if (open == std::string::npos || close == std::string::npos || close < open + openTag.size())
        return span;

    const auto first = text.find_first_not_of(kWhiteSpace, open + openTag.size());
    if (first >= close)
        return span;
    const auto last = text.find_last_not_of(kWhiteSpace, close - 1);
    span.value = text.substr(first, last + 1 - first);
    return span;
}

} // namespace

std::string ExtractElement(const std::string& name, const std::string& text)
{
    return FindElement(name, text).value;
}

std::string ExtractNextElement(const std::string& name, std::string& text)
{
    ElementSpan span = FindElement(name, text);
    text.erase(0, span.closeEnd);  // npos erases everything
    return std::move(span.value);
}
