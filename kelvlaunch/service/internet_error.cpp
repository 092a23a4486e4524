#include "internet_error.h"

#include "ansi_code_page.h"
#include "ansi_text.h"
#include "service/wininet_api.h"
#include "winfx/win_app.h"

#include <vector>

namespace {

constexpr std::size_t kMaxErrorText = 259;

// Codes the system may have no text for (Wine has none), said so that a user knows what
// to do: the TLS errors, and the redirects the TLS exchange will not follow.
const struct {
    DWORD code;
    const char* text;
} kOwnTexts[] = {
    {ERROR_INTERNET_INVALID_CA,
     "The server's certificate comes from an authority this computer does not trust, so Kelvara did not "
     "connect. Check the server setting, or ask your administrator to have the authority trusted."},
    {ERROR_INTERNET_SEC_CERT_REV_FAILED,
     "The server's certificate could not be checked (its issuer is unknown or could not be reached), so "
     "Kelvara did not connect. Check the server setting, or ask your administrator."},
    {ERROR_INTERNET_SECURITY_CHANNEL_ERROR,
     "No secure connection to the server could be made: it offers no security protocol this computer "
     "accepts. Check the server setting, or ask your administrator."},
    {ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR,
     "The server sent Kelvara on to an address without a secure connection, where your account would "
     "travel readable by others, so Kelvara did not go there. Check the server setting, or ask your administrator."},
    {ERROR_HTTP_REDIRECT_FAILED, "The server sent Kelvara from address to address without end, so Kelvara stopped. "
                                 "Check the server setting, or ask your administrator."},
    {WSAETIMEDOUT, "The server did not answer in time. Check your network connection and the server setting, "
                   "then try again."},
};

const char* OwnText(DWORD errorCode)
{
    for (const auto& own : kOwnTexts) {
        if (own.code == errorCode)
            return own.text;
    }
    return nullptr;
}

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
    if (const char* own = OwnText(errorCode))
        return own;
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
