// The service's pages opened in the browser, with the stored account's values.
#include "app/kelvlaunch_app.h"
#include "shell/service_pages.h"

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

// The address is the browser's parameter, so the default-browser association plays no
// part; the launcher neither waits for the browser nor reports a failed start.
void CKelvlaunchApp::LaunchBrowser(const std::string& address)
{
    ::ShellExecuteA(nullptr, "open", "iexplore.exe", address.c_str(), nullptr, SW_SHOWMAXIMIZED);
}
