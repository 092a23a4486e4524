// A dialog from a template resource, run modally by the framework's own loop (so that
// PreTranslateMessage sees every message before IsDialogMessage does). The object belongs
// to whoever runs it, normally on the stack for one run.
#pragma once

#include "winfx/wnd.h"

class CDialog : public CWnd {
public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Creates the dialog, disables its owner (the parent's top-level window) and runs the
    // modal loop until EndDialog. Returns EndDialog's result; IDCANCEL when the window was
    // destroyed from outside or the loop ended on WM_QUIT (the program is ending); -1 when
    // the dialog could not be created.
    INT_PTR DoModal();
    // Ends a modal run with this result; the window is destroyed when the loop returns.
    void EndDialog(INT_PTR result);

    bool PreTranslateMessage(MSG& msg) override;

protected:
    // After the controls exist. True lets the system put the focus on the first control.
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();

    bool ContinueModal() override;

    // A top-level dialog is centred on its owner when the owner is visible, otherwise on
    // the work area of the monitor under the cursor.
    void CenterWindow();

    UINT m_nTemplateId;
    CWnd* m_pParentWnd;

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override;

    // The dialog procedure of every framework dialog: binds the object on WM_INITDIALOG
    // (the creation parameter) by subclassing; everything else reaches the object through
    // its window procedure, so this leaves it to the dialog manager's defaults.
    static INT_PTR CALLBACK DialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

private:
    bool m_bEnded = false;
    INT_PTR m_nResult = IDCANCEL;
};
