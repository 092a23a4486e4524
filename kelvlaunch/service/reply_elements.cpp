#include "reply_elements.h"

#include "ansi_text.h"

#include <utility>

namespace {

struct ElementSpan {
    std::string value;
    std::string_view::size_type closeEnd;  // npos when the closing tag does not occur
};

ElementSpan FindElement(std::string_view name, std::string_view text)
{
    const std::string openTag = "<" + std::string(name) + ">";
    const std::string closeTag = "</" + std::string(name) + ">";
    const auto close = text.find(closeTag);
    ElementSpan span{std::string(), close == std::string_view::npos ? close : close + closeTag.size()};
    if (close == std::string_view::npos)
        return span;
    // Only an opening tag that ends before the closing one can give a value, so the
    // search need not look further than that: the walk stays within what it consumes.
    const auto open = text.substr(0, close).find(openTag);
    if (open == std::string_view::npos)
        return span;

    const auto valueStart = open + openTag.size();
    span.value = std::string(TrimWhiteSpace(text.substr(valueStart, close - valueStart)));
    return span;
}

} // namespace

std::string ExtractElement(std::string_view name, std::string_view text)
{
    return FindElement(name, text).value;
}

std::string ExtractNextElement(std::string_view name, std::string_view& text)
{
    ElementSpan span = FindElement(name, text);
    text.remove_prefix(span.closeEnd == std::string_view::npos ? text.size() : span.closeEnd);
    return std::move(span.value);
}
