// The service's pages opened in the browser, with the stored account's values.
#include "app/kelvlaunch_app.h"
#include "shell/service_pages.h"
#include "winfx/system_error.h"

#include <shellapi.h>

PageAccount CKelvlaunchApp::GetPageAccount() const
{
    CUserSettings& settings = *GetSettings();
    return {settings.GetName(), settings.GetUsername(), settings.GetPassword(), settings.GetSkin()};
}

void CKelvlaunchApp::OpenServicePage(const std::string& pagePath, bool withCredentials)
{
    const PageAccount account = GetPageAccount();
    LaunchBrowser(ServicePageAddress(pagePath, withCredentials ? &account : nullptr));
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
