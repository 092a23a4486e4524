#include "setup/tab_sheet.h"

#include "winfx/access_key.h"

#include <commctrl.h>

namespace {

constexpr int kApplyNowButton = 12321;
constexpr int kHelpButton = 9;
constexpr int kStandardButtons[] = {kApplyNowButton, kHelpButton, IDOK, IDCANCEL};

// What Enter does on the focused control: a button is pressed, a control that asks for
// the key (a list, the link) gets it, and anything else (an edit) ignores it.
enum class EnterAction { Press, Deliver, Drop };

EnterAction EnterActionFor(MSG& msg)
{
    const auto code = ::SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg));
    if (code & (DLGC_WANTMESSAGE | DLGC_WANTALLKEYS))
        return EnterAction::Deliver;
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        return EnterAction::Press;
    return EnterAction::Drop;
}

} // namespace

CTabSheet::CTabSheet() : CPropertySheet("Kelvara - Connecting People, Anytime, Anywhere!") {}

void CTabSheet::OnInitDialog()
{
    for (int id : kStandardButtons)
        ::ShowWindow(GetDlgItem(static_cast<UINT>(id)), SW_HIDE);
}

// Every change is stored as it is made: Enter must never press a page's default button
// (Validate Account) from elsewhere, nor close the sheet.
bool CTabSheet::PreTranslateMessage(MSG& msg)
{
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN) {
        switch (EnterActionFor(msg)) {
        case EnterAction::Deliver:
            break;
        case EnterAction::Press:
            // The button's handler may run a dialog, and Exit with it: nothing after this.
            ::SendMessageA(msg.hwnd, BM_CLICK, 0, 0);
            return true;
        case EnterAction::Drop:
            return true;
        }
    }
    if (msg.message == WM_SYSCHAR && SelectPageByAccessKey(msg.wParam))
        return true;
    return CPropertySheet::PreTranslateMessage(msg);
}

bool CTabSheet::SelectPageByAccessKey(WPARAM character)
{
    const HWND tabs = PropSheet_GetTabControl(m_hWnd);
    const int count = TabCtrl_GetItemCount(tabs);
    for (int index = 0; index < count; ++index) {
        char text[128] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (::SendMessageA(tabs, TCM_GETITEMA, index, reinterpret_cast<LPARAM>(&item)) &&
            IsAccessKey(text, character)) {
            PropSheet_SetCurSel(m_hWnd, nullptr, index);
            ::SetFocus(tabs);
            return true;
        }
    }
    return false;
}
