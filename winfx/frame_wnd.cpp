#include "winfx/frame_wnd.h"

#include "winfx/win_app.h"

bool CFrameWnd::LoadFrame(UINT resourceId, DWORD style, CWnd* parent)
{
    m_resourceId = resourceId;
    CWinApp* app = CWinApp::GetApp();
    return CreateEx(0, nullptr, app ? app->GetTitle().c_str() : "", style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, parent ? parent->m_hWnd : nullptr,
                    nullptr);
}

bool CFrameWnd::OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery)
{
    if (CWnd* view = GetView(); view && view->OnCmdMsg(id, code, extra, handlerQuery))
        return true;
    if (CWnd::OnCmdMsg(id, code, extra, handlerQuery))
        return true;
    CWinApp* app = CWinApp::GetApp();
    return app && app->OnCmdMsg(id, code, extra, handlerQuery);
}

bool CFrameWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass) {
        const HICON icon = ::LoadIconA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_resourceId));
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                        ::LoadCursorA(nullptr, IDC_ARROW),
                                        reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), icon);
    }
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    return true;
}

void CFrameWnd::PostNcDestroy()
{
    delete this;
}

CWnd* CFrameWnd::GetView()
{
    return nullptr;
}

void CFrameWnd::OnSetFocus(HWND)
{
    CWnd* view = GetView();
    if (view && view->m_hWnd)
        ::SetFocus(view->m_hWnd);
    else
        Default();
}

const MessageMap CFrameWnd::messageMap{&CWnd::messageMap, {
    MessageEntry<WM_SETFOCUS, &CFrameWnd::OnSetFocus>,
}};

const MessageMap& CFrameWnd::GetMessageMap() const
{
    return messageMap;
}
