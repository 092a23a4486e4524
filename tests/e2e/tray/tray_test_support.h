// The launcher started against a stand-in notification area, with its UI thread hooked by
// the menu reader, and the browser recorded. Heap checking is on for the launcher, so a
// use after free crashes it instead of passing unseen.
#pragma once

#include "tests/tools/launcher_run.h"
#include "tests/tools/menu_reading.h"
#include "tests/tools/tray_stand_in.h"

#include "browser_recording.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

inline constexpr UINT WM_TRAY_NOTIFY = WM_APP + 10;
inline constexpr char kBaseUrl[] = "https://meet.kelvara.example/";

void StoreSetting(const char* name, const std::string& value);
// Writes a list file of entries named by their Descriptions, with access codes 1, 2, ...
// unless given as "description=code".
void WriteList(const std::filesystem::path& file, const std::vector<std::string>& entries);

class TrayTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    void SetUp() override;
    void TearDown() override;

    // Starts the launcher, hooks its thread and waits for its first request to the tray.
    bool Start();
    DWORD Thread() const;
    // Posts the shell's notification for a button's release and returns the popup shown.
    MenuReport OpenMenu(UINT mouseMessage = WM_RBUTTONUP);
    bool WaitForMenuClosed() const;
    // The next start of the browser; "(none)" when none came.
    std::string NextBrowserAddress();
    // Exit through the frame, as the menu's item sends it; true when the process ended with
    // code 0, the icon was deleted and no crash report was written.
    bool ExitsCleanly();

    TrayStandIn m_tray;
    LauncherRun m_run{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL};
    BrowserRecording m_browser{std::filesystem::absolute("browser.txt").string()};
    std::unique_ptr<MenuReading> m_menus;
    std::size_t m_browserStartsSeen = 0;
    UINT m_iconId = 0;
};
