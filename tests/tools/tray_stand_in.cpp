#include "tests/tools/tray_stand_in.h"

#include "tests/tools/window_driver.h"

#include <cstddef>

namespace {

// How Wine's shell32 hands a NOTIFYICONDATA to the tray window: one layout for 32- and
// 64-bit callers, texts in UTF-16, the icon's bitmap after the record.
struct WineNotifyData {
    LONG hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    WCHAR szTip[128];
    DWORD dwState;
    DWORD dwStateMask;
    WCHAR szInfo[256];
    UINT uTimeout;
    WCHAR szInfoTitle[64];
    DWORD dwInfoFlags;
    GUID guidItem;
    UINT iconWidth;   // the icon's bitmap: its size, then its bits
    UINT iconHeight;
};

std::string Ansi(const WCHAR* text, int capacity)
{
    int length = 0;
    while (length < capacity && text[length])
        ++length;
    std::string ansi(static_cast<std::size_t>(length) * 2 + 1, '\0');
    const int written = ::WideCharToMultiByte(CP_ACP, 0, text, length, ansi.data(),
                                              static_cast<int>(ansi.size()), nullptr, nullptr);
    ansi.resize(static_cast<std::size_t>(written));
    return ansi;
}

} // namespace

TrayStandIn::TrayStandIn(bool ready) : m_ready(ready), m_window("Shell_TrayWnd", [this](const COPYDATASTRUCT& data) { return Record(data); })
{
    const RECT area = Area();
    ::SetWindowPos(m_window.Handle(), nullptr, area.left, area.top, area.right - area.left,
                   area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TrayStandIn::Area() const
{
    const int width = ::GetSystemMetrics(SM_CXSCREEN);
    const int height = ::GetSystemMetrics(SM_CYSCREEN);
    return {width - 240, height - 40, width, height};
}

LRESULT TrayStandIn::Record(const COPYDATASTRUCT& data)
{
    if (data.cbData < offsetof(WineNotifyData, iconWidth))
        return FALSE;
    const auto& nid = *static_cast<const WineNotifyData*>(data.lpData);
    const bool withIcon = (nid.uFlags & NIF_ICON) && data.cbData >= sizeof nid;
    TrayRequest request{static_cast<DWORD>(data.dwData), false, static_cast<UINT>(nid.hWnd), nid.uID,
                        nid.uFlags, nid.uCallbackMessage, Ansi(nid.szTip, 128), Ansi(nid.szInfo, 256),
                        Ansi(nid.szInfoTitle, 64), nid.uTimeout, nid.dwInfoFlags,
                        withIcon ? nid.iconWidth : 0, withIcon ? nid.iconHeight : 0};
    const std::pair<UINT, UINT> icon{request.window, request.id};
    std::lock_guard<std::mutex> hold(m_lock);
    // Not ready: every request is refused (NIM_SETVERSION has no case here).
    switch (m_ready ? request.message : NIM_SETVERSION) {
    case NIM_ADD:
        request.accepted = m_icons.insert(icon).second;
        break;
    case NIM_MODIFY:
        request.accepted = m_icons.count(icon) != 0;
        break;
    case NIM_DELETE:
        request.accepted = m_icons.erase(icon) != 0;
        break;
    default:
        break;
    }
    m_requests.push_back(request);
    return request.accepted;
}

std::vector<TrayRequest> TrayStandIn::Requests() const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_requests;
}

bool TrayStandIn::WaitForRequests(std::size_t count, DWORD timeoutMs) const
{
    return WaitUntil([&] { return Requests().size() >= count; }, timeoutMs);
}

bool TrayStandIn::Holds(HWND window, UINT id) const
{
    std::lock_guard<std::mutex> hold(m_lock);
    return m_icons.count({static_cast<UINT>(reinterpret_cast<UINT_PTR>(window)), id}) != 0;
}

void TrayStandIn::Open()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_ready = true;
}

void TrayStandIn::ForgetIcons()
{
    std::lock_guard<std::mutex> hold(m_lock);
    m_icons.clear();
}

void BroadcastTaskbarCreated()
{
    ::PostMessageA(HWND_BROADCAST, ::RegisterWindowMessageA("TaskbarCreated"), 0, 0);
}

void BroadcastWorkAreaChange()
{
    ::SendNotifyMessageA(HWND_BROADCAST, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
}
