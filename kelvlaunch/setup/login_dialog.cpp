#include "setup/login_dialog.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"
#include "setup/page_message.h"

namespace {

struct ValidationOutcome {
    int result;
    const char* text;
    UINT icon;
};

// A failed exchange (no answer) has already been reported by the service client.
constexpr ValidationOutcome kValidationOutcomes[] = {
    {kLoginAccepted, "Your login information was validated", MB_ICONINFORMATION},
    {kLoginRejected, "Invalid username or password", MB_ICONERROR},
    {kLoginNotAnswered, "Communications error", MB_ICONERROR},
};

} // namespace

const MessageMap CLoginDialog::messageMap{&CPropertyPage::messageMap, {
    CommandEntry<IDC_LOGIN_VALIDATE, &CLoginDialog::OnValidateAccount>,
    CommandEntry<IDC_LOGIN_CLEAR, &CLoginDialog::OnClear>,
}};

CLoginDialog::CLoginDialog() : CPropertyPage(IDD_LOGIN_INFO) {}

void CLoginDialog::SetAccount(std::string name, std::string email, std::string password)
{
    m_strName = std::move(name);
    m_strEmail = std::move(email);
    m_strPassword = std::move(password);
}

bool CLoginDialog::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    SetDlgItemText(IDC_LOGIN_NAME, m_strName);
    SetDlgItemText(IDC_LOGIN_EMAIL, m_strEmail);
    SetDlgItemText(IDC_LOGIN_PASSWORD, m_strPassword);
    return false;
}

// Blocks for the exchange; the service client stores the account only when it is accepted.
void CLoginDialog::OnValidateAccount()
{
    m_strName = GetDlgItemText(IDC_LOGIN_NAME);
    m_strEmail = GetDlgItemText(IDC_LOGIN_EMAIL);
    m_strPassword = GetDlgItemText(IDC_LOGIN_PASSWORD);
    const int result =
        KelvlaunchApp().GetSettings()->ValidateLogin(m_strName, m_strEmail, m_strPassword);
    for (const ValidationOutcome& outcome : kValidationOutcomes) {
        if (outcome.result == result)
            ShowPageMessage(*this, outcome.text, outcome.icon);
    }
}

// The members keep what they held: only the edits and the store are emptied.
void CLoginDialog::OnClear()
{
    KelvlaunchApp().GetSettings()->ClearAccount();
    for (UINT edit : {IDC_LOGIN_NAME, IDC_LOGIN_EMAIL, IDC_LOGIN_PASSWORD})
        SetDlgItemText(edit, "");
}
