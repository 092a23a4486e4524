#include "setup/static_link.h"

#include "winfx/accessible.h"
#include "winfx/display_scale.h"

#include <oleacc.h>
#include <shellapi.h>

namespace {

constexpr int kMaxTipWidth = 120;  // at 96 DPI; long targets wrap

} // namespace

const MessageMap CStaticLink::messageMap{&CStatic::messageMap, {
    ReflectedCommandEntry<STN_CLICKED, &CStaticLink::OnLinkClicked>,
    ReflectedMessageEntry<WM_CTLCOLORSTATIC, &CStaticLink::OnLinkColor>,
    MessageEntry<WM_SETCURSOR, &CStaticLink::OnLinkSetCursor>,
    MessageEntry<WM_GETDLGCODE, &CStaticLink::OnLinkGetDlgCode>,
    MessageEntry<WM_KEYDOWN, &CStaticLink::OnLinkKeyDown>,
    MessageEntry<WM_SETFOCUS, &CStaticLink::OnLinkSetFocus>,
    MessageEntry<WM_KILLFOCUS, &CStaticLink::OnLinkFocusChange>,
    MessageEntry<WM_UPDATEUISTATE, &CStaticLink::OnLinkFocusChange>,
    MessageEntry<WM_PAINT, &CStaticLink::OnLinkPaint>,
    MessageEntry<WM_GETOBJECT, &CStaticLink::OnLinkGetObject>,
}};

void CStaticLink::SetUrl(const std::string& url)
{
    m_url = url;
    m_tooltip.UpdateTipText(this, m_url);
}

void CStaticLink::PreSubclassWindow()
{
    m_tooltip.Create(this);
    m_tooltip.Activate(true);
    m_tooltip.AddTool(this, m_url);
    m_tooltip.SetMaxTipWidth(ScaleToDisplay(kMaxTipWidth));
}

bool CStaticLink::PreTranslateMessage(MSG& msg)
{
    if (m_tooltip.m_hWnd)
        m_tooltip.RelayEvent(msg);
    return CStatic::PreTranslateMessage(msg);
}

HBRUSH CStaticLink::OnLinkColor(HDC dc, UINT)
{
    // A static reports clicks only with the notify style, which the template leaves out.
    const LONG style = ::GetWindowLongA(m_hWnd, GWL_STYLE);
    if (!(style & SS_NOTIFY))
        ::SetWindowLongA(m_hWnd, GWL_STYLE, style | SS_NOTIFY);
    if ((style & 0xFF) > SS_RIGHT)
        return nullptr;  // not a text static

    if (!m_underlineFont.GetSafeHandle()) {
        LOGFONTA description{};
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0));
        ::GetObjectA(font ? font : ::GetStockObject(DEFAULT_GUI_FONT), sizeof description,
                     &description);
        description.lfUnderline = TRUE;
        m_underlineFont.CreateFontIndirect(description);
    }
    ::SelectObject(dc, m_underlineFont.GetSafeHandle());
    ::SetTextColor(dc, TextColor());
    ::SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

bool CStaticLink::OnLinkSetCursor(HWND, UINT, UINT)
{
    if (!m_cursor)
        return Default() != 0;
    ::SetCursor(m_cursor);
    return true;
}

// A failed open only beeps: the link stays unvisited.
void CStaticLink::OnLinkClicked()
{
    const HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    if (m_url.empty())
        m_url = GetWindowText();
    const auto result = reinterpret_cast<INT_PTR>(
        ::ShellExecuteA(nullptr, "open", m_url.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (result <= 32) {
        ::MessageBeep(MB_OK);
    } else {
        m_visited = true;
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    ::SetCursor(previous);
}

// A high-contrast scheme chooses the colours the user can read; the link's own blue might
// vanish on its background.
COLORREF CStaticLink::TextColor() const
{
    HIGHCONTRASTA contrast{};
    contrast.cbSize = sizeof contrast;
    if (::SystemParametersInfoA(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
        (contrast.dwFlags & HCF_HIGHCONTRASTON))
        return ::GetSysColor(COLOR_HOTLIGHT);
    return m_visited ? m_visitedColor : m_unvisitedColor;
}

// Enter comes to the link itself rather than pressing the dialog's default button.
LRESULT CStaticLink::OnLinkGetDlgCode(WPARAM, LPARAM message)
{
    return DlgCodeTakingEnter(message);
}

LRESULT CStaticLink::OnLinkKeyDown(WPARAM key, LPARAM flags)
{
    const bool repeated = (flags & (1 << 30)) != 0;
    if ((key == VK_RETURN || key == VK_SPACE) && !repeated) {
        OnLinkClicked();
        return 0;
    }
    return Default();
}

// The static draws no focus of its own: repaint so that OnLinkPaint adds or removes it.
LRESULT CStaticLink::OnLinkFocusChange(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return result;
}

void CStaticLink::OnLinkSetFocus(HWND)
{
    OnLinkFocusChange(0, 0);
}

// The static paints itself into this paint's device context, then the focus goes around the
// text, as a button draws it around its caption.
void CStaticLink::OnLinkPaint()
{
    PAINTSTRUCT paint{};
    const HDC dc = ::BeginPaint(m_hWnd, &paint);
    if (!dc)
        return;
    ::SendMessageA(m_hWnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
    const bool focusHidden = (::SendMessageA(m_hWnd, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS) != 0;
    if (::GetFocus() == m_hWnd && !focusHidden) {
        const std::string text = GetWindowText();
        RECT client{};
        ::GetClientRect(m_hWnd, &client);
        RECT focus = client;
        // The colouring above selected the link's font into the context.
        ::DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &focus, DT_CALCRECT | DT_NOPREFIX);
        ::IntersectRect(&focus, &focus, &client);
        ::DrawFocusRect(dc, &focus);
    }
    ::EndPaint(m_hWnd, &paint);
}

// A link, named by its text, whose default action is the click's.
LRESULT CStaticLink::OnLinkGetObject(WPARAM flags, LPARAM objectId)
{
    AccessibleDescription link;
    link.name = GetWindowText();
    link.role = ROLE_SYSTEM_LINK;
    link.addedState = STATE_SYSTEM_LINKED | STATE_SYSTEM_FOCUSABLE;
    link.defaultAction = "Jump";
    link.actionWindow = ::GetParent(m_hWnd);
    link.actionMessage = WM_COMMAND;
    link.actionWParam = MAKEWPARAM(::GetDlgCtrlID(m_hWnd), STN_CLICKED);
    link.actionLParam = reinterpret_cast<LPARAM>(m_hWnd);
    if (const LRESULT answer = AnswerGetObject(m_hWnd, flags, objectId, link))
        return answer;
    return Default();
}
