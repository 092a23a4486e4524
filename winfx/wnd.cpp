#include "winfx/wnd.h"

#include "winfx/win_app.h"

#include <set>
#include <string>
#include <unordered_map>
#include <utility>

namespace {

std::unordered_map<HWND, CWnd*>& HandleMap()
{
    static std::unordered_map<HWND, CWnd*> map;
    return map;
}

std::string TextOf(HWND hWnd)
{
    if (!hWnd)
        return {};
    const auto length = ::SendMessageA(hWnd, WM_GETTEXTLENGTH, 0, 0);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const auto copied =
        ::SendMessageA(hWnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

void SetTextOf(HWND hWnd, const std::string& text)
{
    if (hWnd)
        ::SendMessageA(hWnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

} // namespace

// Holds a window object for the length of one of its messages or its creation; the last
// to end after the window was destroyed calls PostNcDestroy, which may delete the object.
class CWnd::Handling {
public:
    explicit Handling(CWnd& wnd) : m_wnd(wnd) { ++m_wnd.m_nHandling; }
    ~Handling()
    {
        if (--m_wnd.m_nHandling == 0 && m_wnd.m_bWindowGone) {
            m_wnd.m_bWindowGone = false;
            m_wnd.PostNcDestroy();
        }
    }
    Handling(const Handling&) = delete;
    Handling& operator=(const Handling&) = delete;

private:
    CWnd& m_wnd;
};

CWnd::~CWnd()
{
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    const auto found = HandleMap().find(hWnd);
    return found == HandleMap().end() ? nullptr : found->second;
}

bool CWnd::WalkPreTranslateTree(MSG& msg)
{
    for (HWND hWnd = msg.hwnd; hWnd; hWnd = ::GetParent(hWnd)) {
        if (CWnd* wnd = FromHandle(hWnd); wnd && wnd->PreTranslateMessage(msg))
            return true;
        if (!(::GetWindowLongA(hWnd, GWL_STYLE) & WS_CHILD))
            break;  // GetParent of a top-level window is its owner, not part of the chain
    }
    return false;
}

bool CWnd::CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                    int width, int height, HWND parent, HMENU menuOrId)
{
    CREATESTRUCTA cs{};
    cs.dwExStyle = exStyle;
    cs.lpszClass = className;
    cs.lpszName = windowName;
    cs.style = static_cast<LONG>(style);
    cs.x = x;
    cs.y = y;
    cs.cx = width;
    cs.cy = height;
    cs.hwndParent = parent;
    cs.hMenu = menuOrId;
    cs.hInstance = ::GetModuleHandleA(nullptr);
    cs.lpCreateParams = this;
    bool created = false;
    {
        // Every failure, whether before WM_NCCREATE or after it, ends in one PostNcDestroy
        // when this scope closes; nothing after it touches the object on failure.
        Handling creation(*this);
        if (PreCreateWindow(cs)) {
            const HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName,
                                                static_cast<DWORD>(cs.style), cs.x, cs.y, cs.cx,
                                                cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance, this);
            // A window of a class registered elsewhere (a control) never saw our WM_NCCREATE.
            created = hWnd && (m_hWnd == hWnd || SubclassWindow(hWnd));
            if (hWnd && !created)
                ::DestroyWindow(hWnd);
        }
        if (!created && !m_bWindowGone)
            ForgetWindow();
    }
    return created;
}

bool CWnd::Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                  UINT id)
{
    return CreateEx(0, className, windowName, style | WS_CHILD, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, parent ? parent->m_hWnd : nullptr,
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)));
}

bool CWnd::DestroyWindow()
{
    return m_hWnd && ::DestroyWindow(m_hWnd);
}

bool CWnd::SubclassWindow(HWND hWnd)
{
    if (m_hWnd || !hWnd || FromHandle(hWnd))
        return false;
    Attach(hWnd);
    PreSubclassWindow();
    m_superWindowProc = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(
        hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CWnd::StaticWindowProc)));
    if (!m_superWindowProc) {
        Detach();
        return false;
    }
    return true;
}

bool CWnd::SubclassDlgItem(UINT id, CWnd* parent)
{
    return parent && SubclassWindow(::GetDlgItem(parent->m_hWnd, static_cast<int>(id)));
}

HWND CWnd::UnsubclassWindow()
{
    const HWND hWnd = m_hWnd;
    if (hWnd && m_superWindowProc) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_superWindowProc));
        Detach();
    }
    return hWnd;
}

bool CWnd::PreTranslateMessage(MSG&)
{
    return false;
}

std::string CWnd::GetWindowText() const
{
    return TextOf(m_hWnd);
}

void CWnd::SetWindowText(const std::string& text) const
{
    SetTextOf(m_hWnd, text);
}

HWND CWnd::GetDlgItem(UINT id) const
{
    return m_hWnd ? ::GetDlgItem(m_hWnd, static_cast<int>(id)) : nullptr;
}

std::string CWnd::GetDlgItemText(UINT id) const
{
    return TextOf(GetDlgItem(id));
}

