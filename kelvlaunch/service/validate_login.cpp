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

int CUserSettings::ValidateLogin(const std::string& name, const std::string& email, const std::string& password)
{
    const std::string previousUsername = GetUsername();
    const std::string previousPassword = GetPassword();
    SetUsername(email);
    SetPassword(PasswordForm(password));

    const ServiceCommandResult result = SendServiceCommand("validateLogin", GetUsername(), GetPassword());
    if (!result.m_bAnswered || result.m_strText == "NA") {
        SetUsername(previousUsername);
        SetPassword(previousPassword);
        return result.m_bAnswered ? kLoginRejected : kLoginNotAnswered;
    }

    const std::string skin = ExtractElement("skin", result.m_strText);
    SetName(name);
    SetSkin(skin);
    WriteRegistryString("name", name);
    WriteRegistryString("username", email);
    WriteRegistryString("password", GetPassword());
    WriteRegistryString("skin", skin);
    return kLoginAccepted;
}
