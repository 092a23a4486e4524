#include "winfx/controls.h"

#include "winfx/common_controls.h"

int CListCtrl::GetItemCount() const
{
    return ListView_GetItemCount(m_hWnd);
}

int CListCtrl::GetSelectedCount() const
{
    return static_cast<int>(ListView_GetSelectedCount(m_hWnd));
}

int CListCtrl::GetNextSelectedItem(int after) const
{
    return ListView_GetNextItem(m_hWnd, after, LVNI_SELECTED);
}

bool CListCtrl::IsSelected(int item) const
{
    return ListView_GetItemState(m_hWnd, item, LVIS_SELECTED) != 0;
}

void CListCtrl::SetSelected(int item, bool selected) const
{
    ListView_SetItemState(m_hWnd, item, selected ? LVIS_SELECTED : 0, LVIS_SELECTED);
}

void CListCtrl::SelectOnly(int item) const
{
    ListView_SetItemState(m_hWnd, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(m_hWnd, item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(m_hWnd, item, FALSE);
}

int CListCtrl::InsertColumn(int column, const char* heading, int format, int width) const
{
    LVCOLUMNA description{};
    description.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    description.fmt = format;
    description.cx = width;
    description.pszText = const_cast<char*>(heading);
    description.iSubItem = column;
    return static_cast<int>(::SendMessageA(m_hWnd, LVM_INSERTCOLUMNA, column,
                                           reinterpret_cast<LPARAM>(&description)));
}

int CListCtrl::InsertItem(int item, const std::string& text) const
{
    LVITEMA description{};
    description.mask = LVIF_TEXT;
    description.iItem = item;
    description.pszText = const_cast<char*>(text.c_str());
    return static_cast<int>(
        ::SendMessageA(m_hWnd, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&description)));
}

void CListCtrl::SetItemText(int item, int column, const std::string& text) const
{
    LVITEMA description{};
    description.iSubItem = column;
    description.pszText = const_cast<char*>(text.c_str());
    ::SendMessageA(m_hWnd, LVM_SETITEMTEXTA, item, reinterpret_cast<LPARAM>(&description));
}

void CListCtrl::DeleteItem(int item) const
{
    ListView_DeleteItem(m_hWnd, item);
}

void CListCtrl::DeleteAllItems() const
{
    ListView_DeleteAllItems(m_hWnd);
}

bool CToolTipCtrl::Create(CWnd* parent, DWORD style)
{
    if (!parent || !CommonControls())
        return false;
    return CreateEx(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, parent->m_hWnd, nullptr);
}

void CToolTipCtrl::Activate(bool active) const
{
    ::SendMessageA(m_hWnd, TTM_ACTIVATE, active, 0);
}

namespace {

TTTOOLINFOA WholeWindowTool(CWnd* tool, const std::string& text)
{
    TTTOOLINFOA info{};
    // Version 5 of the common controls refuses the record's later, larger form.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(tool->m_hWnd);
    info.uId = reinterpret_cast<UINT_PTR>(tool->m_hWnd);
    info.lpszText = const_cast<char*>(text.c_str());
    return info;
}

} // namespace

void CToolTipCtrl::AddTool(CWnd* tool, const std::string& text) const
{
    TTTOOLINFOA info = WholeWindowTool(tool, text);
    ::SendMessageA(m_hWnd, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::UpdateTipText(CWnd* tool, const std::string& text) const
{
    TTTOOLINFOA info = WholeWindowTool(tool, text);
    ::SendMessageA(m_hWnd, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::SetMaxTipWidth(int width) const
{
    ::SendMessageA(m_hWnd, TTM_SETMAXTIPWIDTH, 0, width);
}

void CToolTipCtrl::RelayEvent(MSG& msg) const
{
    ::SendMessageA(m_hWnd, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}

bool CFont::CreateFontIndirect(const LOGFONTA& description)
{
    m_font.reset(::CreateFontIndirectA(&description));
    return static_cast<bool>(m_font);
}
