#include "setup/tab_sheet.h"

namespace {

constexpr int kApplyNowButton = 12321;
constexpr int kHelpButton = 9;
constexpr int kStandardButtons[] = {kApplyNowButton, kHelpButton, IDOK, IDCANCEL};

} // namespace

CTabSheet::CTabSheet() : CPropertySheet("Kelvara - Connecting People, Anytime, Anywhere!") {}

void CTabSheet::OnInitDialog()
{
    for (int id : kStandardButtons)
        ::ShowWindow(GetDlgItem(static_cast<UINT>(id)), SW_HIDE);
}

// Every change is stored as it is made: Enter would only press a page's default button
// (Validate Account) or close the sheet.
bool CTabSheet::PreTranslateMessage(MSG& msg)
{
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN)
        return true;
    return CPropertySheet::PreTranslateMessage(msg);
}
