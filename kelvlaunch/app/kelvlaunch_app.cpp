#include "app/kelvlaunch_app.h"

#include "app/main_frame.h"
#include "res/resource.h"
#include "sessions/session_store.h"
#include "stacktrace/stack_trace.h"

// The program's static initialisation, in this order (this is the only file of the
// program with initialisers that run code): the crash reporter first, before any object
// of ours exists; then the application object; then the registered messages.
static const bool stackTraceInitialised = (InitStackTraceLibrary(), true);
static CKelvlaunchApp theApp;
const UINT taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");
const UINT launchedAgainMessage = ::RegisterWindowMessageA("Kelvara launcher started again");

int trayMenuId = IDR_TRAY_MENU;

CKelvlaunchApp& KelvlaunchApp()
{
    return theApp;
}

CKelvlaunchApp::CKelvlaunchApp()
    : m_pHostSessions(std::make_unique<SessionTable>()),
      m_pGuestSessions(std::make_unique<SessionTable>()),
      m_pSettings(std::make_unique<CUserSettings>())
{
}

bool CKelvlaunchApp::InitInstance()
{
    // Before anything is read or shown: with a launcher already running on this folder,
    // this start only wakes it, and the loop ends at once with exit code 0.
    if (!m_launcherInstance.Claim()) {
        m_launcherInstance.WakeRunning();
        ::PostQuitMessage(0);
        return true;
    }
    // The common controls are initialised by the first dialog or sheet that opens, not
    // here: the tray icon comes sooner and the idle launcher stays smaller.
    CWinApp::InitInstance();

    auto* frame = new CMainFrame;  // deletes itself when its window is destroyed
    m_pMainWnd = frame;
    // The frame's own pre-creation makes it a caption-only window that is never shown.
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW))
        return false;  // the frame has deleted itself
    ::ShowWindow(frame->m_hWnd, SW_HIDE);

    m_nHostUnreadError = LoadHostSessions(m_pHostSessions);
    m_nGuestUnreadError = LoadGuestSessions(m_pGuestSessions);
    return true;
}

void CKelvlaunchApp::ReadUnreadLists()
{
    if (m_nHostUnreadError != ERROR_SUCCESS)
        m_nHostUnreadError = LoadHostSessions(m_pHostSessions);
    if (m_nGuestUnreadError != ERROR_SUCCESS)
        m_nGuestUnreadError = LoadGuestSessions(m_pGuestSessions);
}
