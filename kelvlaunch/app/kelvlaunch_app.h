// The launcher's application object: owns the settings and the two session lists for the
// whole run; every part of the launcher reaches them through it.
#pragma once

#include "service/user_settings.h"
#include "sessions/session_table.h"
#include "winfx/win_app.h"

#include <memory>
#include <string>

class CKelvlaunchApp : public CWinApp {
public:
    CKelvlaunchApp();

    bool InitInstance() override;

    CUserSettings* GetSettings() const { return m_pSettings.get(); }

    // Opens a page of the service in the browser (shell/).
    void OpenServicePage(std::string pagePath, bool withCredentials);
    void LaunchBrowser(const std::string& address);

    SessionTablePtr m_pHostSessions;   // null after the Exit command
    SessionTablePtr m_pGuestSessions;  // null after the Exit command
    std::unique_ptr<CUserSettings> m_pSettings;
};

// The one application object.
CKelvlaunchApp& KelvlaunchApp();

// The registered "TaskbarCreated" message, sent when the taskbar is created again.
extern const UINT taskbarCreatedMessage;
// The tray menu's resource id, also the tray icon's id: IDR_TRAY_MENU, or
// IDR_TRAY_MENU_REDUCED when a skin is stored at start-up.
extern int trayMenuId;
