// The exchange with a TLS server. Wine's WinInet bounds neither the TLS handshake by its
// time-outs nor lets a close from elsewhere end it: a server that accepts and never answers
// would hold the caller for minutes or for good. So the exchange runs asynchronously and
// this thread waits for each step itself, never longer than the receive time-out.
// Certificates are left to the system to check, always; redirects are followed here, and
// only to TLS addresses, so that the query with the account never travels in clear.
#include "service/http_exchange.h"
#include "service/server_address.h"

#include <algorithm>
#include <utility>

using namespace http_exchange;

namespace {

constexpr int kMaxRedirects = 5;

// Everything WinInet's worker threads may still touch after the wait for a step gave up:
// the step's outcome, the event announcing it, and the buffers they write into. Each
// request handle holds a reference that its INTERNET_STATUS_HANDLE_CLOSING (always the
// last call for a handle, sent once no worker uses it) gives back; so a step that ends
// long after the time-out finds everything still there, and the last one out frees it.
class PendingSteps {
public:
    // Deletes itself with the last reference.
    static PendingSteps* Create() { return new PendingSteps; }
    void AddRef() { ::InterlockedIncrement(&m_refs); }
    void Release()
    {
        if (::InterlockedDecrement(&m_refs) == 0)
            delete this;
    }

    scoped::Kernel m_done{::CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    INTERNET_ASYNC_RESULT m_result{};
    DWORD m_available = 0;
    DWORD m_read = 0;
    char m_chunk[kChunkBytes];

private:
    PendingSteps() = default;
    LONG m_refs = 1;
};

struct PendingStepsTraits {
    using type = PendingSteps*;
    static type none() { return nullptr; }
    static void close(type steps) { steps->Release(); }
};
using PendingStepsRef = scoped::Handle<PendingStepsTraits>;

// Called on WinInet's threads, and on this one while it is inside WinInet.
void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD)
{
    PendingSteps* steps = reinterpret_cast<PendingSteps*>(context);
    if (status == INTERNET_STATUS_REQUEST_COMPLETE) {
        steps->m_result = *static_cast<const INTERNET_ASYNC_RESULT*>(info);
        ::SetEvent(steps->m_done.get());
    } else if (status == INTERNET_STATUS_HANDLE_CLOSING) {
        steps->Release();
    }
}

enum class StepEnd { kAtOnce, kLater, kFailed };

// Starts a step and, when WinInet goes on with it elsewhere, waits for its end up to
// limitMs. kFailed leaves the reason as the thread's last error.
template <typename Step>
StepEnd Await(PendingSteps& steps, DWORD limitMs, Step step)
{
    ::ResetEvent(steps.m_done.get());
    if (step())
        return StepEnd::kAtOnce;
    if (::GetLastError() != ERROR_IO_PENDING)
        return StepEnd::kFailed;
    if (::WaitForSingleObject(steps.m_done.get(), limitMs) != WAIT_OBJECT_0) {
        ::SetLastError(ERROR_INTERNET_TIMEOUT);
        return StepEnd::kFailed;
    }
    if (!steps.m_result.dwResult) {
        ::SetLastError(steps.m_result.dwError);
        return StepEnd::kFailed;
    }
    return StepEnd::kLater;
}

bool IsRedirect(DWORD status)
{
    return status == HTTP_STATUS_MOVED || status == HTTP_STATUS_REDIRECT || status == HTTP_STATUS_REDIRECT_METHOD ||
           status == HTTP_STATUS_REDIRECT_KEEP_VERB || status == HTTP_STATUS_PERMANENT_REDIRECT;
}

std::string QueryLocation(const WinInetApi& api, HINTERNET request)
{
    std::string location(256, '\0');
    DWORD size = DWORD(location.size());
    if (!api.HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr)) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER)
            return std::string();
        location.assign(size + 1, '\0');
        size = DWORD(location.size());
        if (!api.HttpQueryInfoA(request, HTTP_QUERY_LOCATION, location.data(), &size, nullptr))
            return std::string();
    }
    location.resize(size);
    return location;
}

