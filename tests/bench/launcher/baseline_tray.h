// The minimal tray program's one hook: what it does with a command posted to its window.
// The plain baseline does nothing; the dialog baseline shows the launcher's dialogs.
#pragma once

#include <windows.h>

using BaselineCommandHandler = void (*)(HWND window, UINT command);
extern BaselineCommandHandler baselineCommandHandler;
