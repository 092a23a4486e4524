// The launcher's application object: owns the settings and the two session lists for the
// whole run; every part of the launcher reaches them through it.
#pragma once

#include "app/launcher_instance.h"
#include "service/user_settings.h"
#include "sessions/session_table.h"
#include "shell/service_pages.h"
#include "winfx/win_app.h"

#include <cstdint>
#include <memory>
#include <string>

class CHostDialog;
class CTabSheet;

class CKelvlaunchApp : public CWinApp {
public:
    CKelvlaunchApp();

    bool InitInstance() override;

    CUserSettings* GetSettings() const { return m_pSettings.get(); }

    // Opens a page of the service in the browser (shell/).
    PageAccount GetPageAccount() const;
    void OpenServicePage(const std::string& pagePath, bool withCredentials);
    void LaunchBrowser(const std::string& address);

    // The Setup sheet (setup/), run modally; a second one is never opened.
    void ShowSetupSheet(bool loginFirst);
    // After a new host table was installed or merged into: advances the generation and lets
    // an open Host Meetings page show the new rows.
    void HostSessionsChanged();
    // Tells the user that a list file could not be written after a change, and why.
    void ReportListNotSaved(const char* fileName, DWORD error) const;
    // Tells the user that a change to a list was not made because its file could not be read.
    void ReportListUnread(const char* fileName, DWORD error) const;
    // True, after telling the user, when the list of that file is unread.
    bool RefuseChangeWhileUnread(const char* fileName) const;
    // Tries again to read the lists whose files could not be read.
    void ReadUnreadLists();

    std::uint64_t m_nHostSessionsGeneration = 0;
    // While the Setup sheet is open.
    CTabSheet* m_pSetupSheet = nullptr;
    CHostDialog* m_pOpenHostPage = nullptr;

    SessionTablePtr m_pHostSessions;   // null after the Exit command
    SessionTablePtr m_pGuestSessions;  // null after the Exit command
    // Why each list's file, which is there, could not be read when last tried; ERROR_SUCCESS
    // once it was read, or while it is missing. Such an unread list is never written: its
    // file may hold entries the table lacks.
    DWORD m_nHostUnreadError = ERROR_SUCCESS;
    DWORD m_nGuestUnreadError = ERROR_SUCCESS;
    std::unique_ptr<CUserSettings> m_pSettings;
    CLauncherInstance m_launcherInstance;

private:
    // The list warning: the text, then the system's reason; owned by an open Setup sheet.
    void ShowListWarning(const std::string& text, DWORD error) const;
};

// The one application object.
CKelvlaunchApp& KelvlaunchApp();

// True while ShowSetupSheet runs the sheet.
extern bool setupSheetOpen;

// The registered "TaskbarCreated" message, sent when the taskbar is created again.
extern const UINT taskbarCreatedMessage;
// Registered: a later start on the same working folder asks the running launcher's frame
// for its icon and menu.
extern const UINT launchedAgainMessage;
// The tray menu's resource id, also the tray icon's id: IDR_TRAY_MENU, or
// IDR_TRAY_MENU_REDUCED when a skin is stored at start-up.
extern int trayMenuId;
