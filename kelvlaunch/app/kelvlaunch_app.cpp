#include "app/kelvlaunch_app.h"

#include "app/main_frame.h"
#include "res/resource.h"
#include "sessions/session_store.h"
#include "stacktrace/stack_trace.h"

// The program's static initialisation, in this order (this is the only file of the
// program with initialisers that run code): the crash reporter first, before any object
// of ours exists; then the application object; then the registered message.
static const bool stackTraceInitialised = (InitStackTraceLibrary(), true);
static CKelvlaunchApp theApp;
const UINT taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");

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
    // The common controls are initialised by the first dialog or sheet that opens, not
    // here: the tray icon comes sooner and the idle launcher stays smaller.
    CWinApp::InitInstance();

    auto* frame = new CMainFrame;  // deletes itself when its window is destroyed
    m_pMainWnd = frame;
    // The frame's own pre-creation makes it a caption-only window that is never shown.
    if (!frame->LoadFrame(IDR_MAINFRAME, WS_OVERLAPPEDWINDOW))
        return false;  // the frame is gone with its window
    ::ShowWindow(frame->m_hWnd, SW_HIDE);

    LoadHostSessions(m_pHostSessions);
    LoadGuestSessions(m_pGuestSessions);
    return true;
}
