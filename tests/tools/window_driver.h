// Drives windows from a test the way a user or the shell would: finds them by process and
// caption, reads message boxes and presses their buttons. Waits poll with a bounded timeout.
#pragma once

#include <windows.h>

#include <functional>
#include <initializer_list>
#include <string>
#include <vector>

// Polls the condition until it holds or the timeout (milliseconds) has passed.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs);

std::vector<HWND> TopLevelWindowsOf(DWORD processId);
std::string WindowText(HWND hWnd);
std::string WindowClassName(HWND hWnd);

// A visible message box of the process with this caption, or null after the timeout.
HWND WaitForMessageBox(DWORD processId, const std::string& caption, DWORD timeoutMs);

struct MessageBoxContent {
    std::string text;
    bool hasIcon = false;
    int buttons = 0;  // visible ones
};
MessageBoxContent ReadMessageBox(HWND box);
void PressMessageBoxButton(HWND box, int id);

// Real keystrokes, as the keyboard makes them: they go to whichever window has the focus,
// through the dialog manager as a user's do. The keys of a chord go down in order and up in
// reverse: PressKeys({VK_CONTROL, VK_TAB}).
void PressKeys(std::initializer_list<WORD> chord);
// Letters, digits and spaces, typed.
void TypeText(const std::string& text);
// The window with the keyboard focus on that thread, or null.
HWND FocusOf(DWORD threadId);
