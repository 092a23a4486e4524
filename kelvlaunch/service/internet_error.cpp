#include "internet_error.h"

#include "ansi_code_page.h"
#include "ansi_text.h"
#include "service/wininet_api.h"
#include "winfx/win_app.h"

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
    return std::string(CutToWholeCharacters(text, kMaxErrorText, IsAnsiLeadByte));
}

void ReportInternetError(DWORD errorCode)
{
    // Every program that talks to the service has its application object.
    CWinApp::GetApp()->ShowMessageBox(InternetErrorText(errorCode), MB_ICONEXCLAMATION);
}
