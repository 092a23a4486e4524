// The user-visible report of a failed WinInet step.
#pragma once

#include <windows.h>

#include <string>

// The system's text for a WinInet error code (for ERROR_INTERNET_EXTENDED_ERROR the
// server's last response text), cut to 259 bytes on a character boundary.
std::string InternetErrorText(DWORD errorCode);

// Shows InternetErrorText in the application's modal message box with the
// exclamation icon.
void ReportInternetError(DWORD errorCode);
