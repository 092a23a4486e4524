#include "service/server_address.h"

#include <utility>

namespace {

constexpr std::string_view kSecureScheme = "https://";
constexpr std::string_view kPlainScheme = "http://";
constexpr unsigned short kPlainPort = 80;
constexpr unsigned short kSecurePort = 443;

bool IsHostCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-';
}

bool IsHost(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text) {
        if (!IsHostCharacter(c))
            return false;
    }
    return true;
}

std::optional<unsigned short> Port(std::string_view digits)
{
    if (digits.empty() || digits.size() > 5 || digits.front() == '0')
        return std::nullopt;
    unsigned long port = 0;
    for (char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        port = port * 10 + unsigned(c - '0');
    }
    if (port > 65535)
        return std::nullopt;
    return static_cast<unsigned short>(port);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        const char c = text[i] >= 'A' && text[i] <= 'Z' ? char(text[i] - 'A' + 'a') : text[i];
        if (c != prefix[i])
            return false;
    }
    return true;
}

// "host" or "host:port" after a scheme; a plain address must name its port.
std::optional<ServerAddress> Authority(std::string_view authority, bool secure)
{
    const std::size_t colon = authority.find(':');
    ServerAddress address;
    address.m_bSecure = secure;
    address.m_strHost = std::string(authority.substr(0, colon));
    if (!IsHost(address.m_strHost))
        return std::nullopt;
    if (colon == std::string_view::npos) {
        if (!secure)
            return std::nullopt;
        address.m_nPort = kSecurePort;
        return address;
    }
    const std::optional<unsigned short> port = Port(authority.substr(colon + 1));
    if (!port)
        return std::nullopt;
    address.m_nPort = *port;
    return address;
}

} // namespace

std::optional<ServerAddress> ParseServerSetting(std::string_view value)
{
    if (StartsWithIgnoringCase(value, kSecureScheme))
        return Authority(value.substr(kSecureScheme.size()), true);
    if (StartsWithIgnoringCase(value, kPlainScheme))
        return Authority(value.substr(kPlainScheme.size()), false);
    if (!IsHost(value))
        return std::nullopt;
    return ServerAddress{std::string(value), kPlainPort, false};
}

std::optional<RedirectTarget> SecureRedirectTarget(const ServerAddress& from, std::string_view location)
{
    if (!from.m_bSecure)
        return std::nullopt;
    location = location.substr(0, location.find('#'));  // the fragment is the browser's, never sent
    if (!location.empty() && location.front() == '/' && location.substr(0, 2) != "//")
        return RedirectTarget{from, std::string(location)};
    if (!StartsWithIgnoringCase(location, kSecureScheme))
        return std::nullopt;
    const std::string_view rest = location.substr(kSecureScheme.size());
    const std::size_t pathStart = rest.find_first_of("/?");
    const std::optional<ServerAddress> server = Authority(rest.substr(0, pathStart), true);
    if (!server)
        return std::nullopt;
    std::string objectName = pathStart == std::string_view::npos ? std::string() : std::string(rest.substr(pathStart));
    if (objectName.empty() || objectName.front() != '/')
        objectName.insert(0, "/");
    return RedirectTarget{*server, std::move(objectName)};
}
