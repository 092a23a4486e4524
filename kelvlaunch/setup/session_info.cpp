#include "setup/session_info.h"

#include "res/resource.h"

const MessageMap CSessionInfo::messageMap{&CDialog::messageMap, {
    CommandEntry<IDC_SESSION_DESCRIPTION, &CSessionInfo::OnChangeDescription, EN_CHANGE>,
    CommandEntry<IDC_SESSION_ACCESS_CODE, &CSessionInfo::OnChangeAccessCode, EN_CHANGE>,
}};

CSessionInfo::CSessionInfo(CWnd* parent) : CDialog(IDD_SESSION_INFO, parent) {}

void CSessionInfo::SetSession(std::string description, std::string accessCode)
{
    m_strDescription = std::move(description);
    m_strAccessCode = std::move(accessCode);
}

// The caret starts in Description; the texts' change notifications copy them straight back.
// The texts go in before the focus: activating the dialog can wait on other programs and so
// let their messages (a typed text) in, which the presets must not overwrite.
bool CSessionInfo::OnInitDialog()
{
    CDialog::OnInitDialog();
    const std::string description = m_strDescription;
    const std::string accessCode = m_strAccessCode;
    SetDlgItemText(IDC_SESSION_DESCRIPTION, description);
    SetDlgItemText(IDC_SESSION_ACCESS_CODE, accessCode);
    ::SetFocus(GetDlgItem(IDC_SESSION_DESCRIPTION));
    return false;
}

void CSessionInfo::OnChangeDescription()
{
    m_strDescription = GetDlgItemText(IDC_SESSION_DESCRIPTION);
}

void CSessionInfo::OnChangeAccessCode()
{
    m_strAccessCode = GetDlgItemText(IDC_SESSION_ACCESS_CODE);
}
