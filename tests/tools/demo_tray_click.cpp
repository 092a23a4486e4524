// For the demo: imports the planned sessions through the launcher's hidden frame, then
// opens its tray menu at the notification area as the shell does on a right click, with
// the planned-session submenu open.
#include <windows.h>

#include <cstdio>

namespace {

constexpr UINT kImportPlanned = 11000;
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 10;

BOOL CALLBACK FindFrame(HWND hWnd, LPARAM lParam)
{
    char title[64] = {};
    char kind[64] = {};
    ::GetWindowTextA(hWnd, title, sizeof title);
    ::GetClassNameA(hWnd, kind, sizeof kind);
    if (lstrcmpA(title, "kelvlaunch") != 0 || lstrcmpA(kind, "#32770") == 0)
        return TRUE;
    *reinterpret_cast<HWND*>(lParam) = hWnd;
    return FALSE;
}

} // namespace

int main(int argc, char** argv)
{
    const UINT iconId = argc > 1 ? static_cast<UINT>(std::atoi(argv[1])) : 142;
    HWND frame = nullptr;
    for (int tries = 0; !frame && tries < 100; ++tries) {
        ::EnumWindows(&FindFrame, reinterpret_cast<LPARAM>(&frame));
        if (!frame)
            ::Sleep(100);
    }
    if (!frame) {
        std::fprintf(stderr, "demo_tray_click: no launcher frame\n");
        return 1;
    }
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(frame, WM_COMMAND, kImportPlanned, 0, SMTO_NORMAL, 30000, &result);

    // The menu opens at the cursor: put it on the notification area, as a click there would.
    RECT area{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    ::SetCursorPos(area.right - 30, area.bottom - 4);
    ::PostMessageA(frame, WM_TRAY_NOTIFY, iconId, WM_RBUTTONUP);

    // Once the menu shows, its access key opens the planned sessions.
    for (int tries = 0; tries < 100 && !::IsWindowVisible(::FindWindowA("#32768", nullptr)); ++tries)
        ::Sleep(100);
    ::PostThreadMessageA(::GetWindowThreadProcessId(frame, nullptr), WM_CHAR, 'j', 1);
    return 0;
}
