#include "app/main_frame.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"

const MessageMap CMainFrame::messageMap{&CFrameWnd::messageMap, {
    MessageEntry<WM_CREATE, &CMainFrame::OnCreate>,
    MessageEntry<WM_DESTROY, &CMainFrame::OnDestroy>,
    RegisteredMessageEntry<&launchedAgainMessage, &CMainFrame::OnLaunchedAgain>,
    CommandEntry<ID_HOST_SESSION, &CMainFrame::OnHostSession>,
    CommandEntry<ID_MANAGE_ACCOUNT, &CMainFrame::OnManageAccount>,
    CommandEntry<ID_SUPPORT, &CMainFrame::OnSupport>,
    CommandEntry<ID_APP_EXIT, &CMainFrame::OnExit>,
    CommandEntry<ID_SUPPORT_REDUCED, &CMainFrame::OnSupport>,
    MessageEntry<WM_TRAY_NOTIFY, &CMainFrame::OnTrayIconMessage>,
    CommandEntry<ID_BE_GUEST, &CMainFrame::OnBeGuest>,
    CommandEntry<ID_SETUP, &CMainFrame::OnSetup>,
}};

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs)
{
    // A bare window class and a caption only: nothing ever shows this window.
    cs.lpszClass = RegisterWndClass(0);
    if (!CFrameWnd::PreCreateWindow(cs))
        return false;
    cs.style = WS_CAPTION;
    cs.dwExStyle &= ~WS_EX_CLIENTEDGE;
    // Of no size: the system then keeps no screen-sized drawing surface for a window that
    // is never drawn, which took a tenth of the time to the icon.
    cs.x = cs.y = cs.cx = cs.cy = 0;
    return true;
}

int CMainFrame::OnCreate(CREATESTRUCTA& cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    // The icon first: it is what the user waits for. The first read of a setting loads
    // them all; a stored skin chooses the reduced tray menu for the whole run.
    if (!KelvlaunchApp().GetSettings()->GetSkin().empty())
        trayMenuId = IDR_TRAY_MENU_REDUCED;
    AddTrayIcon();  // the program runs on without an icon when the shell refuses it
    if (!m_view.Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, RECT{}, this,
                       IDW_PANE_FIRST))
        return -1;
    KelvlaunchApp().m_launcherInstance.Publish(m_hWnd);
    return 0;
}

LRESULT CMainFrame::OnDestroy(WPARAM, LPARAM)
{
    KelvlaunchApp().m_launcherInstance.Withdraw(m_hWnd);
    return Default();
}

// The lists are not written at exit: they are saved whenever they change.
void CMainFrame::OnExit()
{
    CKelvlaunchApp& app = KelvlaunchApp();
    app.m_pHostSessions.reset();
    app.m_pGuestSessions.reset();
    ::SendMessageA(app.m_pMainWnd->m_hWnd, WM_CLOSE, 0, 0);
}
