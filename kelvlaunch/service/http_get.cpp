#include "http_get.h"

#include "internet_error.h"
#include "scoped_win.h"
#include "wininet_api.h"

#include <cstdlib>
#include <utility>

namespace {

constexpr char kAgent[] = "Kelvara AJAX Connection";
constexpr INTERNET_PORT kPort = 80;
constexpr DWORD kRequestFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_EXISTING_CONNECT |
                                INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_KEEP_CONNECTION;
constexpr DWORD kChunkBytes = 2048;

// Only made once WinInet is loaded.
struct InternetTraits {
    using type = HINTERNET;
    static type none() { return nullptr; }
    static void close(type h) { WinInet()->InternetCloseHandle(h); }
};
using Internet = scoped::Handle<InternetTraits>;

// A failed step ends the exchange with what was read so far; the user sees why before
// the handles are closed.
HttpReply Failed(HttpReply reply)
{
    ReportInternetError(::GetLastError());
    return reply;
}

DWORD QueryStatus(const WinInetApi& api, HINTERNET request)
{
    char text[80] = {};
    DWORD size = sizeof text;
    if (!api.HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE, text, &size, nullptr))
        return HTTP_STATUS_OK;  // no status to be had: take the reply as it comes
    return std::strtoul(text, nullptr, 10);
}

// Set on the request itself: Wine's requests do not inherit time-outs from the session.
bool SetTimeouts(const WinInetApi& api, HINTERNET request, const HttpTimeouts& timeouts)
{
    const std::pair<DWORD, DWORD> options[] = {{INTERNET_OPTION_CONNECT_TIMEOUT, timeouts.m_connectMs},
                                               {INTERNET_OPTION_SEND_TIMEOUT, timeouts.m_sendMs},
                                               {INTERNET_OPTION_RECEIVE_TIMEOUT, timeouts.m_receiveMs}};
    for (auto [option, milliseconds] : options) {
        if (!api.InternetSetOptionA(request, option, &milliseconds, sizeof milliseconds))
            return false;
    }
    return true;
}

} // namespace

HttpReply HttpGet(const std::string& server, const std::string& objectName, const HttpTimeouts& timeouts)
{
    HttpReply reply;
    const WinInetApi* api = WinInet();
    if (!api)
        return Failed(std::move(reply));
    Internet session(api->InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                        INTERNET_FLAG_NO_CACHE_WRITE));
    if (!session)
        return Failed(std::move(reply));
    Internet connection(api->InternetConnectA(session.get(), server.c_str(), kPort, nullptr, nullptr,
                                              INTERNET_SERVICE_HTTP, 0, 0));
    if (!connection)
        return Failed(std::move(reply));
    Internet request(api->HttpOpenRequestA(connection.get(), "GET", objectName.c_str(), "HTTP/1.0",
                                           nullptr, nullptr, kRequestFlags, 0));
    if (!request || !SetTimeouts(*api, request.get(), timeouts) ||
        !api->HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0))
        return Failed(std::move(reply));
    if (QueryStatus(*api, request.get()) != HTTP_STATUS_OK)
        return reply;

    char chunk[kChunkBytes];
    DWORD read = 0;
    do {
        if (!api->InternetReadFile(request.get(), chunk, kChunkBytes, &read))
            return Failed(std::move(reply));
        reply.m_strBody.append(chunk, read);
        if (reply.m_strBody.size() > kMaxReplyBytes)
            return HttpReply();
    } while (read == kChunkBytes);
    reply.m_bObtained = true;
    return reply;
}
