#include "sheet_driver.h"

#include "tests/tools/window_driver.h"

#include <commctrl.h>

#include <fstream>

const char kSheetCaption[] = "Kelvara - Connecting People, Anytime, Anywhere!";

namespace {

constexpr DWORD kTimeoutMs = 20000;

} // namespace

HWND WaitForVisibleWindow(DWORD processId, const std::string& caption)
{
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND hWnd : TopLevelWindowsOf(processId)) {
                if (::IsWindowVisible(hWnd) && WindowText(hWnd) == caption) {
                    found = hWnd;
                    return true;
                }
            }
            return false;
        },
        kTimeoutMs);
    return found;
}

// Destroyed, not merely hidden: a modal window hides before its loop ends, and a command
// posted in between (a second Setup, say) still meets the window as open.
bool WaitUntilGone(HWND window)
{
    return WaitUntil([window] { return !::IsWindow(window); }, kTimeoutMs);
}

OwnedBox DismissMessageBox(DWORD processId, HWND sheet)
{
    OwnedBox result;
    result.box = WaitForMessageBox(processId, "kelvlaunch", kTimeoutMs);
    if (!result.box)
        return result;
    // A box can be visible before its text is, and before its owner is disabled.
    MessageBoxContent content;
    WaitUntil(
        [&] {
            content = ReadMessageBox(result.box);
            return !content.text.empty() && !::IsWindowEnabled(sheet);
        },
        kTimeoutMs);
    result.text = content.text;
    result.hasIcon = content.hasIcon;
    result.ownedBySheet = ::GetWindow(result.box, GW_OWNER) == sheet && !::IsWindowEnabled(sheet);
    PressMessageBoxButton(result.box, IDOK);
    WaitUntilGone(result.box);
    return result;
}

HWND CurrentPage(HWND sheet)
{
    return reinterpret_cast<HWND>(::SendMessageA(sheet, PSM_GETCURRENTPAGEHWND, 0, 0));
}

std::string CurrentPageTitle(HWND sheet)
{
    std::string shown;
    for (char c : WindowText(CurrentPage(sheet)))
        if (c != '&')
            shown += c;
    return shown;
}

void ShowPage(HWND sheet, int index)
{
    ::SendMessageA(sheet, PSM_SETCURSEL, index, 0);
}

void Click(HWND dialog, int id)
{
    ::PostMessageA(::GetDlgItem(dialog, id), BM_CLICK, 0, 0);
}

void PressKey(HWND target, WPARAM key)
{
    ::PostMessageA(target, WM_KEYDOWN, key, 1);
    ::PostMessageA(target, WM_KEYUP, key, 0xC0000001);
}

