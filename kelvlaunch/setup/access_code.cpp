#include "setup/access_code.h"

#include "res/resource.h"

CAccessCode::CAccessCode(CWnd* parent) : CDialog(IDD_ACCESS_CODE, parent) {}

bool CAccessCode::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Opened from the tray, whose owner is never shown: it must come up in front, or the
    // user would type into whatever window had the focus.
    ::SetForegroundWindow(m_hWnd);
    return true;  // the focus goes to the edit, the first control
}

// The code is taken as typed: not trimmed, and an empty one is accepted.
void CAccessCode::OnOK()
{
    m_strAccessCode = GetDlgItemText(IDC_ACCESS_CODE);
    CDialog::OnOK();
}
