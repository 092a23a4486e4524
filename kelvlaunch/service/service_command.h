// The service's HTTP command interface: one GET per command, carrying the account.
#pragma once

#include <string>

struct ServiceCommandResult {
    std::string m_strText;      // the reply body, or "NA" when no body was obtained
    bool m_bAnswered = false;   // status 200 and a non-empty body, every step succeeded
};

// Sends "Control?command=<command>&_os_app=demo&eMail=<email>&pAssword=<password>",
// unencoded, to the "server" setting (or the default server).
ServiceCommandResult SendServiceCommand(const std::string& command, const std::string& email,
                                        const std::string& passwordForm);
