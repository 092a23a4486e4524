// A top-level frame window: created from a resource id, routes commands to its view, and
// owns itself (the object is deleted when its window is destroyed, so allocate it with new).
#pragma once

#include "winfx/wnd.h"

// Control id of a frame's view, its first pane.
constexpr UINT IDW_PANE_FIRST = 0xE900;

class CFrameWnd : public CWnd {
public:
    // Creates the frame window, titled with the application's title; the resource id
    // names the icon of the frame's default window class.
    bool LoadFrame(UINT resourceId, DWORD style, CWnd* parent = nullptr);

    // Routes a command to the view, then to this frame's map, then to the application.
    bool OnCmdMsg(UINT id, int code, void* extra, CommandHandlerQuery* handlerQuery) override;

protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    void PostNcDestroy() override;

    // The frame's view: first in command routing, given the focus. None by default.
    virtual CWnd* GetView();

    void OnSetFocus(HWND previousFocus);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override;

private:
    UINT m_resourceId = 0;
};
