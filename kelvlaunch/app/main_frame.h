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

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    CChildView m_view;
};
