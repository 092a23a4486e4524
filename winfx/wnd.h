// A window object bound to its HWND. Windows of the classes registered here learn their
// object in WM_NCCREATE; windows created elsewhere (controls) are attached by subclassing.
#pragma once

#include "winfx/cmd_target.h"

#include <string>

class CWnd : public CCmdTarget {
public:
    CWnd() = default;
    ~CWnd() override;  // destroys a window that is still attached

    // The object attached to a window, or null.
    static CWnd* FromHandle(HWND hWnd);

    // Offers a message to PreTranslateMessage of each window object from its target up to
    // the target's top-level window. True when one of them has dealt with it, so it must
    // not be dispatched. Every message loop of the program calls this.
    static bool WalkPreTranslateTree(MSG& msg);

    bool CreateEx(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                  int width, int height, HWND parent, HMENU menuOrId);
    // A child window with a control id.
    bool Create(LPCSTR className, LPCSTR windowName, DWORD style, const RECT& rect, CWnd* parent,
                UINT id);
    bool DestroyWindow();

    // Attaches an existing window (a control) and routes its messages through this object.
    bool SubclassWindow(HWND hWnd);
    // The same for the child of a dialog (or any window) with this control id.
    bool SubclassDlgItem(UINT id, CWnd* parent);
    HWND UnsubclassWindow();

    // The whole text of the window, however long (WM_GETTEXT, so it works on any window).
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text) const;
    // The same for a child window, by its control id.
    HWND GetDlgItem(UINT id) const;
    std::string GetDlgItemText(UINT id) const;
    void SetDlgItemText(UINT id, const std::string& text) const;

    // A message about to be dispatched; true swallows it.
    virtual bool PreTranslateMessage(MSG& msg);

    HWND m_hWnd = nullptr;

protected:
    // A window is being attached by subclassing (m_hWnd is set): controls set up their helpers.
    virtual void PreSubclassWindow() {}

    // May adjust every creation parameter; false cancels the creation.
    virtual bool PreCreateWindow(CREATESTRUCTA& cs);
    // Commands go to OnCmdMsg, other messages to the message map, the rest to DefWindowProc.
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Called once the window is gone and the outermost of its messages then being handled
    // has returned (or its creation has failed), so a handler whose nested loop saw the
    // window destroyed still has its object. Objects that own themselves delete themselves
    // here.
    virtual void PostNcDestroy();

    // Runs the UI thread's messages, each offered to WalkPreTranslateTree first, for as long
    // as ContinueModal() says so. A WM_QUIT seen here is posted again so that every loop out
    // to the application's ends too; the result is then false.
    bool RunModalLoop();
    virtual bool ContinueModal();

    // Offers a control's notification (WM_CTLCOLORSTATIC, a WM_COMMAND notification) to the
    // control's own map; true, with its result, when the control dealt with it.
    static bool ReflectNotification(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // WM_GETDLGCODE of a control that takes Enter itself, where the dialog would press its
    // default button: the default answer plus the wish for that message.
    LRESULT DlgCodeTakingEnter(LPARAM message);

    // The window class's own processing (or the subclassed control's).
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    // Default processing of the message now being handled.
    LRESULT Default();

    int OnCreate(CREATESTRUCTA& cs);

    // Registers (once) a window class with these attributes whose windows are bound to
    // their objects, and returns its name.
    static LPCSTR RegisterWndClass(UINT classStyle, HCURSOR cursor = nullptr,
                                   HBRUSH background = nullptr, HICON icon = nullptr);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override;

private:
    struct CurrentMessage {
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
    };
    class Handling;

    static LRESULT CALLBACK StaticWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Attach(HWND hWnd);
    void Detach();
    void ForgetWindow();

    WNDPROC m_superWindowProc = nullptr;
    // The innermost message of this window being handled, for Default().
    const CurrentMessage* m_pCurrentMessage = nullptr;
    // Messages of this window being handled now (its creation counts as one), and whether
    // the window was destroyed meanwhile: PostNcDestroy waits for the count to reach zero.
    int m_nHandling = 0;
    bool m_bWindowGone = false;
};
