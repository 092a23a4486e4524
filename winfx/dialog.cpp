#include "winfx/dialog.h"

#include "winfx/common_controls.h"

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nTemplateId(templateId), m_pParentWnd(parent) {}

CDialog::~CDialog()
{
    // Destroyed here, while this is still a CDialog, rather than in ~CWnd.
    DestroyWindow();
}

INT_PTR CDialog::DoModal()
{
    HWND owner = m_pParentWnd && m_pParentWnd->m_hWnd
                     ? ::GetAncestor(m_pParentWnd->m_hWnd, GA_ROOT)
                     : nullptr;
    m_bEnded = false;
    m_nResult = IDCANCEL;
    if (!CommonControlsForWindow())  // the template may hold common controls
        return -1;
    const HWND dialog = ::CreateDialogParamA(::GetModuleHandleA(nullptr),
                                             MAKEINTRESOURCEA(m_nTemplateId), owner,
                                             &CDialog::DialogProc, reinterpret_cast<LPARAM>(this));
    if (!dialog || dialog != m_hWnd) {
        if (dialog)  // created, but not attached to this object
            ::DestroyWindow(dialog);
        return -1;
    }

    const bool disableOwner = owner && ::IsWindowEnabled(owner);
    if (disableOwner)
        ::EnableWindow(owner, FALSE);
    if (ContinueModal())
        ::ShowWindow(m_hWnd, SW_SHOW);

    const bool loopEnded = RunModalLoop();

    // The owner is enabled again before the dialog goes, so that activation returns to it.
    if (disableOwner && ::IsWindow(owner))
        ::EnableWindow(owner, TRUE);
    if (m_hWnd) {
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
        DestroyWindow();
    }
    return loopEnded && m_bEnded ? m_nResult : IDCANCEL;
}

void CDialog::EndDialog(INT_PTR result)
{
    m_nResult = result;
    m_bEnded = true;
}

bool CDialog::PreTranslateMessage(MSG& msg)
{
    // Keyboard navigation belongs to the top-level dialog; a child dialog (a property page)
    // leaves it to its parent.
    if (!m_hWnd || (::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD))
        return false;
    return ::IsDialogMessageA(m_hWnd, &msg);
}

bool CDialog::OnInitDialog()
{
    if (!(::GetWindowLongA(m_hWnd, GWL_STYLE) & WS_CHILD))
        CenterWindow();
    return true;
}

void CDialog::OnOK()
{
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

bool CDialog::ContinueModal()
{
    return m_hWnd && !m_bEnded;
}

void CDialog::CenterWindow()
{
    RECT area{};
    const HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) {
        ::GetWindowRect(owner, &area);
    } else {
        POINT cursor{};
        ::GetCursorPos(&cursor);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        ::GetMonitorInfoA(::MonitorFromPoint(cursor, MONITOR_DEFAULTTONEAREST), &monitor);
        area = monitor.rcWork;
    }
    RECT window{};
    ::GetWindowRect(m_hWnd, &window);
    const int width = window.right - window.left;
    const int height = window.bottom - window.top;
    ::SetWindowPos(m_hWnd, nullptr, area.left + (area.right - area.left - width) / 2,
                   area.top + (area.bottom - area.top - height) / 2, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

const MessageMap CDialog::messageMap{&CWnd::messageMap, {
    CommandEntry<IDOK, &CDialog::OnOK>,
    CommandEntry<IDCANCEL, &CDialog::OnCancel>,
}};

const MessageMap& CDialog::GetMessageMap() const
{
    return messageMap;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND hWnd, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* dialog = reinterpret_cast<CDialog*>(lParam);
    if (!dialog || !dialog->SubclassWindow(hWnd))
        return TRUE;
    return dialog->OnInitDialog() ? TRUE : FALSE;
}