// The body, as far as the server sends it. A read here returns what has arrived, so the
// body ends at a read of nothing, not at a short one.
HttpReply ReadBody(const WinInetApi& api, HINTERNET request, PendingSteps& steps, DWORD limitMs)
{
    HttpReply reply;
    for (;;) {
        const StepEnd asked = Await(steps, limitMs, [&] {
            return api.InternetQueryDataAvailable(request, &steps.m_available, 0, 0);
        });
        if (asked == StepEnd::kFailed)
            return Failed(std::move(reply));
        if (asked == StepEnd::kLater)
            continue;  // data has come: asked again, WinInet answers at once
        if (steps.m_available == 0)
            break;
        const DWORD wanted = std::min(steps.m_available, kChunkBytes);
        if (Await(steps, limitMs, [&] { return api.InternetReadFile(request, steps.m_chunk, wanted, &steps.m_read); }) ==
            StepEnd::kFailed)
            return Failed(std::move(reply));
        if (!AppendWithinCap(reply, steps.m_chunk, steps.m_read))
            return reply;
    }
    reply.m_bObtained = true;
    return reply;
}

} // namespace

HttpReply SecureHttpGet(const ServerAddress& server, const std::string& objectName, const HttpTimeouts& timeouts)
{
    const WinInetApi* api = WinInet();
    if (!api)
        return Failed(HttpReply());
    const PendingStepsRef steps(PendingSteps::Create());
    if (!steps.get()->m_done)
        return Failed(HttpReply());
    const Internet session(api->InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr,
                                              INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_ASYNC));
    if (!session || api->InternetSetStatusCallbackA(session.get(), &OnStatus) == INTERNET_INVALID_STATUS_CALLBACK)
        return Failed(HttpReply());

    RedirectTarget target{server, objectName};
    for (int redirects = 0;; ++redirects) {
        // Only the request carries the context, so only its calls reach OnStatus.
        const Internet connection(api->InternetConnectA(session.get(), target.m_server.m_strHost.c_str(),
                                                        target.m_server.m_nPort, nullptr, nullptr,
                                                        INTERNET_SERVICE_HTTP, 0, 0));
        if (!connection)
            return Failed(HttpReply());
        // The request's reference. Should opening it fail, it is not taken back: whether
        // WinInet announced the closing of what it had begun is unknown, and a reference
        // too many costs a few bytes where one too few would be a use after free.
        steps.get()->AddRef();
        const Internet request(api->HttpOpenRequestA(
            connection.get(), "GET", target.m_strObjectName.c_str(), "HTTP/1.0", nullptr, nullptr,
            kRequestFlags | INTERNET_FLAG_SECURE | INTERNET_FLAG_NO_AUTO_REDIRECT,
            reinterpret_cast<DWORD_PTR>(steps.get())));
        if (!request || !SetTimeouts(*api, request.get(), timeouts) ||
            Await(*steps.get(), timeouts.m_receiveMs,
                  [&] { return api->HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0); }) == StepEnd::kFailed)
            return Failed(HttpReply());

        const DWORD status = QueryStatus(*api, request.get());
        if (status == HTTP_STATUS_OK)
            return ReadBody(*api, request.get(), *steps.get(), timeouts.m_receiveMs);
        const std::string location = IsRedirect(status) ? QueryLocation(*api, request.get()) : std::string();
        if (location.empty())
            return HttpReply();  // like any status but 200: no body, no message
        std::optional<RedirectTarget> next = SecureRedirectTarget(target.m_server, location);
        if (!next)
            return Failed(HttpReply(), ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
        if (redirects == kMaxRedirects)
            return Failed(HttpReply(), ERROR_HTTP_REDIRECT_FAILED);
        target = std::move(*next);
    }
}
