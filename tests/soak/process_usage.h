// What a running process holds, read from outside: its working set and its handle count
// (GetGuiResources is a stub under Wine, so user and GDI objects are not counted).
#pragma once

#include <windows.h>

struct ProcessUsage {
    SIZE_T workingSetBytes = 0;
    DWORD handles = 0;
};

// False when the process cannot be queried.
bool ReadProcessUsage(DWORD processId, ProcessUsage& usage);
