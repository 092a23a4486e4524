// A running kelvlaunch.exe driven through its hidden main frame, as the tray menu drives it.
#pragma once

#include <windows.h>

// The process's top-level window titled after the program, or null.
HWND LauncherFrame(DWORD processId);
// WM_COMMAND with the id and notification code 0, as a menu item sends it; true once handled.
bool SendLauncherCommand(DWORD processId, UINT id, DWORD timeoutMs);
// The tray menu's Exit command, posted: the frame is destroyed while handling it.
bool PostLauncherExit(DWORD processId);
