// A text static that acts as a hyperlink: underlined, in the link colour, a hand cursor, a
// tooltip with its target, and a shell "open" of the target on click. From the keyboard it
// takes the focus (shown by a focus rectangle) and opens on Enter or Space; a screen reader
// learns it as a link whose default action opens it.
#pragma once

#include "winfx/controls.h"

#include <string>

class CStaticLink : public CStatic {
public:
    // The target, also the tooltip's text. Without one, a click opens the control's text.
    void SetUrl(const std::string& url);

    bool PreTranslateMessage(MSG& msg) override;

    // Shown over the link; owned by whoever sets it.
    HCURSOR m_cursor = nullptr;

protected:
    void PreSubclassWindow() override;

    HBRUSH OnLinkColor(HDC dc, UINT ctlColor);
    bool OnLinkSetCursor(HWND window, UINT hitTest, UINT message);
    void OnLinkClicked();
    LRESULT OnLinkGetDlgCode(WPARAM key, LPARAM message);
    LRESULT OnLinkKeyDown(WPARAM key, LPARAM flags);
    LRESULT OnLinkFocusChange(WPARAM, LPARAM);
    void OnLinkSetFocus(HWND previousFocus);
    void OnLinkPaint();
    LRESULT OnLinkGetObject(WPARAM flags, LPARAM objectId);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    COLORREF TextColor() const;

    COLORREF m_unvisitedColor = RGB(0, 0, 255);
    COLORREF m_visitedColor = RGB(0, 0, 255);
    bool m_visited = false;
    CToolTipCtrl m_tooltip;
    std::string m_url;
    CFont m_underlineFont;
};
