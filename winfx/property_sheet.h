// A property sheet with its pages, run modally by the framework's own loop, so that
// PreTranslateMessage sees every message before PropSheet_IsDialogMessage does.
#pragma once

#include "winfx/dialog.h"

#include <vector>

// A page from a dialog template; its window is created the first time the sheet shows it,
// and bound to the object through the page's lParam.
class CPropertyPage : public CDialog {
public:
    explicit CPropertyPage(UINT templateId) : CDialog(templateId) {}

private:
    friend class CPropertySheet;
    static INT_PTR CALLBACK PageDialogProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(std::string caption) : m_strCaption(std::move(caption)) {}
    ~CPropertySheet() override;

    // The sheet shows the first page added first. The pages must outlive DoModal.
    void AddPage(CPropertyPage* page) { m_pages.push_back(page); }

    // Creates the sheet and runs it until the user closes it. The sheet's window, and with it
    // every page's window, is destroyed before this returns, on every path. False when the
    // loop ended on WM_QUIT: the program is ending.
    bool DoModal();

    bool PreTranslateMessage(MSG& msg) override;

protected:
    // After the sheet and its first page exist.
    virtual void OnInitDialog() {}

    bool ContinueModal() override;

    // After a page change: the focus must not stay on a control of the page just hidden.
    void KeepFocusVisible() const;
    LRESULT OnSetCurSel(WPARAM wParam, LPARAM lParam);

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    std::string m_strCaption;
    std::vector<CPropertyPage*> m_pages;
};
