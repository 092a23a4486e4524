#include "tray_test_support.h"

#include "sessions/session_file_codec.h"
#include "tests/tools/window_driver.h"

#include <shlwapi.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";
const char kHeapCheckKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\kelvlaunch.exe";
const char kLauncherDefaultsKey[] = "Software\\Wine\\AppDefaults\\kelvlaunch.exe";
const char kLauncherX11Key[] = "Software\\Wine\\AppDefaults\\kelvlaunch.exe\\X11 Driver";
constexpr DWORD kTimeoutMs = LauncherRun::kTimeoutMs;

} // namespace

void StoreSetting(const char* name, const std::string& value)
{
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(),
                  static_cast<DWORD>(value.size() + 1));
}

void WriteList(const fs::path& file, const std::vector<std::string>& entries)
{
    std::vector<SessionEntry> list;
    for (const std::string& entry : entries) {
        const auto equals = entry.find('=');
        list.push_back(equals == std::string::npos
                           ? SessionEntry{entry, std::to_string(list.size() + 1)}
                           : SessionEntry{entry.substr(0, equals), entry.substr(equals + 1)});
    }
    std::ofstream(file, std::ios::binary) << FormatSessionFile(list);
}

void TrayTest::SetUpTestSuite()
{
    // Freed blocks are filled, so a use after free crashes the launcher.
    const DWORD flags = 0x70;
    ::SHSetValueA(HKEY_LOCAL_MACHINE, kHeapCheckKey, "GlobalFlag", REG_DWORD, &flags, sizeof flags);
}

void TrayTest::TearDownTestSuite()
{
    ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kHeapCheckKey);
}

void TrayTest::SetUp()
{
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    // The launcher's windows unmanaged: on a display without a window manager, Wine would
    // otherwise wait about 2 s for one each time a shown window (the dialog) is hidden.
    ::SHSetValueA(HKEY_CURRENT_USER, kLauncherX11Key, "Managed", REG_SZ, "N", 2);
}

void TrayTest::TearDown()
{
    DWORD exitCode = 0;
    if (m_run.Frame())
        m_run.Exit(exitCode);
    m_menus.reset();
    ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kLauncherDefaultsKey);
}

bool TrayTest::Start()
{
    if (!m_run.Start())
        return false;
    m_menus = std::make_unique<MenuReading>(KV_MENU_READER_DLL, Thread());
    if (!m_menus->Hooked() || !m_tray.WaitForRequests(1, kTimeoutMs))
        return false;
    m_iconId = m_tray.Requests()[0].id;
    return true;
}

DWORD TrayTest::Thread() const
{
    return ::GetWindowThreadProcessId(m_run.Frame(), nullptr);
}

MenuReport TrayTest::OpenMenu(UINT mouseMessage)
{
    MenuReport report;
    const std::size_t seen = m_menus->Count();
    ::PostMessageA(m_run.Frame(), WM_TRAY_NOTIFY, m_iconId, mouseMessage);
    EXPECT_TRUE(m_menus->WaitForReport(seen, kTimeoutMs, report)) << "no menu shown";
    return report;
}

bool TrayTest::WaitForMenuClosed() const
{
    return WaitUntil([this] { return TrackedMenuWindow(m_run.Process().Id()) == nullptr; }, kTimeoutMs);
}

std::string TrayTest::NextBrowserAddress()
{
    if (m_browser.Starts().size() <= m_browserStartsSeen && !m_browser.WaitForStart())
        return "(none)";
    const auto starts = m_browser.Starts();
    if (starts.size() <= m_browserStartsSeen)
        return "(none)";
    return starts[m_browserStartsSeen++].parameters;
}

bool TrayTest::ExitsCleanly()
{
    DWORD exitCode = 0xDEADBEEF;
    const HWND frame = m_run.Frame();
    const bool ended = m_run.Exit(exitCode);
    EXPECT_TRUE(ended);
    EXPECT_EQ(exitCode, 0u);
    const auto requests = m_tray.Requests();
    const bool deleted = !requests.empty() && requests.back().message == NIM_DELETE &&
                         requests.back().accepted && !m_tray.Holds(frame, m_iconId);
    EXPECT_TRUE(deleted) << "the icon was not deleted";
    EXPECT_TRUE(fs::is_empty(m_run.Temp())) << "a crash report was written";
    return ended && exitCode == 0 && deleted && fs::is_empty(m_run.Temp());
}
