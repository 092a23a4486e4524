#include "tests/tools/copy_data_window.h"

#include "scoped_win.h"

CopyDataWindow::CopyDataWindow(const char* className, Handler handler) : m_handler(std::move(handler))
{
    const scoped::Kernel ready(::CreateEventA(nullptr, TRUE, FALSE, nullptr));
    m_thread = std::thread(&CopyDataWindow::Run, this, className, ready.get());
    ::WaitForSingleObject(ready.get(), INFINITE);
}

CopyDataWindow::~CopyDataWindow()
{
    if (m_hWnd)
        ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
    m_thread.join();
}

void CopyDataWindow::Run(const char* className, HANDLE ready)
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = &CopyDataWindow::WindowProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    ::RegisterClassA(&wc);  // fails harmlessly when an earlier window registered it
    m_hWnd = ::CreateWindowExA(0, className, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                               wc.hInstance, this);
    ::SetEvent(ready);
    if (!m_hWnd)
        return;
    MSG msg{};
    while (::GetMessageA(&msg, nullptr, 0, 0) > 0)
        ::DispatchMessageA(&msg);
}

LRESULT CALLBACK CopyDataWindow::WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(
            reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<CopyDataWindow*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (message == WM_COPYDATA && self)
        return self->m_handler(*reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    if (message == WM_DESTROY)
        ::PostQuitMessage(0);
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}
