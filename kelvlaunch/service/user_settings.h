// The account settings: name, username (the e-mail address), password (its stored
// form) and skin. Read from the registry once, at the first use; from then on memory
// holds them. Setters change memory only; the registry is written by an accepted
// account validation and by ClearAccount.
#pragma once

#include "sessions/session_table.h"

#include <windows.h>

#include <string>

constexpr int kLoginAccepted = 0;
constexpr int kLoginRejected = -1;
constexpr int kLoginNotAnswered = -2;

class CUserSettings {
public:
    std::string GetName();
    std::string GetUsername();
    std::string GetPassword();
    std::string GetSkin();

    void SetName(const std::string& name);
    void SetUsername(const std::string& username);
    void SetPassword(const std::string& password);
    void SetSkin(const std::string& skin);

    // Empties name, username and password, in memory and in the registry; skin stays.
    void ClearAccount();

    // Service commands. ValidateLogin returns kLoginAccepted, kLoginRejected (the
    // service said "NA") or kLoginNotAnswered (no usable reply: the exchange failed, the
    // status was not 200 or the body was empty); only acceptance stores the account.
    int ValidateLogin(const std::string& name, const std::string& email, const std::string& password);
    // Reads the host list's file again, merges the planned sessions into the list and
    // writes the file; false (with GetLastError) when the file could not be written, or
    // could not be read: hostUnreadError then holds why, and nothing is merged or written.
    bool GetPlannedSessions(SessionTablePtr& hostSessions, DWORD& hostUnreadError);

private:
    // Reads the four values from the registry, once per object; every operation,
    // setters included, calls it first.
    void EnsureLoaded();

    bool m_bLoaded = false;
    std::string m_strName;
    std::string m_strUsername;
    std::string m_strPassword;
    std::string m_strSkin;
};
