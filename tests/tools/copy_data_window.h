// A hidden window of a chosen class on a thread of its own, answering WM_COPYDATA through a
// handler, so that other programs can send to it while the test thread waits.
#pragma once

#include <windows.h>

#include <functional>
#include <thread>

class CopyDataWindow {
public:
    // Runs on the window's thread; its result is the reply to the sender.
    using Handler = std::function<LRESULT(const COPYDATASTRUCT& data)>;

    CopyDataWindow(const char* className, Handler handler);
    ~CopyDataWindow();
    CopyDataWindow(const CopyDataWindow&) = delete;
    CopyDataWindow& operator=(const CopyDataWindow&) = delete;

    HWND Handle() const { return m_hWnd; }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Run(const char* className, HANDLE ready);

    Handler m_handler;
    HWND m_hWnd = nullptr;
    std::thread m_thread;
};
