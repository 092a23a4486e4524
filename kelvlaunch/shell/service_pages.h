// The service's web pages that the tray commands open, and their addresses. Platform-free:
// the account's values come in, the address goes out. Values go into the address byte for
// byte: the service's pages expect them so, and nothing is encoded.
#pragma once

#include <string>

inline constexpr char kHostSessionPage[] = "kv/host.jsp?agent";
inline constexpr char kManageAccountPage[] = "login?agent";
inline constexpr char kSupportPage[] = "support?agent";

// The stored account, as the pages take it.
struct PageAccount {
    std::string name;
    std::string email;
    std::string password;
    std::string skin;
};

// Hosting a listed session; opened with the credentials.
std::string HostJoinPage(const std::string& accessCode);
// Joining as a guest: the name, e-mail address and skin, never the password.
std::string GuestJoinPage(const std::string& accessCode, const PageAccount& account);
// A page's whole address: the web base URL and the page's path, then, when credentials are
// given, their e-mail address, password and skin.
std::string ServicePageAddress(const std::string& pagePath, const PageAccount* credentials);
