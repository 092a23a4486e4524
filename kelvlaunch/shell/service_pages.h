// The service's web pages that the tray commands open, as paths after the web base URL.
#pragma once

#include <string>

inline constexpr char kHostSessionPage[] = "kv/host.jsp?agent";
inline constexpr char kManageAccountPage[] = "login?agent";
inline constexpr char kSupportPage[] = "support?agent";

// Hosting a listed session; opened with the credentials.
std::string HostJoinPage(const std::string& accessCode);
// Joining as a guest: the stored name, e-mail address and skin, never the password.
std::string GuestJoinPage(const std::string& accessCode);
