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
bool CSessionInfo::OnInitDialog()
{
    CDialog::OnInitDialog();
    ::SetFocus(GetDlgItem(IDC_SESSION_DESCRIPTION));
    const std::string description = m_strDescription;
    const std::string accessCode = m_strAccessCode;
    SetDlgItemText(IDC_SESSION_DESCRIPTION, description);
    SetDlgItemText(IDC_SESSION_ACCESS_CODE, accessCode);
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
