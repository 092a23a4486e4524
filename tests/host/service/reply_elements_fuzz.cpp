// Input: an element name, a 0x00 byte, then the text to search.
#include "service/reply_elements.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

bool IsWhiteSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The walk as first written, erasing the consumed text: slow, but plainly right. The
// forward-moving walk must give the same values and the same rest, byte for byte.
std::string ReferenceNext(const std::string& name, std::string& text)
{
    const std::string openTag = "<" + name + ">";
    const std::string closeTag = "</" + name + ">";
    const auto open = text.find(openTag);
    const auto close = text.find(closeTag);
    std::string value;
    if (open != std::string::npos && close != std::string::npos && close >= open + openTag.size()) {
        const auto first = text.find_first_not_of(" \t\n\v\f\r", open + openTag.size());
        if (first < close)
            value = text.substr(first, text.find_last_not_of(" \t\n\v\f\r", close - 1) + 1 - first);
    }
    text.erase(0, close == std::string::npos ? close : close + closeTag.size());
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    if (split == std::string::npos)
        return 0;
    const std::string name = input.substr(0, split);
    std::string text = input.substr(split + 1);

    const std::string value = ExtractElement(name, text);
    if (!value.empty()) {
        Check(!IsWhiteSpace(value.front()) && !IsWhiteSpace(value.back()));
        Check(text.find("<" + name + ">" ) != std::string::npos);
        Check(text.find(value) != std::string::npos);
    }

    // Walking a sequence agrees with the one-shot search, only ever shortens the
    // text to one of its suffixes, and ends.
    std::string_view rest = text;
    std::string reference = text;
    for (;;) {
        const std::string expected = ExtractElement(name, rest);
        const std::string_view before = rest;
        const std::string next = ExtractNextElement(name, rest);
        Check(next == expected);
        Check(next == ReferenceNext(name, reference) && rest == reference);
        Check(rest.size() < before.size() || rest.empty());
        Check(before.compare(before.size() - rest.size(), rest.size(), rest) == 0);
        if (next.empty())
            break;
    }
    return 0;
}
