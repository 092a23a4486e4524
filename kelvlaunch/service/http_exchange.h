// What the plain and the TLS exchange of HttpGet share.
#pragma once

#include "scoped_win.h"
#include "service/http_get.h"
#include "service/wininet_api.h"

struct ServerAddress;

namespace http_exchange {

inline constexpr char kAgent[] = "Kelvara AJAX Connection";
inline constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT |
                                       INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
inline constexpr DWORD kChunkBytes = 2048;

// Only made once WinInet is loaded.
struct InternetTraits {
    using type = HINTERNET;
    static type none() { return nullptr; }
    static void close(type h) { WinInet()->InternetCloseHandle(h); }
};
using Internet = scoped::Handle<InternetTraits>;

// A failed step ends the exchange with what was read so far; the user sees why (the
// error, by default the thread's last one) before the handles are closed.
HttpReply Failed(HttpReply reply, DWORD error = ::GetLastError());

// The reply's status code; 200 when there is none to be had.
DWORD QueryStatus(const WinInetApi& api, HINTERNET request);

// Set on the request itself: Wine's requests do not inherit time-outs from the session.
bool SetTimeouts(const WinInetApi& api, HINTERNET request, const HttpTimeouts& timeouts);

// Appends a chunk; false, with the body dropped, once the reply outgrows kMaxReplyBytes.
bool AppendWithinCap(HttpReply& reply, const char* chunk, DWORD size);

} // namespace http_exchange

// The exchange with a TLS server (http_get_secure.cpp).
HttpReply SecureHttpGet(const ServerAddress& server, const std::string& objectName, const HttpTimeouts& timeouts);
