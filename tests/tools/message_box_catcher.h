// Catches the message boxes that the current thread opens while the catcher lives:
// records caption, text and icon of each and dismisses it with OK. A box counts once,
// however often another program's window takes the activation from it before it goes.
#pragma once

#include "scoped_win.h"

#include <algorithm>
#include <string>
#include <vector>

class MessageBoxCatcher {
public:
    struct Box {
        std::string caption;
        std::string text;
        HICON icon;
        DWORD shownAtMs;  // GetTickCount when it came up
    };

    MessageBoxCatcher()
        : m_hook(::SetWindowsHookExA(WH_CBT, &OnCbt, nullptr, ::GetCurrentThreadId()))
    {
        Current() = this;
    }
    ~MessageBoxCatcher() { Current() = nullptr; }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    const std::vector<Box>& Boxes() const { return m_boxes; }

    static std::string ProgramTitle()
    {
        char path[MAX_PATH] = {};
        ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string title = path;
        title.erase(0, title.find_last_of("\\/") + 1);
        return title.substr(0, title.find_last_of('.'));
    }

private:
    static MessageBoxCatcher*& Current()
    {
        static MessageBoxCatcher* current = nullptr;
        return current;
    }

    static BOOL CALLBACK ReadChild(HWND child, LPARAM lParam)
    {
        Box& box = *reinterpret_cast<Box*>(lParam);
        char className[32] = {};
        ::GetClassNameA(child, className, sizeof className);
        if (lstrcmpiA(className, "Static") != 0)
            return TRUE;
        if ((::GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
            box.icon = reinterpret_cast<HICON>(::SendMessageA(child, STM_GETICON, 0, 0));
        } else {
            char text[1024] = {};
            ::GetWindowTextA(child, text, sizeof text);
            if (text[0])
                box.text = text;
        }
        return TRUE;
    }

    static LRESULT CALLBACK OnCbt(int code, WPARAM wParam, LPARAM lParam)
    {
        MessageBoxCatcher* self = Current();
        if (code == HCBT_ACTIVATE && self) {
            const HWND window = reinterpret_cast<HWND>(wParam);
            char className[16] = {};
            ::GetClassNameA(window, className, sizeof className);
            // Boxes already gone are forgotten, so that a new box given an old handle counts.
            auto& seen = self->m_seen;
            seen.erase(std::remove_if(seen.begin(), seen.end(), [](HWND box) { return !::IsWindow(box); }),
                       seen.end());
            // Under Wine the hook also sees the activation pass to another program's window
            // when a box goes: a dialog of the tests running beside this one is not ours.
            if (std::string(className) == "#32770" && std::find(seen.begin(), seen.end(), window) == seen.end()
                && ::GetWindowThreadProcessId(window, nullptr) == ::GetCurrentThreadId()) {
                seen.push_back(window);
                Box box{std::string(), std::string(), nullptr, ::GetTickCount()};
                char caption[256] = {};
                ::GetWindowTextA(window, caption, sizeof caption);
                box.caption = caption;
                ::EnumChildWindows(window, &ReadChild, reinterpret_cast<LPARAM>(&box));
                self->m_boxes.push_back(box);
                ::PostMessageA(window, WM_COMMAND, IDOK, 0);
            }
        }
        return ::CallNextHookEx(nullptr, code, wParam, lParam);
    }

    scoped::Hook m_hook;
    std::vector<Box> m_boxes;
    std::vector<HWND> m_seen;
};
