// WinInet, loaded when the first service command runs rather than at start: with it come
// the sockets and network libraries, which a launcher that sits idle in the tray does not
// need in memory.
#pragma once

#include "winfx/late_library.h"

#include <wininet.h>

struct WinInetApi {
    static constexpr char kFileName[] = "wininet.dll";

    decltype(&::InternetOpenA) InternetOpenA = nullptr;
    decltype(&::InternetConnectA) InternetConnectA = nullptr;
    decltype(&::HttpOpenRequestA) HttpOpenRequestA = nullptr;
    decltype(&::InternetSetOptionA) InternetSetOptionA = nullptr;
    decltype(&::HttpSendRequestA) HttpSendRequestA = nullptr;
    decltype(&::HttpQueryInfoA) HttpQueryInfoA = nullptr;
    decltype(&::InternetReadFile) InternetReadFile = nullptr;
    decltype(&::InternetCloseHandle) InternetCloseHandle = nullptr;
    decltype(&::InternetSetStatusCallbackA) InternetSetStatusCallbackA = nullptr;
    decltype(&::InternetQueryDataAvailable) InternetQueryDataAvailable = nullptr;
    decltype(&::InternetGetLastResponseInfoA) InternetGetLastResponseInfoA = nullptr;

    bool Bind(LateLibrary& library)
    {
        return library.Bind(InternetOpenA, "InternetOpenA") &&
               library.Bind(InternetConnectA, "InternetConnectA") &&
               library.Bind(HttpOpenRequestA, "HttpOpenRequestA") &&
               library.Bind(InternetSetOptionA, "InternetSetOptionA") &&
               library.Bind(HttpSendRequestA, "HttpSendRequestA") &&
               library.Bind(HttpQueryInfoA, "HttpQueryInfoA") &&
               library.Bind(InternetReadFile, "InternetReadFile") &&
               library.Bind(InternetCloseHandle, "InternetCloseHandle") &&
               library.Bind(InternetSetStatusCallbackA, "InternetSetStatusCallbackA") &&
               library.Bind(InternetQueryDataAvailable, "InternetQueryDataAvailable") &&
               library.Bind(InternetGetLastResponseInfoA, "InternetGetLastResponseInfoA");
    }
};

// Null, with the thread's last error saying why, when WinInet cannot be had.
inline const WinInetApi* WinInet()
{
    return LateApi<WinInetApi>();
}
