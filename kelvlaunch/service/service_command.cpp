#include "service/service_command.h"

#include "service/http_get.h"
#include "service/service_endpoints.h"
#include "service/settings_registry.h"

namespace {

// Read at every command, so a changed setting takes effect at once.
std::string ServiceServer()
{
    const std::string server = ReadRegistryString("server");
    return server.empty() ? kDefaultServiceServer : server;
}

} // namespace

ServiceCommandResult SendServiceCommand(const std::string& command, const std::string& email,
                                        const std::string& passwordForm)
{
    const std::string objectName =
        "Control?command=" + command + "&_os_app=demo&eMail=" + email + "&pAssword=" + passwordForm;
    HttpReply reply = HttpGet(ServiceServer(), objectName);

    ServiceCommandResult result;
    result.m_bAnswered = reply.m_bObtained && !reply.m_strBody.empty();
    result.m_strText = reply.m_strBody.empty() ? "NA" : std::move(reply.m_strBody);
    return result;
}
