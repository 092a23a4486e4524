// One blocking HTTP/1.0 GET of the service's command interface over WinInet.
#pragma once

#include <cstddef>
#include <string>

// Replies beyond this size are abandoned: a misbehaving server must not be able to
// exhaust the process's memory.
inline constexpr std::size_t kMaxReplyBytes = 16 * 1024 * 1024;

struct HttpReply {
    std::string m_strBody;      // what was read; empty unless the status was 200
    bool m_bObtained = false;   // every step succeeded, status 200, within kMaxReplyBytes
};

// GETs objectName (sent as given, no encoding) from port 80 of server. A failing
// WinInet step shows its error text in the application's message box first and
// leaves the body read so far; an oversized reply leaves the body empty, silently.
HttpReply HttpGet(const std::string& server, const std::string& objectName);
