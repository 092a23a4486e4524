// The "server" setting and the places a redirect may lead, read into where to connect.
// Bytes in, a small struct out: no platform types, so it is tested and fuzzed natively.
#pragma once

#include <optional>
#include <string>
#include <string_view>

struct ServerAddress {
    std::string m_strHost;       // letters, digits, '.' and '-' only
    unsigned short m_nPort = 0;  // never 0
    bool m_bSecure = false;      // TLS
};

// The accepted forms: a bare host name or dotted address (plain HTTP on port 80, as
// servers were always configured), "https://host" or "https://host:port" (TLS, port 443
// unless given), "http://host:port" (plain HTTP on that port). The scheme's letter case
// does not matter; a port is 1 to 65535 without leading zeros. Anything else (another
// scheme, a path, user info, spaces, an empty host) is none of them.
std::optional<ServerAddress> ParseServerSetting(std::string_view value);

struct RedirectTarget {
    ServerAddress m_server;
    std::string m_strObjectName;  // path and query as the Location gave them, "/" at least
};

// Where a redirect from the TLS server `from` may be followed: an absolute "https://"
// address, or a path on the same server. Anything that would leave TLS is not.
std::optional<RedirectTarget> SecureRedirectTarget(const ServerAddress& from, std::string_view location);
