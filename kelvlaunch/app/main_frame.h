// The launcher's main window: never shown; it receives the tray icon's notifications and
// the menu's commands.
#pragma once

#include "app/child_view.h"
#include "winfx/frame_wnd.h"

class CMainFrame : public CFrameWnd {
protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    CWnd* GetView() override { return &m_view; }

    int OnCreate(CREATESTRUCTA& cs);
    void OnExit();

    // Service commands and the dynamic command range (shell/frame_commands.cpp).
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery) override;
    bool OnSessionCommand(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery);
    void OnHostSession();
    void OnManageAccount();
    void OnSupport();
    void OnImportPlannedSessions();

    // The Setup sheet (setup/).
    void OnSetup();

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    CChildView m_view;
};
