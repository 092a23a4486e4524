#include "winfx/property_sheet.h"

#include "winfx/common_controls.h"

INT_PTR CALLBACK CPropertyPage::PageDialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    // The sheet passes its copy of the page's description; ours is in its lParam.
    auto* page = reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEA*>(lParam)->lParam);
    if (!page || !page->SubclassWindow(hWnd))
        return TRUE;
    return page->OnInitDialog() ? TRUE : FALSE;
}

CPropertySheet::~CPropertySheet()
{
    DestroyWindow();
}

bool CPropertySheet::DoModal()
{
    const CommonControlsApi* commonControls = CommonControlsForWindow();  // the pages may hold them
    if (!commonControls)
        return true;
    std::vector<PROPSHEETPAGEA> pages;
    for (CPropertyPage* page : m_pages) {
        PROPSHEETPAGEA description{};
        description.dwSize = sizeof description;
        description.dwFlags = PSP_DEFAULT;
        description.hInstance = ::GetModuleHandleA(nullptr);
        description.pszTemplate = MAKEINTRESOURCEA(page->m_nTemplateId);
        description.pfnDlgProc = &CPropertyPage::PageDialogProc;
        description.lParam = reinterpret_cast<LPARAM>(page);
        pages.push_back(description);
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = m_strCaption.c_str();
    header.nPages = static_cast<UINT>(pages.size());
    header.ppsp = pages.data();

    const HWND sheet = reinterpret_cast<HWND>(commonControls->PropertySheetA(&header));
    if (!sheet || !SubclassWindow(sheet)) {
        if (sheet)
            ::DestroyWindow(sheet);
        return true;
    }
    OnInitDialog();
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::SetForegroundWindow(m_hWnd);
    // Every page starts from the tab strip, as after a change of page: a control that took
    // the focus by itself could act on something the user never chose (a list selects its
    // first row as it gets the focus).
    ::SetFocus(PropSheet_GetTabControl(m_hWnd));

    const bool loopEnded = RunModalLoop();
    DestroyWindow();
    return loopEnded;
}

// Ctrl+Tab and Ctrl+PgUp/PgDn change the page inside the dialog manager's own handling.
bool CPropertySheet::PreTranslateMessage(MSG& msg)
{
    if (!m_hWnd || !PropSheet_IsDialogMessage(m_hWnd, &msg))
        return false;
    KeepFocusVisible();
    return true;
}

const MessageMap CPropertySheet::messageMap{&CWnd::messageMap, {
    MessageEntry<PSM_SETCURSEL, &CPropertySheet::OnSetCurSel>,
    MessageEntry<PSM_SETCURSELID, &CPropertySheet::OnSetCurSel>,
}};

LRESULT CPropertySheet::OnSetCurSel(WPARAM, LPARAM)
{
    const LRESULT result = Default();
    KeepFocusVisible();
    return result;
}

// The sheet changes pages without moving the focus. Left on a hidden control, it would make
// Tab walk the hidden page, and the dialog manager's search for a typed access key, which
// starts there and walks only visible windows, would never end.
void CPropertySheet::KeepFocusVisible() const
{
    const HWND focus = ::GetFocus();
    if (m_hWnd && focus && ::IsChild(m_hWnd, focus) && !::IsWindowVisible(focus))
        ::SetFocus(PropSheet_GetTabControl(m_hWnd));
}

// A modeless sheet closed by the user keeps its window but has no current page any more.
bool CPropertySheet::ContinueModal()
{
    return m_hWnd && PropSheet_GetCurrentPageHwnd(m_hWnd) != nullptr;
}
