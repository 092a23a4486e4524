// The main frame's service commands: the account and help pages, hosting a session, and
// the import of planned sessions with the routing of the dynamic command range.
#include "app/main_frame.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"
#include "sessions/session_store.h"
#include "shell/service_pages.h"

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
    return false;
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
// tells the user nothing unless the list could not be stored.
void CMainFrame::OnImportPlannedSessions()
{
    CKelvlaunchApp& app = KelvlaunchApp();
    const bool stored = app.GetSettings()->GetPlannedSessions(app.m_pHostSessions);
    const DWORD error = ::GetLastError();
    app.HostSessionsChanged();
    if (!stored)
        app.ReportListNotSaved(kHostSessionFile, error);
}
