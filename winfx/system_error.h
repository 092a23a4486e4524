// The system's own words for a Win32 error code, for the messages that tell the user why.
#pragma once

#include <windows.h>

#include <string>

std::string SystemErrorText(DWORD error);
