// Drives windows from a test the way a user or the shell would: finds them by process and
// caption, reads message boxes and presses their buttons. Waits poll with a bounded timeout.
#pragma once

#include <windows.h>

#include <functional>
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
