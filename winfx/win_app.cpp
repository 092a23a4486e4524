#include "winfx/win_app.h"

#include "winfx/wnd.h"

#include <shlwapi.h>

namespace {

CWinApp* theApplication = nullptr;

std::string ExecutableTitle()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    // The shell's path functions step over double-byte characters whose trail byte is '\'.
    char* name = ::PathFindFileNameA(path);
    ::PathRemoveExtensionA(name);
    return name;
}

} // namespace

CWinApp::CWinApp() : m_title(ExecutableTitle())
{
    theApplication = this;
}

CWinApp::~CWinApp()
{
    if (theApplication == this)
        theApplication = nullptr;
}

CWinApp* CWinApp::GetApp()
{
    return theApplication;
}

void CWinApp::ShowMessageBox(const std::string& text, UINT iconFlags, HWND owner) const
{
    // Owned by whatever window of ours is active (a dialog, the setup sheet), so that it is
    // modal to it.
    ::MessageBoxA(owner ? owner : ::GetActiveWindow(), text.c_str(), m_title.c_str(),
                  MB_OK | iconFlags);
}

bool CWinApp::InitInstance()
{
    return true;
}

int CWinApp::Run()
{
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0)
            return static_cast<int>(msg.wParam);
        if (got == -1)
            return -1;
        if (!CWnd::WalkPreTranslateTree(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}
