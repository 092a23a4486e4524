#include "service/server_address.h"

#include <gtest/gtest.h>

namespace {

std::string Described(const std::optional<ServerAddress>& address)
{
    if (!address)
        return "invalid";
    return (address->m_bSecure ? "tls " : "plain ") + address->m_strHost + " " + std::to_string(address->m_nPort);
}

std::string Described(const std::optional<RedirectTarget>& target)
{
    return target ? Described(target->m_server) + " " + target->m_strObjectName : "refused";
}

TEST(ParseServerSetting, NamesTheTransportOfEachAcceptedForm)
{
    const std::pair<const char*, const char*> cases[] = {
        {"meet.example.com", "plain meet.example.com 80"},
        {"10.1.2.3", "plain 10.1.2.3 80"},
        {"https://meet.example.com", "tls meet.example.com 443"},
        {"HTTPS://Meet.Example.com:8443", "tls Meet.Example.com 8443"},
        {"https://h:1", "tls h 1"},
        {"https://h:65535", "tls h 65535"},
        {"http://meet.example.com:8080", "plain meet.example.com 8080"},
        {"Http://10.1.2.3:80", "plain 10.1.2.3 80"},
    };
    for (const auto& [value, expected] : cases)
        EXPECT_EQ(expected, Described(ParseServerSetting(value))) << value;
}

TEST(ParseServerSetting, RefusesEverythingElse)
{
    for (const char* value :
         {"", " meet.example.com", "meet.example.com ", "meet example", "meet;example", "meet_example",
          "meet.example.com:8080", "http://meet.example.com", "http://", "https://", "https://:443",
          "https://meet.example.com/", "https://meet.example.com/kv", "https://meet.example.com?x",
          "https://user@meet.example.com", "https://user:pw@meet.example.com", "ftp://meet.example.com",
          "https//meet.example.com", "https:meet.example.com", "https://meet.example.com:",
          "https://meet.example.com:0", "https://meet.example.com:65536", "https://meet.example.com:0443",
          "https://meet.example.com:99999", "https://meet.example.com:+443", "https://meet.example.com:44 3",
          "https://[::1]:443", "https://h:443:443", "https://meet.example.com\r\n", "https://m\xc3\xa9t.example"})
        EXPECT_EQ("invalid", Described(ParseServerSetting(value))) << value;
}

TEST(SecureRedirectTarget, FollowsOnlyToTlsAddresses)
{
    const ServerAddress from{"a.example", 8443, true};
    EXPECT_EQ("tls b.example 443 /Control?x=1", Described(SecureRedirectTarget(from, "https://b.example/Control?x=1")));
    EXPECT_EQ("tls b.example 9443 /", Described(SecureRedirectTarget(from, "HTTPS://b.example:9443")));
    EXPECT_EQ("tls b.example 443 /?q", Described(SecureRedirectTarget(from, "https://b.example?q#top")));
    EXPECT_EQ("tls a.example 8443 /kv/next?p", Described(SecureRedirectTarget(from, "/kv/next?p#frag")));

    for (const char* location : {"http://b.example/Control", "http://a.example:8443/", "//b.example/x", "next",
                                 "ftp://b.example/", "https://user@b.example/", "https://b.example:0/", "",
                                 "https:///x", "javascript:alert(1)"})
        EXPECT_EQ("refused", Described(SecureRedirectTarget(from, location))) << location;

    // A plain exchange never gets here, but if it did nothing would count as staying on TLS.
    EXPECT_EQ("refused", Described(SecureRedirectTarget({"a.example", 80, false}, "https://b.example/")));
}

} // namespace
