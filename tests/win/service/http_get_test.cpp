#include "service/http_get.h"
#include "service/server_address.h"

#include "service/internet_error.h"

#include "fake_service_control.h"
#include "message_box_catcher.h"
#include "tests/soak/process_usage.h"

#include "winfx/win_app.h"

#include <gtest/gtest.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace {

// The internet error box is the application's message box.
CWinApp theApp;

ServerAddress Plain(const std::string& host) { return ServerAddress{host, 80, false}; }
ServerAddress Secure(const std::string& host, unsigned short port) { return ServerAddress{host, port, true}; }

class HttpGetTest : public ::testing::Test {
protected:
    HttpReply Get(const std::string& objectName = "Control?command=x")
    {
        return HttpGet(Plain(m_service.Address()), objectName);
    }

    FakeServiceControl m_service;
    MessageBoxCatcher m_boxes;
};

TEST_F(HttpGetTest, SendsTheObjectNameUnencodedAsAnHttp10GetWithTheAgentAndNoExtraHeaders)
{
    m_service.Script(R"({"replies": [{"body": "ok"}]})");
    const std::string target = "Control?command=validateLogin&_os_app=demo&eMail=a+b&c@x.example"
                               "&pAssword=0123456789abcdef0123456789abcdef";
    EXPECT_EQ("ok", Get(target).m_strBody);

    const std::string requests = m_service.Requests();
    EXPECT_EQ(0u, requests.find("GET /" + target + " HTTP/1.0\n")) << requests;
    EXPECT_NE(std::string::npos, requests.find("\nUser-Agent: Kelvara AJAX Connection\n")) << requests;
    EXPECT_NE(std::string::npos, requests.find("\nHost: " + m_service.Address() + "\n")) << requests;
    for (const char* absent : {"\nReferer:", "\nAccept:", "\nCookie:", "\nAuthorization:", "\nContent-Length:"})
        EXPECT_EQ(std::string::npos, requests.find(absent)) << absent << " in\n" << requests;
    // One request, one empty line ending it.
    EXPECT_EQ(requests.size() - 2, requests.find("\n\n")) << requests;
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(HttpGetTest, ReadsBodiesWholeAcrossChunkBoundaries)
{
    for (std::size_t size : {std::size_t(0), std::size_t(1), std::size_t(2047), std::size_t(2048),
                             std::size_t(2049), std::size_t(5000)}) {
        m_service.Script(R"({"replies": [{"body": "0123456789", "size": )" + std::to_string(size) + "}]}");
        const HttpReply reply = Get();
        ASSERT_EQ(size, reply.m_strBody.size());
        EXPECT_EQ(std::string("01234567890123").substr(0, std::min<std::size_t>(size, 14)),
                  reply.m_strBody.substr(0, 14));
        if (size) {
            EXPECT_EQ('0' + char((size - 1) % 10), reply.m_strBody.back());
        }
        EXPECT_TRUE(reply.m_bObtained);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(HttpGetTest, RepliesAboveTheCapAreDroppedSilently)
{
    m_service.Script(R"({"replies": [{"body": "x", "size": )" + std::to_string(kMaxReplyBytes) +
                     R"(}, {"body": "x", "size": )" + std::to_string(kMaxReplyBytes + 1) + "}]}");
    const HttpReply atCap = Get();
    EXPECT_EQ(kMaxReplyBytes, atCap.m_strBody.size());
    EXPECT_TRUE(atCap.m_bObtained);

    const HttpReply overCap = Get();
    EXPECT_TRUE(overCap.m_strBody.empty());
    EXPECT_FALSE(overCap.m_bObtained);
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(HttpGetTest, StatusOtherThan200LeavesTheBodyUnreadWithoutABox)
{
    m_service.Script(R"({"replies": [{"status": 404, "body": "not here"}, {"status": 500, "body": "NA"}]})");
    for (int i = 0; i < 2; ++i) {
        const HttpReply reply = Get();
        EXPECT_TRUE(reply.m_strBody.empty());
        EXPECT_FALSE(reply.m_bObtained);
    }
    EXPECT_TRUE(m_boxes.Boxes().empty());
}

TEST_F(HttpGetTest, UnreachableServerShowsTheInternetErrorBox)
{
    const char* unreachable = std::getenv("KV_UNREACHABLE_SERVER");
    ASSERT_NE(nullptr, unreachable);
    const HttpReply reply = HttpGet(Plain(unreachable), "Control?command=x");
    EXPECT_TRUE(reply.m_strBody.empty());
    EXPECT_FALSE(reply.m_bObtained);

    ASSERT_EQ(1u, m_boxes.Boxes().size());
    const MessageBoxCatcher::Box& box = m_boxes.Boxes()[0];
    EXPECT_EQ(MessageBoxCatcher::ProgramTitle(), box.caption);
    EXPECT_FALSE(box.text.empty());
    EXPECT_EQ(std::string::npos, box.text.find("No error message")) << box.text;
    EXPECT_LE(box.text.size(), 259u);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_EXCLAMATION), box.icon);
}

TEST_F(HttpGetTest, ResetWhileReadingKeepsWhatArrivedAndReportsTheFailure)
{
    // The first chunk arrives whole; the read of the second one fails.
    m_service.Script(R"({"replies": [{"body": "p", "size": 3000, "partial": true, "reset": 0.5}]})");
    const HttpReply reply = Get();
    EXPECT_EQ(std::string(2048, 'p'), reply.m_strBody);
    EXPECT_FALSE(reply.m_bObtained);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(MessageBoxCatcher::ProgramTitle(), m_boxes.Boxes()[0].caption);
}

TEST_F(HttpGetTest, SilentServerTimesOutAsAFailedExchange)
{
    // The product waits 30, 30 and 60 seconds; the test lets a second stand for them.
    m_service.Script(R"({"replies": [{"silent": true}]})");
    const HttpReply reply = HttpGet(Plain(m_service.Address()), "Control?command=x", HttpTimeouts{1000, 1000, 1000});
    EXPECT_TRUE(reply.m_strBody.empty());
    EXPECT_FALSE(reply.m_bObtained);
    EXPECT_EQ(0u, m_service.Requests().find("GET /Control?command=x HTTP/1.0\n"));
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(MessageBoxCatcher::ProgramTitle(), m_boxes.Boxes()[0].caption);
    EXPECT_EQ(::LoadIconA(nullptr, IDI_EXCLAMATION), m_boxes.Boxes()[0].icon);

    // The next exchange is not held up by the one that timed out.
    m_service.Script(R"({"replies": [{"body": "after"}]})");
    EXPECT_EQ("after", Get().m_strBody);
}

TEST_F(HttpGetTest, TlsRepliesArriveWholeAsTheyComeAndRedirectsStayOnTls)
{
    const ServerAddress server = Secure(m_service.Address(), FakeServiceControl::kTrusted);
    // A TLS read returns what has arrived, so the body ends at an empty read, not a short one.
    for (std::size_t size : {std::size_t(0), std::size_t(2048), std::size_t(5000), std::size_t(300000)}) {
        m_service.Script(R"({"replies": [{"body": "0123456789", "size": )" + std::to_string(size) + "}]}");
        const HttpReply reply = HttpGet(server, "Control?command=x");
        EXPECT_EQ(size, reply.m_strBody.size());
        EXPECT_TRUE(reply.m_bObtained) << size;
        if (size) {
            EXPECT_EQ('0' + char((size - 1) % 10), reply.m_strBody.back());
        }
    }
    // Hops to TLS addresses are followed, by our own code, a few times at most.
    const std::string other = "https://" + m_service.Address() + ":" +
                              std::to_string(FakeServiceControl::kTrustedOtherPort);
    m_service.Script(R"({"replies": [{"status": 302, "location": ")" + other +
                     R"(/Control?hop=1"}, {"status": 307, "location": "/Control?hop=2"}, {"body": "moved"}]})");
    EXPECT_EQ("moved", HttpGet(server, "Control?command=x").m_strBody);
    const std::string requests = m_service.Requests();
    EXPECT_NE(std::string::npos, requests.find("GET /Control?hop=1 HTTP/1.0\n")) << requests;
    EXPECT_NE(std::string::npos, requests.find("GET /Control?hop=2 HTTP/1.0\n")) << requests;
    EXPECT_TRUE(m_boxes.Boxes().empty());

    m_service.Script(R"({"replies": [{"status": 301, "location": ")" + other + R"(/Control?again"}]})");
    const HttpReply endless = HttpGet(server, "Control?command=x");
    EXPECT_FALSE(endless.m_bObtained);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(InternetErrorText(ERROR_HTTP_REDIRECT_FAILED), m_boxes.Boxes()[0].text);
    EXPECT_EQ(std::string::npos, m_boxes.Boxes()[0].text.find("No error message"));
    const std::string connections = m_service.Connections();
    EXPECT_EQ(6, std::count(connections.begin(), connections.end(), '\n')) << connections;
}

