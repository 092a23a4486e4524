#include "service/user_settings.h"

#include "service/settings_registry.h"

void CUserSettings::EnsureLoaded()
{
    if (m_bLoaded)
        return;
    m_bLoaded = true;
    m_strName = ReadRegistryString("name");
    m_strUsername = ReadRegistryString("username");
    m_strPassword = ReadRegistryString("password");
    m_strSkin = ReadRegistryString("skin");
}

std::string CUserSettings::GetName()
{
    EnsureLoaded();
    return m_strName;
}

std::string CUserSettings::GetUsername()
{
    EnsureLoaded();
    return m_strUsername;
}

std::string CUserSettings::GetPassword()
{
    EnsureLoaded();
    return m_strPassword;
}

std::string CUserSettings::GetSkin()
{
    EnsureLoaded();
    return m_strSkin;
}

void CUserSettings::SetName(const std::string& name)
{
    EnsureLoaded();
    m_strName = name;
}

void CUserSettings::SetUsername(const std::string& username)
{
    EnsureLoaded();
    m_strUsername = username;
}

void CUserSettings::SetPassword(const std::string& password)
{
    EnsureLoaded();
    m_strPassword = password;
}

void CUserSettings::SetSkin(const std::string& skin)
{
    EnsureLoaded();
    m_strSkin = skin;
}

void CUserSettings::ClearAccount()
{
    EnsureLoaded();
    m_strUsername.clear();
    m_strPassword.clear();
    m_strName.clear();
    WriteRegistryString("name", "");
    WriteRegistryString("username", "");
    WriteRegistryString("password", "");
}
