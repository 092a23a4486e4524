// Input: a server setting or, after a 0x00 byte, a redirect's Location.
#include "service/server_address.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// What the parser found must be the whole story: written back out and read again, it is
// the same address.
void CheckAddress(const ServerAddress& address)
{
    Check(!address.m_strHost.empty() && address.m_nPort != 0);
    Check(address.m_strHost.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-") ==
          std::string::npos);
    const std::string written = (address.m_bSecure ? "https://" : "http://") + address.m_strHost + ":" +
                                std::to_string(address.m_nPort);
    const std::optional<ServerAddress> again = ParseServerSetting(written);
    Check(again && again->m_strHost == address.m_strHost && again->m_nPort == address.m_nPort &&
          again->m_bSecure == address.m_bSecure);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto split = input.find('\0');
    if (split == std::string::npos) {
        if (const std::optional<ServerAddress> address = ParseServerSetting(input))
            CheckAddress(*address);
        return 0;
    }
    const ServerAddress from{"a.example", 443, true};
    if (const std::optional<RedirectTarget> target = SecureRedirectTarget(from, input.substr(split + 1))) {
        CheckAddress(target->m_server);
        Check(target->m_server.m_bSecure);
        Check(!target->m_strObjectName.empty() && target->m_strObjectName.front() == '/');
        Check(target->m_strObjectName.find('#') == std::string::npos);
    }
    return 0;
}
