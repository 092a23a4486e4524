// The main frame's service commands: the account and help pages, hosting a session, joining
// one from the lists or as a guest by access code, and the import of planned sessions with
// the routing of the dynamic command range.
#include "app/main_frame.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"
#include "setup/access_code.h"
#include "sessions/session_store.h"
#include "shell/service_pages.h"

#include <string>
#include <vector>

bool CMainFrame::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery)
{
    if (m_view.OnCmdMsg(id, code, extra, handlerQuery))
        return true;
    if (OnSessionCommand(id, code, extra, handlerQuery))
        return true;
    return CFrameWnd::OnCmdMsg(id, code, extra, handlerQuery);
}

// The dynamic ids have no map entries: they name whatever the last menu build gave them.
bool CMainFrame::OnSessionCommand(UINT id, int code, void*, CommandHandlerQuery* handlerQuery)
{
    if (id < ID_SESSION_FIRST || id > ID_IMPORT_PLANNED || code != 0)
        return false;
    if (handlerQuery)
        return true;  // every dynamic item is enabled
    if (id == ID_IMPORT_PLANNED) {
        OnImportPlannedSessions();
        return true;
    }

    // Addresses first, browser after: starting the browser can pump messages, and one of
    // them may replace or free a table. Every matching entry opens its page.
    CKelvlaunchApp& app = KelvlaunchApp();
    const auto matches = [id](const SessionEntry& entry) {
        return entry.m_nCommandID == static_cast<int32_t>(id);
    };
    std::vector<std::string> hostPages;
    std::vector<std::string> guestPages;
    if (app.m_pHostSessions)
        for (const SessionEntry& entry : *app.m_pHostSessions)
            if (matches(entry))
                hostPages.push_back(HostJoinPage(entry.m_strAccessCode));
    if (app.m_pGuestSessions)
        for (const SessionEntry& entry : *app.m_pGuestSessions)
            if (matches(entry))
                guestPages.push_back(GuestJoinPage(entry.m_strAccessCode, app.GetPageAccount()));
    for (const std::string& page : hostPages)
        app.OpenServicePage(page, true);
    for (const std::string& page : guestPages)
        app.OpenServicePage(page, false);
    return true;  // also when no entry holds the id (the lists changed since the menu)
}

// A dialog ended by Exit returns IDCANCEL.
void CMainFrame::OnBeGuest()
{
    CAccessCode dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    CKelvlaunchApp& app = KelvlaunchApp();
    app.OpenServicePage(GuestJoinPage(dialog.m_strAccessCode, app.GetPageAccount()), false);
}

void CMainFrame::OnHostSession()
{
    KelvlaunchApp().OpenServicePage(kHostSessionPage, true);
}

void CMainFrame::OnManageAccount()
{
    KelvlaunchApp().OpenServicePage(kManageAccountPage, true);
}

void CMainFrame::OnSupport()
{
    KelvlaunchApp().OpenServicePage(kSupportPage, true);
}

// The new entries show in the next menu and on an open Host Meetings page; the import
// tells the user nothing unless the list could not be read or stored.
void CMainFrame::OnImportPlannedSessions()
{
    CKelvlaunchApp& app = KelvlaunchApp();
    const bool stored = app.GetSettings()->GetPlannedSessions(app.m_pHostSessions, app.m_nHostUnreadError);
    const DWORD error = ::GetLastError();
    app.HostSessionsChanged();
    if (stored)
        return;
    if (app.m_nHostUnreadError != ERROR_SUCCESS)
        app.ReportListUnread(kHostSessionFile, error);
    else
        app.ReportListNotSaved(kHostSessionFile, error);
}
