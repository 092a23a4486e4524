// One HTTP/1.0 GET of the service's command interface over WinInet, plain or over TLS.
#pragma once

#include <cstddef>
#include <string>

struct ServerAddress;

// Replies beyond this size are abandoned: a misbehaving server must not be able to
// exhaust the process's memory.
inline constexpr std::size_t kMaxReplyBytes = 16 * 1024 * 1024;

// How long each step may wait for a silent server; without a limit a server that accepts
// and never answers would block the user interface for good. A TLS exchange waits for its
// connection, handshake and reply headers together, and for each part of the body, at
// most m_receiveMs.
struct HttpTimeouts {
    unsigned long m_connectMs;
    unsigned long m_sendMs;
    unsigned long m_receiveMs;
};
inline constexpr HttpTimeouts kServiceTimeouts{30000, 30000, 60000};

struct HttpReply {
    std::string m_strBody;      // what was read; empty unless the status was 200
    bool m_bObtained = false;   // every step succeeded, status 200, within kMaxReplyBytes
};

// GETs objectName (sent as given, no encoding) from server. A failing WinInet step shows
// its error text in the application's message box first and leaves the body read so far;
// a step that times out is such a failure, and so is a certificate the system refuses or
// a redirect that would leave TLS. An oversized reply leaves the body empty, silently.
// Tests pass short time-outs.
HttpReply HttpGet(const ServerAddress& server, const std::string& objectName,
                  const HttpTimeouts& timeouts = kServiceTimeouts);