TEST_F(HttpGetTest, SilentTlsHandshakeEndsWithinTheBoundAndLeavesNothingBehind)
{
    const ServerAddress trusted = Secure(m_service.Address(), FakeServiceControl::kTrusted);
    m_service.Script(R"({"replies": [{"body": "before"}, {"body": "after"}]})");
    ASSERT_EQ("before", HttpGet(trusted, "Control?command=x").m_strBody);  // WinInet and the stores loaded
    ProcessUsage before;
    ASSERT_TRUE(ReadProcessUsage(::GetCurrentProcessId(), before));

    const DWORD start = ::GetTickCount();
    const HttpReply reply = HttpGet(Secure(m_service.Address(), FakeServiceControl::kSilentHandshake),
                                    "Control?command=x", HttpTimeouts{1000, 1000, 1000});
    EXPECT_FALSE(reply.m_bObtained);
    ASSERT_EQ(1u, m_boxes.Boxes().size());
    EXPECT_EQ(InternetErrorText(ERROR_INTERNET_TIMEOUT), m_boxes.Boxes()[0].text);
    // The listener lets each handshake go after 5 s: the wait ended on its own bound.
    EXPECT_LT(m_boxes.Boxes()[0].shownAtMs - start, 4000u);

    // Nothing waits for the stalled handshake.
    EXPECT_EQ("after", HttpGet(trusted, "Control?command=x").m_strBody);

    // WinInet's worker goes on with the handshake (and tries again) until the listener lets
    // it go, and only then calls back into the exchange it was abandoned by: with heap
    // checking on, a use after free crashes here. Once it is done, its handles are gone.
    const auto silentConnections = [&] {
        std::istringstream connections(m_service.Connections());
        int count = 0;
        for (std::string port; std::getline(connections, port);)
            count += port == std::to_string(FakeServiceControl::kSilentHandshake);
        return count;
    };
    // Each attempt holds its connection 5 s: 6 s without a new one, and all have ended.
    for (int seen = -1, rounds = 0; seen != silentConnections() && rounds < 6; ++rounds) {
        seen = silentConnections();
        ::Sleep(6000);
    }
    ::Sleep(1000);
    ProcessUsage after;
    ASSERT_TRUE(ReadProcessUsage(::GetCurrentProcessId(), after));
    EXPECT_LE(after.handles, before.handles);
}

} // namespace
