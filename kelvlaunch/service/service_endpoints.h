// The service's fixed addresses. Page addresses always use the web base URL; only
// the command interface's server can be changed (registry value "server").
#pragma once

inline constexpr char kServiceWebBaseUrl[] = "http://meet.kelvara.example/";
inline constexpr char kDefaultServiceServer[] = "control.kelvara.example";
