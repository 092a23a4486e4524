// The launcher's icon in the notification area: its tooltip, its one-time welcome balloon,
// the menu on a click, and its return when the taskbar is created again.
#pragma once

#include "winfx/wnd.h"

#include "scoped_win.h"

#include <shellapi.h>

#include <string>

// Fills the tray menu just loaded, before it is shown.
class CTrayMenuBuilder {
public:
    virtual void BuildPlannedSessionMenu(HMENU menu) = 0;

protected:
    ~CTrayMenuBuilder() = default;
};

class CSystemTray : public CWnd {
public:
    explicit CSystemTray(CTrayMenuBuilder& menuBuilder);
    ~CSystemTray() override;  // deletes the icon and destroys the object's own window

    // Adds the icon, the program's icon resource at the size the shell shows; true when the
    // shell took it. The balloon (text and title may be null) shows with this add only, and
    // only on systems that have balloons.
    bool CreateIcon(CWnd* owner, UINT callbackMessage, const std::string& tip, UINT iconResource,
                    UINT iconId, const char* balloonText, const char* balloonTitle,
                    DWORD balloonIcon, UINT balloonTimeoutSeconds);
    // True when the icon is (or already was) gone, or icons are not supported.
    bool DeleteIcon();
    // Adds the icon again if the shell no longer holds it.
    void ShowAgain();

    // The icon's callback message: either button's release opens the tray menu, and so do
    // the keys the shell reports as the right button's press and release.
    virtual LRESULT HandleIconNotification(UINT iconId, UINT mouseMessage);
    // Called with the popup just before it is shown.
    virtual void PrepareMenu(HMENU popup);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    LRESULT OnTaskbarRestart(WPARAM, LPARAM);
    LRESULT OnSettingChange(WPARAM flag, LPARAM section);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    // The image of the small-icon size the display's DPI gives, rather than one the shell
    // would have to scale.
    void LoadIconImage();
    // The hidden window that hears the taskbar's broadcasts.
    void CreateBroadcastWindow();
    bool IconRect(RECT& rect) const;
    bool Notify(DWORD message, UINT flags);
    // Puts the icon back, trying the other request when the shell refuses the first: it
    // refuses an add for an icon it still holds and a modify for one it does not.
    void Restore(DWORD firstTry);

    NOTIFYICONDATAA m_iconData{};
    bool m_bShellSupported = false;
    bool m_bNotShown = true;
    bool m_bDeleted = true;
    bool m_bBalloonSupported = false;
    UINT m_nDefaultItem = 0;
    bool m_bDefaultByPosition = true;
    UINT m_uAddFlags = 0;
    // Between CreateIcon and DeleteIcon: a new taskbar gets the icon even when the first
    // add failed (the program started before the shell).
    bool m_bIconWanted = false;
    UINT m_nIconResource = 0;
    // The last notification was a right-button press without the button down: a key.
    bool m_bKeyboardPress = false;
    scoped::Icon m_icon;
    CTrayMenuBuilder& m_menuBuilder;
};
