// The service's web pages that the tray commands open, as paths after the web base URL.
#pragma once

inline constexpr char kHostSessionPage[] = "kv/host.jsp?agent";
inline constexpr char kManageAccountPage[] = "login?agent";
inline constexpr char kSupportPage[] = "support?agent";
