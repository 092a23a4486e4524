#include "winfx/system_error.h"

std::string SystemErrorText(DWORD error)
{
    char text[512] = {};
    const DWORD size = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, text, sizeof text, nullptr);
    std::string reason(text, size);
    reason.erase(reason.find_last_not_of(" \r\n") + 1);
    return reason.empty() ? "System error " + std::to_string(error) + "." : reason;
}
