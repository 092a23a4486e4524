#include "service/http_get.h"

#include "service/http_exchange.h"
#include "service/internet_error.h"
#include "service/server_address.h"

#include <cstdlib>
#include <utility>

namespace http_exchange {

HttpReply Failed(HttpReply reply, DWORD error)
{
    ReportInternetError(error);
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

bool AppendWithinCap(HttpReply& reply, const char* chunk, DWORD size)
{
    reply.m_strBody.append(chunk, size);
    if (reply.m_strBody.size() <= kMaxReplyBytes)
        return true;
    reply = HttpReply();
    return false;
}

} // namespace http_exchange

using namespace http_exchange;

namespace {

// Plain HTTP, blocking: the exchange servers reached by a bare host name have always had.
HttpReply PlainHttpGet(const ServerAddress& server, const std::string& objectName, const HttpTimeouts& timeouts)
{
    HttpReply reply;
    const WinInetApi* api = WinInet();
    if (!api)
        return Failed(std::move(reply));
    Internet session(api->InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                        INTERNET_FLAG_NO_CACHE_WRITE));
    if (!session)
        return Failed(std::move(reply));
    Internet connection(api->InternetConnectA(session.get(), server.m_strHost.c_str(), server.m_nPort, nullptr,
                                              nullptr, INTERNET_SERVICE_HTTP, 0, 0));
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
        if (!AppendWithinCap(reply, chunk, read))
            return reply;
    } while (read == kChunkBytes);
    reply.m_bObtained = true;
    return reply;
}

} // namespace

HttpReply HttpGet(const ServerAddress& server, const std::string& objectName, const HttpTimeouts& timeouts)
{
    return server.m_bSecure ? SecureHttpGet(server, objectName, timeouts)
                            : PlainHttpGet(server, objectName, timeouts);
}
