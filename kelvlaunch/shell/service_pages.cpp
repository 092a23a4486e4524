// Page addresses and the browser start. Values go into the address byte for byte: the
// service's pages expect them so, and nothing is encoded.
#include "app/kelvlaunch_app.h"
#include "service/service_endpoints.h"
#include "shell/service_pages.h"

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

std::string HostJoinPage(const std::string& accessCode)
{
    return "join?agent&host&p=" + accessCode;
}

std::string GuestJoinPage(const std::string& accessCode)
{
    CUserSettings& settings = *KelvlaunchApp().GetSettings();
    return "join?agent&guest&adv&name=" + settings.GetName() + "&email=" + settings.GetUsername() +
           "&p=" + accessCode + "&skin=" + settings.GetSkin();
}

// The address is the browser's parameter, so the default-browser association plays no
// part; the launcher neither waits for the browser nor reports a failed start.
void CKelvlaunchApp::LaunchBrowser(const std::string& address)
{
    ::ShellExecuteA(nullptr, "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWMAXIMIZED);
}