void SetText(HWND control, const std::string& text)
{
    ::SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

std::string Text(HWND control)
{
    std::string text(static_cast<std::size_t>(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0)) + 1, '\0');
    text.resize(static_cast<std::size_t>(
        ::SendMessageA(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

namespace {

// Where a click went astray: the button's state, the focus, the foreground and the
// program's windows.
std::string ClickLost(HWND button)
{
    DWORD processId = 0;
    const DWORD thread = ::GetWindowThreadProcessId(button, &processId);
    std::string windows;
    for (HWND hWnd : TopLevelWindowsOf(processId))
        windows += " \"" + WindowText(hWnd) + (::IsWindowVisible(hWnd) ? "\"" : "\" (hidden)");
    return std::string(::IsWindowEnabled(button) ? "enabled" : "disabled") +
           ((::SendMessageA(button, BM_GETSTATE, 0, 0) & BST_PUSHED) ? " and pushed" : " and not pushed") +
           ", the focus on control " + std::to_string(::GetDlgCtrlID(FocusOf(thread))) +
           (::GetForegroundWindow() == ::GetAncestor(button, GA_ROOT) ? ", its window in front" : ", its window behind") +
           "; the windows:" + windows;
}

} // namespace

std::string EnterSession(DWORD processId, HWND page, int button, const std::string& description,
                         const std::string& accessCode, bool ok)
{
    Click(page, button);
    const HWND dialog = WaitForVisibleWindow(processId, "Session Information");
    if (!dialog)
        return "the dialog did not open; the page's button " + ClickLost(::GetDlgItem(page, button));
    SetText(::GetDlgItem(dialog, 1014), description);
    SetText(::GetDlgItem(dialog, 1015), accessCode);
    const HWND end = ::GetDlgItem(dialog, ok ? IDOK : IDCANCEL);
    Click(dialog, ok ? IDOK : IDCANCEL);
    return WaitUntilGone(dialog) ? "" : "the dialog stayed open; its button " + ClickLost(end);
}

RemoteListView::RemoteListView(HWND list, DWORD processId)
    : m_list(list),
      m_process(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, processId))
{
    if (m_process)
        m_remote = ::VirtualAllocEx(m_process.get(), nullptr, sizeof(LVITEMA) + kTextSize,
                                    MEM_COMMIT, PAGE_READWRITE);
}

RemoteListView::~RemoteListView()
{
    if (m_remote)
        ::VirtualFreeEx(m_process.get(), m_remote, 0, MEM_RELEASE);
}

int RemoteListView::Count() const
{
    return static_cast<int>(::SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0));
}

template <typename Request>
LRESULT RemoteListView::SendForText(UINT message, WPARAM wParam, Request request) const
{
    static_assert(sizeof request <= sizeof(LVITEMA), "the request goes before the text");
    request.pszText = static_cast<char*>(m_remote) + sizeof(LVITEMA);
    request.cchTextMax = kTextSize;
    SIZE_T moved = 0;
    ::WriteProcessMemory(m_process.get(), m_remote, &request, sizeof request, &moved);
    return ::SendMessageA(m_list, message, wParam, reinterpret_cast<LPARAM>(m_remote));
}

std::string RemoteListView::RemoteText(std::size_t length) const
{
    std::string text(length, '\0');
    SIZE_T moved = 0;
    ::ReadProcessMemory(m_process.get(), static_cast<char*>(m_remote) + sizeof(LVITEMA), text.data(),
                        text.size(), &moved);
    return text.substr(0, text.find('\0'));
}

std::string RemoteListView::ItemText(int item, int column) const
{
    LVITEMA request{};
    request.iSubItem = column;
    return RemoteText(static_cast<std::size_t>(SendForText(LVM_GETITEMTEXTA, item, request)));
}

std::vector<std::string> RemoteListView::Column(int column) const
{
    std::vector<std::string> texts;
    for (int item = 0; item < Count(); ++item)
        texts.push_back(ItemText(item, column));
    return texts;
}

int RemoteListView::ColumnWidth(int column) const
{
    return static_cast<int>(::SendMessageA(m_list, LVM_GETCOLUMNWIDTH, column, 0));
}

std::string RemoteListView::ColumnHeading(int column) const
{
    LVCOLUMNA request{};
    request.mask = LVCF_TEXT;
    return SendForText(LVM_GETCOLUMNA, column, request) ? RemoteText(kTextSize) : "(none)";
}

std::vector<int> RemoteListView::Selected() const
{
    std::vector<int> items;
    for (int item = 0; item < Count(); ++item)
        if (::SendMessageA(m_list, LVM_GETITEMSTATE, item, LVIS_SELECTED))
            items.push_back(item);
    return items;
}

void RemoteListView::Select(const std::vector<int>& items) const
{
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    SIZE_T moved = 0;
    ::WriteProcessMemory(m_process.get(), m_remote, &state, sizeof state, &moved);
    ::SendMessageA(m_list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(m_remote));
    state.state = LVIS_SELECTED;
    ::WriteProcessMemory(m_process.get(), m_remote, &state, sizeof state, &moved);
    for (int item : items)
        ::SendMessageA(m_list, LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(m_remote));
}

namespace {

BOOL CALLBACK FindUnpainted(HWND child, LPARAM lParam)
{
    if (::IsWindowVisible(child) && ::GetUpdateRect(child, nullptr, FALSE)) {
        *reinterpret_cast<bool*>(lParam) = true;
        return FALSE;
    }
    return TRUE;
}

bool IsPainted(HWND window)
{
    bool unpainted = ::GetUpdateRect(window, nullptr, FALSE) != FALSE;
    if (!unpainted)
        ::EnumChildWindows(window, &FindUnpainted, reinterpret_cast<LPARAM>(&unpainted));
    return !unpainted;
}

} // namespace

bool SeeWindowsInTheirOwnPixels()
{
    using SetContext = HANDLE(WINAPI*)(HANDLE);
    const auto set = reinterpret_cast<SetContext>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("user32.dll"), "SetThreadDpiAwarenessContext")));
    return set && set(reinterpret_cast<HANDLE>(-3)) != nullptr;  // per-monitor aware
}

