// A stand-in for the shell's notification area: the window of class "Shell_TrayWnd" that
// Wine's Shell_NotifyIcon sends its requests to. It records each request and answers as
// the shell does: an add fails for an icon it already holds, a modify or delete for one it
// does not hold.
#pragma once

#include "tests/tools/copy_data_window.h"

#include <mutex>
#include <set>
#include <string>
#include <utility>
#include <vector>

struct TrayRequest {
    DWORD message;      // NIM_ADD, NIM_MODIFY, NIM_DELETE
    bool accepted;
    UINT window;        // the icon owner's handle, as the shell gets it (32 bits)
    UINT id;
    UINT flags;
    UINT callbackMessage;
    std::string tip;    // texts in the ANSI code page
    std::string info;
    std::string infoTitle;
    UINT timeout;
    DWORD infoFlags;
    UINT iconWidth;     // of the image sent with NIF_ICON, else 0
    UINT iconHeight;
};

class TrayStandIn {
public:
    // A stand-in that is not ready refuses every request, as when the program starts
    // before the shell; it takes icons from Open() on.
    explicit TrayStandIn(bool ready = true);
    void Open();

    std::vector<TrayRequest> Requests() const;
    bool WaitForRequests(std::size_t count, DWORD timeoutMs) const;
    bool Holds(HWND window, UINT id) const;
    // Where the notification area stands on the screen: a strip at the bottom right, as a
    // taskbar's. Its icons are somewhere in it.
    RECT Area() const;
    // A new taskbar holds no icon.
    void ForgetIcons();

private:
    LRESULT Record(const COPYDATASTRUCT& data);

    mutable std::mutex m_lock;
    std::vector<TrayRequest> m_requests;
    std::set<std::pair<UINT, UINT>> m_icons;
    bool m_ready;
    CopyDataWindow m_window;  // last: its thread uses the members above
};

// Sends the registered "TaskbarCreated" to every top-level window, as a new taskbar does.
void BroadcastTaskbarCreated();
// Sends the work-area change to every top-level window.
void BroadcastWorkAreaChange();
