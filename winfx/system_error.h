// The system's own words for a Win32 error code, for the messages that tell the user why.
#pragma once

#include <windows.h>

#include <string>

std::string SystemErrorText(DWORD error);

// The Win32 error that a failed ShellExecute's result (32 or less) stands for.
DWORD ShellExecuteError(HINSTANCE result);