std::string LayoutFaults(HWND window, HFONT font)
{
    RECT area{};
    ::GetClientRect(window, &area);
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const HDC dc = ::CreateCompatibleDC(nullptr);
    ::SelectObject(dc, font);
    std::string faults;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const std::string kind = WindowClassName(child), text = Text(child);
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        RECT outer{}, client{};
        ::GetWindowRect(child, &outer);
        ::GetClientRect(child, &client);
        if (!::IsWindowVisible(child))
            continue;
        if (outer.left < area.left || outer.top < area.top || outer.right > area.right ||
            outer.bottom > area.bottom)
            faults += kind + " \"" + text + "\" reaches out of its window\n";
        // Statics wrap their text; buttons keep an edge beside it; an empty edit still shows a line.
        const bool isStatic = ::lstrcmpiA(kind.c_str(), "Static") == 0;
        const bool isButton = ::lstrcmpiA(kind.c_str(), "Button") == 0;
        if ((isStatic && (style & SS_TYPEMASK) > SS_RIGHT) ||
            (!isStatic && !isButton && (::lstrcmpiA(kind.c_str(), "Edit") != 0 || (style & ES_PASSWORD))))
            continue;
        RECT needed{0, 0, client.right, 0};
        ::DrawTextA(dc, text.empty() ? "Ag" : text.c_str(), -1, &needed,
                    DT_CALCRECT | (isStatic ? DT_WORDBREAK | DT_EXPANDTABS : DT_SINGLELINE));
        needed.right += isButton ? 2 * ::GetSystemMetrics(SM_CXEDGE) : 0;
        if (needed.right > client.right || needed.bottom > client.bottom)
            faults += kind + " \"" + text + "\" needs " + std::to_string(needed.right) + " x " +
                      std::to_string(needed.bottom) + " pixels, has " + std::to_string(client.right) +
                      " x " + std::to_string(client.bottom) + "\n";
    }
    ::DeleteDC(dc);
    return faults;
}

bool SaveWindowPicture(HWND window, const std::string& path)
{
    WaitUntil([window] { return IsPainted(window); }, 5000);
    RECT rect{};
    if (!::GetWindowRect(window, &rect))
        return false;
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const HDC screen = ::GetDC(nullptr);
    const HDC memory = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    scoped::GdiObject bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    const HGDIOBJ previous = ::SelectObject(memory, bitmap.get());
    ::BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);

    const DWORD stride = (static_cast<DWORD>(width) * 3 + 3) & ~3u;
    const DWORD imageSize = stride * static_cast<DWORD>(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof(BITMAPINFOHEADER);
    file.bfSize = file.bfOffBits + imageSize;
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(&file), sizeof file);
    out.write(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    out.write(static_cast<const char*>(bits), imageSize);
    return static_cast<bool>(out);
}
