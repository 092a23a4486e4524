// The launcher's main window: never shown; it receives the tray icon's notifications and
// the menu's commands.
#pragma once

#include "app/child_view.h"
#include "shell/system_tray.h"
#include "winfx/frame_wnd.h"

// The tray icon's callback message.
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 10;

class CMainFrame : public CFrameWnd, private CTrayMenuBuilder {
protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    CWnd* GetView() override { return &m_view; }

    int OnCreate(CREATESTRUCTA& cs);
    LRESULT OnDestroy(WPARAM, LPARAM);
    void OnExit();

    // Service commands and the dynamic command range (shell/frame_commands.cpp).
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery) override;
    bool OnSessionCommand(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery);
    void OnHostSession();
    void OnManageAccount();
    void OnSupport();
    void OnImportPlannedSessions();

    // The tray icon and its menu (shell/frame_tray.cpp, shell/frame_commands.cpp).
    void AddTrayIcon();
    LRESULT OnTrayIconMessage(WPARAM iconId, LPARAM mouseMessage);
    LRESULT OnLaunchedAgain(WPARAM, LPARAM);
    void BuildPlannedSessionMenu(HMENU menu) override;
    void OnBeGuest();
    // The Setup sheet (setup/).
    void OnSetup();

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    CSystemTray m_trayIcon{*this};  // destroyed last, which removes the icon
    CChildView m_view;
};
