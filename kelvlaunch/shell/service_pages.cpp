// Page addresses and the browser start. Values go into the address byte for byte: the
// service's pages expect them so, and nothing is encoded.
#include "app/kelvlaunch_app.h"
#include "service/service_endpoints.h"

#include <shellapi.h>

void CKelvlaunchApp::OpenServicePage(std::string pagePath, bool withCredentials)
{
    std::string address = kServiceWebBaseUrl + std::move(pagePath);
    if (withCredentials) {
        CUserSettings& settings = *GetSettings();
        address += "&eMail=" + settings.GetUsername() + "&pAssword=" + settings.GetPassword() +
                   "&skin=" + settings.GetSkin();
    }
    LaunchBrowser(address);
}

// The address is the browser's parameter, so the default-browser association plays no
// part; the launcher neither waits for the browser nor reports a failed start.
void CKelvlaunchApp::LaunchBrowser(const std::string& address)
{
    ::ShellExecuteA(nullptr, "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWMAXIMIZED);
}
