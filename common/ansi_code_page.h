// The ANSI code page's lead bytes, in the form the platform-free text code takes them.
#pragma once

#include <windows.h>

inline bool IsAnsiLeadByte(unsigned char byte)
{
    return ::IsDBCSLeadByte(byte) != FALSE;
}
