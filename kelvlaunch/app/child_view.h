// The main frame's only child window: empty.
#pragma once

#include "winfx/wnd.h"

class CChildView : public CWnd {
protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override;

    void OnPaint();

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};
