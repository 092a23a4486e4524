// The minimal tray program that also shows the launcher's guest dialog and Setup sheet:
// the same templates from the same resources, the common controls loaded as the launcher
// loads them, with their first window. Nothing is filled in, read or stored.
#include "baseline_tray.h"

#include "res/resource.h"
#include "winfx/common_controls.h"

#include <iterator>

namespace {

INT_PTR CALLBACK GuestDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    }
    return message == WM_INITDIALOG;
}

INT_PTR CALLBACK PageProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// As the launcher opens it without an account: Login Info first.
void ShowSheet(HWND owner, const CommonControlsApi& commonControls)
{
    PROPSHEETPAGEA pages[4]{};
    const UINT templates[] = {IDD_LOGIN_INFO, IDD_HOST_MEETINGS, IDD_GUEST_MEETINGS, IDD_ABOUT};
    for (std::size_t i = 0; i < std::size(pages); ++i) {
        pages[i].dwSize = sizeof pages[i];
        pages[i].hInstance = ::GetModuleHandleA(nullptr);
        pages[i].pszTemplate = MAKEINTRESOURCEA(templates[i]);
        pages[i].pfnDlgProc = &PageProc;
    }
    PROPSHEETHEADERA header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_NOAPPLYNOW;
    header.hwndParent = owner;
    header.hInstance = ::GetModuleHandleA(nullptr);
    header.pszCaption = "Kelvara - Connecting People, Anytime, Anywhere!";
    header.nPages = static_cast<UINT>(std::size(pages));
    header.ppsp = pages;
    commonControls.PropertySheetA(&header);
}

void OnCommand(HWND window, UINT command)
{
    const CommonControlsApi* commonControls = CommonControls();
    if (!commonControls)
        return;
    if (command == ID_BE_GUEST)
        ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_ACCESS_CODE), window, &GuestDialogProc, 0);
    else if (command == ID_SETUP)
        ShowSheet(window, *commonControls);
}

const bool registered = (baselineCommandHandler = &OnCommand, true);

} // namespace
