// Account validation: the typed account is tried against the service and kept only
// when the service accepts it.
#include "service/user_settings.h"

#include "service/md5.h"
#include "service/reply_elements.h"
#include "service/service_command.h"
#include "service/settings_registry.h"

namespace {

// Exactly 32 characters are taken as an already digested password.
constexpr std::size_t kDigestLength = 32;

std::string PasswordForm(const std::string& password)
{
    if (password.size() == kDigestLength)
        return password;
    return CMD5(password.c_str()).GetHexDigest();
}

} // namespace

// The typed account goes to the service as it is; memory and registry change only once the
// service has accepted it, so a command run meanwhile still uses the stored account.
int CUserSettings::ValidateLogin(const std::string& name, const std::string& email, const std::string& password)
{
    const std::string passwordForm = PasswordForm(password);
    const ServiceCommandResult result = SendServiceCommand("validateLogin", email, passwordForm);
    if (!result.m_bAnswered)
        return kLoginNotAnswered;
    if (result.m_strText == "NA")
        return kLoginRejected;

    const std::string skin = ExtractElement("skin", result.m_strText);
    SetUsername(email);
    SetPassword(passwordForm);
    SetName(name);
    SetSkin(skin);
    WriteRegistryString("name", name);
    WriteRegistryString("username", email);
    WriteRegistryString("password", passwordForm);
    WriteRegistryString("skin", skin);
    return kLoginAccepted;
}
