// The least a tray program can be: a hidden window and one notification-area icon,
// removed again on exit. The launcher's start, memory and idle rows are measured
// against it.
#include "baseline_tray.h"

#include <shellapi.h>

BaselineCommandHandler baselineCommandHandler = nullptr;

namespace {

constexpr UINT kIconId = 1;
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 10;

NOTIFYICONDATAA IconData(HWND hWnd)
{
    NOTIFYICONDATAA data{};
    data.cbSize = sizeof data;
    data.hWnd = hWnd;
    data.uID = kIconId;
    data.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = ::LoadIconA(nullptr, IDI_APPLICATION);
    lstrcpynA(data.szTip, "baseline", sizeof data.szTip);
    return data;
}

LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE: {
        NOTIFYICONDATAA data = IconData(hWnd);
        ::Shell_NotifyIconA(NIM_ADD, &data);
        return 0;
    }
    case WM_COMMAND:
        if (baselineCommandHandler)
            baselineCommandHandler(hWnd, LOWORD(wParam));
        return 0;
    case WM_DESTROY: {
        NOTIFYICONDATAA data = IconData(hWnd);
        ::Shell_NotifyIconA(NIM_DELETE, &data);
        ::PostQuitMessage(0);
        return 0;
    }
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = "BaselineTray";
    if (!::RegisterClassA(&windowClass)
        || !::CreateWindowA("BaselineTray", "baseline_tray", WS_CAPTION, 0, 0, 0, 0, nullptr, nullptr, instance, nullptr))
        return 1;
    MSG msg;
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
    return 0;
}
