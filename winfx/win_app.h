// The application object: one per program, constructed statically; the program's entry
// (win_main.cpp) runs its InitInstance and then its message loop.
#pragma once

#include "winfx/cmd_target.h"

#include <string>

class CWnd;

class CWinApp : public CCmdTarget {
public:
    CWinApp();  // becomes the process's application object
    ~CWinApp() override;

    static CWinApp* GetApp();

    // The executable's file name without its extension.
    const std::string& GetTitle() const { return m_title; }

    // The application's message box: one OK button, the title as caption, and the given
    // icon flags (MB_ICONINFORMATION, MB_ICONERROR, ...). Owned by the given window, or
    // without one by whatever window of ours is active.
    void ShowMessageBox(const std::string& text, UINT iconFlags = 0, HWND owner = nullptr) const;

    // Start-up on the UI thread; false ends the program at once.
    virtual bool InitInstance();
    // The message loop; returns the exit code that WM_QUIT carries.
    virtual int Run();

    // Its destruction ends the message loop with exit code 0.
    CWnd* m_pMainWnd = nullptr;

private:
    std::string m_title;
};