void CWnd::SetDlgItemText(UINT id, const std::string& text) const
{
    SetTextOf(GetDlgItem(id), text);
}

bool CWnd::RunModalLoop()
{
    MSG msg{};
    while (ContinueModal()) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        if (got == -1)
            return false;
        if (!WalkPreTranslateTree(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return true;
}

bool CWnd::ContinueModal()
{
    return false;
}

bool CWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = RegisterWndClass(CS_DBLCLKS, ::LoadCursorA(nullptr, IDC_ARROW));
    return true;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (LRESULT reflected = 0; ReflectNotification(message, wParam, lParam, reflected))
        return reflected;
    if (message == WM_COMMAND && OnCmdMsg(LOWORD(wParam), HIWORD(wParam), nullptr, nullptr))
        return 0;
    if (const MessageMapEntry* entry = GetMessageMap().FindMessage(message))
        return entry->call(*this, wParam, lParam);
    return DefWindowProc(message, wParam, lParam);
}

bool CWnd::ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    const bool fromControl =
        message == WM_CTLCOLORSTATIC || (message == WM_COMMAND && lParam != 0);
    CWnd* control = fromControl ? FromHandle(reinterpret_cast<HWND>(lParam)) : nullptr;
    if (!control)
        return false;
    const UINT code = message == WM_COMMAND ? HIWORD(wParam) : 0;
    const MessageMapEntry* entry = control->GetMessageMap().FindReflected(message, code);
    if (!entry)
        return false;
    result = entry->call(*control, wParam, lParam);
    // A colouring handler that gives no brush leaves the colours to the parent.
    return message == WM_COMMAND || result != 0;
}

void CWnd::PostNcDestroy() {}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_superWindowProc)
        return ::CallWindowProcA(m_superWindowProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    if (!m_pCurrentMessage)
        return 0;
    return DefWindowProc(m_pCurrentMessage->message, m_pCurrentMessage->wParam,
                         m_pCurrentMessage->lParam);
}

LRESULT CWnd::DlgCodeTakingEnter(LPARAM message)
{
    LRESULT code = Default();
    const auto* msg = reinterpret_cast<const MSG*>(message);
    if (msg && msg->message == WM_KEYDOWN && msg->wParam == VK_RETURN)
        code |= DLGC_WANTMESSAGE;
    return code;
}

int CWnd::OnCreate(CREATESTRUCTA&)
{
    return static_cast<int>(Default());
}

LPCSTR CWnd::RegisterWndClass(UINT classStyle, HCURSOR cursor, HBRUSH background, HICON icon)
{
    // The names of the classes registered so far; CreateWindowEx takes them by pointer.
    static std::set<std::string> registered;

    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    // wsprintfA (at most 1024 bytes, ample here) keeps the C runtime's printf and its
    // floating-point formatting out of the program.
    char name[96];
    ::wsprintfA(name, "Winfx:%p:%x:%p:%p:%p", static_cast<void*>(instance), classStyle,
                static_cast<void*>(cursor), static_cast<void*>(background),
                static_cast<void*>(icon));
    const auto [entry, added] = registered.insert(name);
    if (added) {
        WNDCLASSA wc{};
        wc.style = classStyle;
        wc.lpfnWndProc = &CWnd::StaticWindowProc;
        wc.hInstance = instance;
        wc.hIcon = icon;
        wc.hCursor = cursor;
        wc.hbrBackground = background;
        wc.lpszClassName = entry->c_str();
        if (!::RegisterClassA(&wc)) {
            registered.erase(entry);
            return nullptr;
        }
    }
    return entry->c_str();
}

const MessageMap CWnd::messageMap{&CCmdTarget::messageMap, {}};

const MessageMap& CWnd::GetMessageMap() const
{
    return messageMap;
}

LRESULT CALLBACK CWnd::StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* wnd = FromHandle(hWnd);
    if (!wnd && message == WM_NCCREATE) {
        wnd = static_cast<CWnd*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        if (wnd)
            wnd->Attach(hWnd);
    }
    if (!wnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    const Handling handling(*wnd);
    const CurrentMessage current{message, wParam, lParam};
    const CurrentMessage* const outer = std::exchange(wnd->m_pCurrentMessage, &current);
    const LRESULT result = wnd->WindowProc(message, wParam, lParam);
    wnd->m_pCurrentMessage = outer;
    if (message == WM_NCDESTROY)
        wnd->ForgetWindow();
    return result;
}

// The window is gone: the object is detached at once, and the main window's end posts the
// program's quit now, so that loops nested in one of its handlers end.
void CWnd::ForgetWindow()
{
    if (m_hWnd)
        Detach();
    CWinApp* app = CWinApp::GetApp();
    if (app && app->m_pMainWnd == this) {
        app->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    m_bWindowGone = true;
}

void CWnd::Attach(HWND hWnd)
{
    m_hWnd = hWnd;
    HandleMap()[hWnd] = this;
}

void CWnd::Detach()
{
    HandleMap().erase(m_hWnd);
    m_hWnd = nullptr;
    m_superWindowProc = nullptr;
}
