#include "service/service_command.h"

#include "ansi_code_page.h"
#include "ansi_text.h"
#include "service/http_get.h"
#include "service/internet_error.h"
#include "service/server_address.h"
#include "service/service_endpoints.h"
#include "service/settings_registry.h"
#include "winfx/win_app.h"

namespace {

// Enough of a mistyped value to recognise it by.
constexpr std::size_t kMaxShownServer = 100;

// Read at every command, so a changed setting takes effect at once.
std::string ServiceServer()
{
    const std::string server = ReadRegistryString("server");
    return server.empty() ? kDefaultServiceServer : server;
}

// Nothing is sent to a server the setting does not name clearly; the user sees why, in the
// box of a failed exchange.
void ReportInvalidServer(const std::string& server)
{
    const std::string shown(CutToWholeCharacters(server, kMaxShownServer, IsAnsiLeadByte));
    CWinApp::GetApp()->ShowMessageBox(
        "The server setting \"" + shown +
            "\" is not valid. It takes a host name, https://host, https://host:port or http://host:port.",
        MB_ICONEXCLAMATION);
}

} // namespace

ServiceCommandResult SendServiceCommand(const std::string& command, const std::string& email,
                                        const std::string& passwordForm)
{
    const std::string objectName =
        "Control?command=" + command + "&_os_app=demo&eMail=" + email + "&pAssword=" + passwordForm;
    const std::string setting = ServiceServer();
    const std::optional<ServerAddress> server = ParseServerSetting(setting);
    HttpReply reply;
    if (server)
        reply = HttpGet(*server, objectName);
    else
        ReportInvalidServer(setting);

    ServiceCommandResult result;
    result.m_bAnswered = reply.m_bObtained && !reply.m_strBody.empty();
    result.m_strText = reply.m_strBody.empty() ? "NA" : std::move(reply.m_strBody);
    return result;
}
