// The main frame's tray icon: added at the frame's creation, its notifications handed to
// the icon object, and the planned-session submenu built before each showing.
#include "app/main_frame.h"

#include "app/kelvlaunch_app.h"
#include "res/resource.h"

namespace {

const char kTrayTip[] = "Click here to start a Kelvara Session!";
const char kSetupHint[] = "Please select \"Setup...\" to configure your Login Information.";
const char kWelcomeTitle[] = "Welcome to Kelvara";
constexpr UINT kWelcomeSeconds = 20;

} // namespace

void CMainFrame::AddTrayIcon()
{
    // Only an account without an e-mail address gets the welcome balloon.
    const bool noAccount = KelvlaunchApp().GetSettings()->GetUsername().empty();
    m_trayIcon.CreateIcon(this, WM_TRAY_NOTIFY, kTrayTip, IDR_MAINFRAME,
                          static_cast<UINT>(trayMenuId), noAccount ? kSetupHint : nullptr,
                          kWelcomeTitle, NIIF_WARNING, kWelcomeSeconds);
}

LRESULT CMainFrame::OnTrayIconMessage(WPARAM iconId, LPARAM mouseMessage)
{
    return m_trayIcon.HandleIconNotification(static_cast<UINT>(iconId),
                                             static_cast<UINT>(mouseMessage));
}

// Another start on this folder: the icon comes back if the shell lost it, and the menu
// opens at the pointer as a click on the icon opens it.
LRESULT CMainFrame::OnLaunchedAgain(WPARAM, LPARAM)
{
    m_trayIcon.ShowAgain();
    return m_trayIcon.HandleIconNotification(static_cast<UINT>(trayMenuId), WM_LBUTTONUP);
}

void CMainFrame::BuildPlannedSessionMenu(HMENU menu)
{
    const HMENU top = ::GetSubMenu(menu, 0);
    const HMENU planned =
        top ? ::GetSubMenu(top, trayMenuId == IDR_TRAY_MENU_REDUCED ? 0 : 2) : nullptr;
    if (!planned)
        return;
    while (::GetMenuItemCount(planned) > 0)
        ::RemoveMenu(planned, 0, MF_BYPOSITION);

    UINT nextId = ID_SESSION_FIRST;
    UINT position = 0;
    // One item per entry, in list order, and a separator after a group that has any. The
    // ids are stored in the entries, for the command that comes back.
    const auto addGroup = [&](SessionTable* table, const char* verb, const char* suffix) {
        const UINT groupStart = position;
        if (table) {
            for (SessionEntry& entry : *table) {
                entry.m_nCommandID = static_cast<int32_t>(nextId);
                const std::string text =
                    std::string(verb) + " \"" + entry.m_strDescription + "\"" + suffix;
                ::InsertMenuA(planned, position++, MF_BYPOSITION | MF_STRING, nextId++, text.c_str());
            }
        }
        if (position != groupStart)
            ::InsertMenuA(planned, position++, MF_BYPOSITION | MF_SEPARATOR, 0, nullptr);
    };
    CKelvlaunchApp& app = KelvlaunchApp();
    addGroup(app.m_pHostSessions.get(), "Host", "");
    addGroup(app.m_pGuestSessions.get(), "Join", " as a Guest");
    ::InsertMenuA(planned, position, MF_BYPOSITION | MF_STRING, ID_IMPORT_PLANNED,
                  "Import Planned Sessions");
}
