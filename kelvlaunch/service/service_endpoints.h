// The service's fixed addresses, all over TLS. Page addresses always use the web base URL;
// only the command interface's server can be changed (registry value "server").
#pragma once

// Also shown on the About page, whose resource script can only take a macro.
#define KV_SERVICE_WEB_HOST "meet.kelvara.example"

#ifndef RC_INVOKED
inline constexpr char kServiceWebBaseUrl[] = "https://" KV_SERVICE_WEB_HOST "/";
inline constexpr char kServiceHomePage[] = "https://" KV_SERVICE_WEB_HOST;
inline constexpr char kDefaultServiceServer[] = "https://control.kelvara.example";
#endif
