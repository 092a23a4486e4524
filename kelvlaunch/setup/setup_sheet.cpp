// The Setup sheet's run, the tray command that opens it, and what the rest of the program
// tells an open sheet.
#include "app/kelvlaunch_app.h"
#include "app/main_frame.h"
#include "setup/about_dialog.h"
#include "setup/login_dialog.h"
#include "setup/meeting_page.h"
#include "setup/tab_sheet.h"
#include "sessions/session_store.h"
#include "winfx/system_error.h"

bool setupSheetOpen = false;

void CMainFrame::OnSetup()
{
    KelvlaunchApp().ShowSetupSheet(false);
}

void CKelvlaunchApp::ShowSetupSheet(bool loginFirst)
{
    CUserSettings& settings = *GetSettings();
    if (settings.GetUsername().empty())
        loginFirst = true;
    if (setupSheetOpen)
        return;
    setupSheetOpen = true;
    ReadUnreadLists();
    {
        // Declared first, so that its window (and with it every page's) is gone before the
        // pages are deleted, in the reverse order of their creation.
        CTabSheet sheet;
        CHostDialog host;
        CGuestDialog guest;
        CLoginDialog login;
        CAboutDialog about;
        if (loginFirst) {
            for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&login, &host, &guest, &about})
                sheet.AddPage(page);
        } else {
            for (CPropertyPage* page : std::initializer_list<CPropertyPage*>{&host, &guest, &login, &about})
                sheet.AddPage(page);
        }
        const std::string password = settings.GetPassword();
        const std::string email = settings.GetUsername();
        const std::string name = settings.GetName();
        login.SetAccount(name, email, password);

        m_pSetupSheet = &sheet;
        m_pOpenHostPage = &host;
        sheet.DoModal();
        m_pSetupSheet = nullptr;
        m_pOpenHostPage = nullptr;
        setupSheetOpen = false;
    }
}

void CKelvlaunchApp::HostSessionsChanged()
{
    ++m_nHostSessionsGeneration;
    if (m_pOpenHostPage)
        m_pOpenHostPage->OnHostSessionsChanged();
}

namespace {

bool IsHostFile(const char* fileName)
{
    return std::string(fileName) == kHostSessionFile;
}

std::string ListOf(const char* fileName)
{
    return std::string("The list of ") + (IsHostFile(fileName) ? "host" : "guest") + " sessions";
}

} // namespace

void CKelvlaunchApp::ShowListWarning(const std::string& text, DWORD error) const
{
    ShowMessageBox(text + "\r\n\r\n" + SystemErrorText(error), MB_ICONEXCLAMATION,
                   m_pSetupSheet ? m_pSetupSheet->m_hWnd : nullptr);
}

void CKelvlaunchApp::ReportListNotSaved(const char* fileName, DWORD error) const
{
    ShowListWarning(ListOf(fileName) + " could not be saved to \"" + fileName +
                        "\", so the change will be lost when the launcher starts again.",
                    error);
}

void CKelvlaunchApp::ReportListUnread(const char* fileName, DWORD error) const
{
    ShowListWarning(ListOf(fileName) + " could not be read from \"" + fileName +
                        "\", so it was not changed. It is read again when Setup opens.",
                    error);
}

bool CKelvlaunchApp::RefuseChangeWhileUnread(const char* fileName) const
{
    const DWORD error = IsHostFile(fileName) ? m_nHostUnreadError : m_nGuestUnreadError;
    if (error == ERROR_SUCCESS)
        return false;
    ReportListUnread(fileName, error);
    return true;
}
