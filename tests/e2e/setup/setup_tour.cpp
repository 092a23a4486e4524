// The demo tour's window part: opens the running launcher's Setup sheet as the tray menu
// does and saves a picture of each page and of the Session Information dialog, then one of
// the guest access-code dialog.
// Usage: setup_tour <picture folder>
#include "sheet_driver.h"

#include "tests/tools/window_driver.h"

#include <cctype>
#include <cstdio>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: setup_tour <picture folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    SeeWindowsInTheirOwnPixels();  // pictures of the whole window at any display scale
    const HWND frame = ::FindWindowA(nullptr, "kelvlaunch");
    DWORD processId = 0;
    if (!frame || !::GetWindowThreadProcessId(frame, &processId)) {
        std::fprintf(stderr, "the launcher is not running\n");
        return 1;
    }
    // The demo account's planned sessions fill the host list first (the tour runs in the
    // launcher's working directory, where the import writes it).
    ::DeleteFileA("sessions.xml");
    ::PostMessageA(frame, WM_COMMAND, 11000, 0);
    WaitUntil([] { return ::GetFileAttributesA("sessions.xml") != INVALID_FILE_ATTRIBUTES; }, 20000);
    ::PostMessageA(frame, WM_COMMAND, 32791, 0);
    const HWND sheet = WaitForVisibleWindow(processId, kSheetCaption);
    if (!sheet) {
        std::fprintf(stderr, "the Setup sheet did not open\n");
        return 1;
    }
    // Pictures named after the pages' titles: "Host Meetings" gives setup_host_meetings.bmp.
    HWND hostPage = nullptr;
    for (int index = 0; index < 4; ++index) {
        ShowPage(sheet, index);
        // The tabs are redrawn late after a change of page: have the whole sheet drawn now.
        ::RedrawWindow(sheet, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        const HWND page = CurrentPage(sheet);
        std::string name = "setup_";
        for (char c : CurrentPageTitle(sheet))
            name += c == ' ' ? '_' : static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (name == "setup_host_meetings")
            hostPage = page;
        SaveWindowPicture(sheet, folder + "\\" + name + ".bmp");
    }

    ShowPage(sheet, 0);
    Click(hostPage, 1009);
    const HWND dialog = WaitForVisibleWindow(processId, "Session Information");
    if (dialog) {
        SetText(::GetDlgItem(dialog, 1014), "Quarterly planning");
        SetText(::GetDlgItem(dialog, 1015), "4711004");
        SaveWindowPicture(dialog, folder + "\\setup_session_information.bmp");
        PressKey(::GetDlgItem(dialog, 1015), VK_ESCAPE);
        WaitUntilGone(dialog);
    }
    ::PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    if (!WaitUntilGone(sheet) || !dialog)
        return 1;

    ::PostMessageA(frame, WM_COMMAND, 32796, 0);  // "Be a Guest..."
    const HWND guest = WaitForVisibleWindow(processId, "Join a Session as a Guest");
    if (!guest) {
        std::fprintf(stderr, "the guest dialog did not open\n");
        return 1;
    }
    SetText(::GetDlgItem(guest, 1027), "4711004");
    SaveWindowPicture(guest, folder + "\\guest_dialog.bmp");
    PressKey(::GetDlgItem(guest, 1027), VK_ESCAPE);
    return WaitUntilGone(guest) ? 0 : 1;
}
