#include "app/child_view.h"

const MessageMap CChildView::messageMap{&CWnd::messageMap, {
    MessageEntry<WM_PAINT, &CChildView::OnPaint>,
}};

bool CChildView::PreCreateWindow(CREATESTRUCTA& cs)
{
    cs.dwExStyle |= WS_EX_CLIENTEDGE;
    cs.style &= ~WS_BORDER;
    cs.lpszClass = RegisterWndClass(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS,
                                    ::LoadCursorA(nullptr, IDC_ARROW),
                                    reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    return true;
}

// Paints nothing, but validates the window so that WM_PAINT stops coming.
void CChildView::OnPaint()
{
    PAINTSTRUCT paint;
    ::BeginPaint(m_hWnd, &paint);
    ::EndPaint(m_hWnd, &paint);
}
