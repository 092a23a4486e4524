#include "tests/tools/window_driver.h"

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs)
{
    const DWORD start = ::GetTickCount();
    while (!condition()) {
        if (::GetTickCount() - start >= timeoutMs)
            return false;
        ::Sleep(10);
    }
    return true;
}

namespace {

struct WindowSearch {
    DWORD processId;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindowOfProcess(HWND hWnd, LPARAM lParam)
{
    auto& search = *reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hWnd, &owner);
    if (owner == search.processId)
        search.found.push_back(hWnd);
    return TRUE;
}

} // namespace

std::vector<HWND> TopLevelWindowsOf(DWORD processId)
{
    WindowSearch search{processId, {}};
    ::EnumWindows(&CollectWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string WindowText(HWND hWnd)
{
    char text[1024] = {};
    ::GetWindowTextA(hWnd, text, sizeof text);
    return text;
}

std::string WindowClassName(HWND hWnd)
{
    char name[256] = {};
    ::GetClassNameA(hWnd, name, sizeof name);
    return name;
}

HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs)
{
    HWND box = nullptr;
    WaitUntil(
        [&] {
            for (HWND hWnd : TopLevelWindowsOf(processId)) {
                if (::IsWindowVisible(hWnd) && WindowClassName(hWnd) == "#32770" &&
                    WindowText(hWnd) == caption) {
                    box = hWnd;
                    return true;
                }
            }
            return false;
        },
        timeoutMs);
    return box;
}

MessageBoxContent ReadMessageBox(HWND box)
{
    MessageBoxContent content;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::IsWindowVisible(child))
            continue;
        const std::string kind = WindowClassName(child);
        if (::lstrcmpiA(kind.c_str(), "Button") == 0) {
            ++content.buttons;
        } else if (::lstrcmpiA(kind.c_str(), "Static") == 0) {
            if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON)
                content.hasIcon = content.hasIcon || ::SendMessageA(child, STM_GETICON, 0, 0) != 0;
            else if (content.text.empty())
                content.text = WindowText(child);
        }
    }
    return content;
}

void PressMessageBoxButton(HWND box, int id)
{
    ::PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(box, id)));
}

namespace {

INPUT KeyInput(WORD key, DWORD flags)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = flags;
    return input;
}

} // namespace

void PressKeys(std::initializer_list<WORD> chord)
{
    std::vector<INPUT> inputs;
    for (WORD key : chord)
        inputs.push_back(KeyInput(key, 0));
    for (auto key = chord.end(); key != chord.begin();)
        inputs.push_back(KeyInput(*--key, KEYEVENTF_KEYUP));
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void TypeText(const std::string& text)
{
    for (char c : text) {
        const SHORT key = ::VkKeyScanA(c);
        if (HIBYTE(key) & 1)
            PressKeys({VK_SHIFT, LOBYTE(key)});
        else
            PressKeys({LOBYTE(key)});
    }
}

HWND FocusOf(DWORD threadId)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return ::GetGUIThreadInfo(threadId, &info) ? info.hwndFocus : nullptr;
}
