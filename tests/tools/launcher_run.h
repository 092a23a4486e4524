// kelvlaunch.exe as a user installs and starts it, in a folder of the test's own:
// bin/ holds the program and StackTrace.dll, work/ is its (empty) working directory and
// temp/ its temp folder. The test drives it through its hidden frame as the menu would.
#pragma once

#include "tests/tools/child_process.h"
#include "tests/tools/file_bytes.h"

#include <windows.h>

#include <filesystem>
#include <string>

class LauncherRun {
public:
    // Lays out a fresh folder (by default "run") in the current directory with the two binaries.
    LauncherRun(const std::string& program, const std::string& stackTraceDll, const std::string& folder = "run");

    const std::filesystem::path& Root() const { return m_root; }
    std::filesystem::path Bin() const { return m_root / "bin"; }
    std::filesystem::path Work() const { return m_root / "work"; }
    std::filesystem::path Temp() const { return m_root / "temp"; }
    const ChildProcess& Process() const { return m_process; }

    // Starts the program, nothing more.
    bool Launch();
    // Starts the program and waits until its hidden frame exists and its loop runs.
    bool Start();
    // The hidden main frame: the top-level window titled after the program.
    HWND Frame() const;
    // WM_COMMAND with the id and notification code 0, as a menu item sends it.
    bool Command(UINT id) const;
    // The tray menu's Exit command; the process's exit code, or false if it did not end.
    bool Exit(DWORD& exitCode) const;
    bool WaitForExit(DWORD& exitCode) const;

    static constexpr DWORD kTimeoutMs = 30000;

private:
    std::filesystem::path m_root;
    ChildProcess m_process;
};
