#include "winfx/system_error.h"

#include <shellapi.h>

std::string SystemErrorText(DWORD error)
{
    char text[512] = {};
    const DWORD size = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, size);
    reason.erase(reason.find_last_not_of(" \r\n") + 1);
    return reason.empty() ? "System error " + std::to_string(error) + "." : reason;
}

DWORD ShellExecuteError(HINSTANCE result)
{
    // The shell's own codes; the rest (file or path not found, access denied, bad format)
    // are Win32 errors already.
    static const struct {
        INT_PTR result;
        DWORD error;
    } kShellErrors[] = {
        {0, ERROR_OUTOFMEMORY},
        {SE_ERR_SHARE, ERROR_SHARING_VIOLATION},
        {SE_ERR_ASSOCINCOMPLETE, ERROR_NO_ASSOCIATION},
        {SE_ERR_DDETIMEOUT, ERROR_DDE_FAIL},
        {SE_ERR_DDEFAIL, ERROR_DDE_FAIL},
        {SE_ERR_DDEBUSY, ERROR_DDE_FAIL},
        {SE_ERR_NOASSOC, ERROR_NO_ASSOCIATION},
        {SE_ERR_DLLNOTFOUND, ERROR_DLL_NOT_FOUND},
    };
    const INT_PTR code = reinterpret_cast<INT_PTR>(result);
    for (const auto& known : kShellErrors) {
        if (known.result == code)
            return known.error;
    }
    return static_cast<DWORD>(code);
}
