// Page addresses and the browser start. Values go into the address byte for byte: the
// service's pages expect them so, and nothing is encoded.
#include "app/kelvlaunch_app.h"
#include "service/service_endpoints.h"
#include "shell/service_pages.h"
#include "winfx/system_error.h"

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

// The address is the parameter of "iexplore.exe", as the service's pages expect, and the
// launcher does not wait for the browser. Where that program is missing (Windows without
// it), the user's default browser opens the address; only when that fails too is the user
// told, as the click would otherwise seem to do nothing.
void CKelvlaunchApp::LaunchBrowser(const std::string& address)
{
    const auto started = [](HINSTANCE result) { return reinterpret_cast<INT_PTR>(result) > 32; };
    if (started(::ShellExecuteA(nullptr, "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWMAXIMIZED)))
        return;
    const HINSTANCE result = ::ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWMAXIMIZED);
    if (!started(result))
        ShowMessageBox("No web browser could be started to open the Kelvara page.\r\n\r\n" +
                           SystemErrorText(ShellExecuteError(result)),
                       MB_ICONEXCLAMATION);
}
