#include "winfx/access_key.h"

namespace {

char Upper(char character)
{
    const auto single = static_cast<UINT_PTR>(static_cast<BYTE>(character));
    return static_cast<char>(
        reinterpret_cast<UINT_PTR>(::CharUpperA(reinterpret_cast<LPSTR>(single))));
}

// Upper-cased, or 0 when the text has none.
char AccessKeyOf(const std::string& text)
{
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            return Upper(text[i + 1]);
        ++i;
    }
    return 0;
}

} // namespace

bool IsAccessKey(const std::string& text, WPARAM character)
{
    const char key = AccessKeyOf(text);
    return key != 0 && key == Upper(static_cast<char>(character));
}

std::string WithoutAccessKeyMarks(const std::string& text)
{
    std::string shown;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && ++i == text.size())
            break;
        shown += text[i];
    }
    return shown;
}
