#include "internet_error.h"

#include "service/wininet_api.h"
#include "winfx/win_app.h"

#include <utility>
#include <vector>

namespace {

constexpr std::size_t kMaxErrorText = 259;

std::string LastResponseText()
{
    const WinInetApi* api = WinInet();
    if (!api)
        return std::string();
    DWORD detail = 0;
    DWORD size = 0;
    api->InternetGetLastResponseInfoA(&detail, nullptr, &size);
    std::vector<char> text(size + 1);
    size = DWORD(text.size());
    if (!api->InternetGetLastResponseInfoA(&detail, text.data(), &size))
        return std::string();
    return std::string(text.data(), size);
}

std::string MessageTableText(DWORD errorCode)
{
    char text[1024] = {};
    const DWORD flags = FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD size = ::FormatMessageA(flags | FORMAT_MESSAGE_FROM_HMODULE, ::GetModuleHandleA("wininet.dll"),
                                  errorCode, 0, text, sizeof text, nullptr);
    if (size == 0)
        size = ::FormatMessageA(flags | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, errorCode, 0, text,
                                sizeof text, nullptr);
    return std::string(text, size);
}

} // namespace

std::string InternetErrorText(DWORD errorCode)
{
    std::string text =
        errorCode == ERROR_INTERNET_EXTENDED_ERROR ? LastResponseText() : MessageTableText(errorCode);
    text.erase(text.find_last_not_of(" \r\n") + 1);
    if (text.empty())
        text = "No error message is available (internet error " + std::to_string(errorCode) + ").";
    return CutOnCharacterBoundary(std::move(text), kMaxErrorText);
}

std::string CutOnCharacterBoundary(std::string text, std::size_t maxBytes)
{
    std::size_t end = 0;
    while (end < text.size()) {
        const bool pair = ::IsDBCSLeadByte(static_cast<BYTE>(text[end])) && end + 1 < text.size();
        const std::size_t next = end + (pair ? 2 : 1);
        if (next > maxBytes)
            break;
        end = next;
    }
    text.resize(end);
    return text;
}

void ReportInternetError(DWORD errorCode)
{
    // Every program that talks to the service has its application object.
    CWinApp::GetApp()->ShowMessageBox(InternetErrorText(errorCode), MB_ICONEXCLAMATION);
}
