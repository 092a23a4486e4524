#include "control_window.h"

#include "module.h"
#include "scoped_win.h"

namespace {

constexpr char kClassName[] = "VerprobeControlWindow";
constexpr char kText[] = "ATL 7.0";

void Paint(HWND window, HDC dc)
{
    RECT bounds;
    ::GetClientRect(window, &bounds);
    const int saved = ::SaveDC(dc);
    ::SetTextAlign(dc, TA_CENTER | TA_BASELINE);
    ::TextOutA(dc, (bounds.left + bounds.right) / 2, (bounds.top + bounds.bottom) / 2, kText, sizeof kText - 1);
    ::RestoreDC(dc, saved);
}

LRESULT CALLBACK ControlWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        if (HDC dc = ::BeginPaint(window, &paint)) {
            Paint(window, dc);
            ::EndPaint(window, &paint);
        }
        return 0;
    }
    case WM_PRINTCLIENT:
        Paint(window, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return ::DefWindowProcA(window, message, wParam, lParam);
    }
}

bool EnsureClassRegistered()
{
    WNDCLASSA existing;
    if (::GetClassInfoA(module::Instance(), kClassName, &existing))
        return true;
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = ControlWindowProc;
    windowClass.hInstance = module::Instance();
    windowClass.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassA(&windowClass) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

} // namespace

HWND CreateControlWindow(HWND parent, const RECT& position, const RECT& clip)
{
    if (!EnsureClassRegistered())
        return nullptr;
    HWND window = ::CreateWindowExA(0, kClassName, "", WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, position.left,
                                    position.top, position.right - position.left, position.bottom - position.top,
                                    parent, nullptr, module::Instance(), nullptr);
    if (window) {
        PlaceControlWindow(window, position, clip);
        ::ShowWindow(window, SW_SHOWNA);
    }
    return window;
}

void PlaceControlWindow(HWND window, const RECT& position, const RECT& clip)
{
    ::MoveWindow(window, position.left, position.top, position.right - position.left,
                 position.bottom - position.top, TRUE);
    // Only the part inside the container's clip rectangle may show.
    RECT visible;
    if (!::IntersectRect(&visible, &position, &clip))
        ::SetRectEmpty(&visible);
    if (::EqualRect(&visible, &position)) {
        ::SetWindowRgn(window, nullptr, TRUE);
        return;
    }
    ::OffsetRect(&visible, -position.left, -position.top);
    scoped::GdiObject region(::CreateRectRgnIndirect(&visible));
    if (region && ::SetWindowRgn(window, static_cast<HRGN>(region.get()), TRUE))
        region.release();   // the window owns it now
}

void UnregisterControlWindowClass()
{
    ::UnregisterClassA(kClassName, module::Instance());
}
