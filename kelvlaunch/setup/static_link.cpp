#include "setup/static_link.h"

#include "winfx/display_scale.h"

#include <shellapi.h>

namespace {

constexpr int kMaxTipWidth = 120;  // at 96 DPI; long targets wrap

} // namespace

const MessageMap CStaticLink::messageMap{&CStatic::messageMap, {
    ReflectedCommandEntry<STN_CLICKED, &CStaticLink::OnLinkClicked>,
    ReflectedMessageEntry<WM_CTLCOLORSTATIC, &CStaticLink::OnLinkColor>,
    MessageEntry<WM_SETCURSOR, &CStaticLink::OnLinkSetCursor>,
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
    ::SetTextColor(dc, m_visited ? m_visitedColor : m_unvisitedColor);
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
