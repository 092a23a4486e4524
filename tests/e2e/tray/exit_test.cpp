// Exit at any moment: while the tray menu is open, while the import's error box is up, and
// while the access-code dialog is open, the launcher ends with code 0, deletes its icon,
// starts no browser and leaves both list files as they were. So does a launcher that could
// not load WinInet, while its import says so. Heap checking is on, so a handler that touched
// its freed frame would crash the program.
#include "tray_test_support.h"

#include "scoped_win.h"
#include "tests/tools/window_driver.h"

#include <tlhelp32.h>

#include <cstdlib>
#include <fstream>
#include <functional>

namespace fs = std::filesystem;

namespace {

bool VisibleWindowTitled(DWORD processId, const std::string& title)
{
    for (HWND hWnd : TopLevelWindowsOf(processId))
        if (::IsWindowVisible(hWnd) && WindowText(hWnd) == title)
            return true;
    return false;
}

// Where the process loaded the named module from, or "".
std::string LoadedModulePath(DWORD processId, const char* name)
{
    const scoped::File snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = snapshot && ::Module32First(snapshot.get(), &module); more;
         more = ::Module32Next(snapshot.get(), &module))
        if (::lstrcmpiA(module.szModule, name) == 0)
            return module.szExePath;
    return {};
}

class ExitTest : public TrayTest {
protected:
    void ExpectCleanExitFrom(const std::function<void()>& enterState)
    {
        // Line ends and spacing that the program's own writer would not give, so that any
        // rewrite shows.
        const std::string hosts = "<sessions>\n  <session Description=\"Weekly review\" AccessCode=\"123456\"/>\n"
                                  "  <session Description=\"Board\" AccessCode=\"777\"/>\n</sessions>\n";
        const std::string guests = "<sessions>\n  <session Description=\"xyz\" AccessCode=\"333\"/>\n</sessions>\n";
        std::ofstream(m_run.Work() / "sessions.xml", std::ios::binary) << hosts;
        std::ofstream(m_run.Work() / "osessions.xml", std::ios::binary) << guests;
        ASSERT_TRUE(Start());

        enterState();
        EXPECT_TRUE(ExitsCleanly());
        EXPECT_TRUE(m_browser.Starts().empty());
        EXPECT_EQ(ReadFileBytes(m_run.Work() / "sessions.xml"), hosts);
        EXPECT_EQ(ReadFileBytes(m_run.Work() / "osessions.xml"), guests);
    }
};

TEST_F(ExitTest, WhileTheTrayMenuIsOpen)
{
    ExpectCleanExitFrom([this] {
        OpenMenu();
        PostMenuChar(Thread(), 'j');  // the planned-session submenu open too
        ASSERT_TRUE(WaitUntil([this] { return m_menus->Count() == 2; }, LauncherRun::kTimeoutMs));
    });
}

TEST_F(ExitTest, WhileTheImportsErrorBoxIsUp)
{
    // Nothing listens there: the import fails at once and says so in a box. WinInet is the
    // system's, not a wininet.dll planted beside the program.
    StoreSetting("server", KV_UNUSED_ADDRESS);
    fs::copy_file(m_run.Bin() / "StackTrace.dll", m_run.Bin() / "wininet.dll");
    ExpectCleanExitFrom([this] {
        ::PostMessageA(m_run.Frame(), WM_COMMAND, 11000, 0);
        ASSERT_TRUE(WaitForMessageBox(m_run.Process().Id(), "kelvlaunch", LauncherRun::kTimeoutMs));
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        EXPECT_STRCASEEQ(LoadedModulePath(m_run.Process().Id(), "wininet.dll").c_str(),
                         (std::string(system) + "\\wininet.dll").c_str());
    });
}

TEST_F(ExitTest, WhileTheAccessCodeDialogIsOpen)
{
    ExpectCleanExitFrom([this] {
        ::PostMessageA(m_run.Frame(), WM_COMMAND, 32796, 0);
        ASSERT_TRUE(WaitUntil([this] { return VisibleWindowTitled(m_run.Process().Id(), "Join a Session as a Guest"); },
                              LauncherRun::kTimeoutMs));
    });
}

TEST_F(ExitTest, WhileTheImportSaysWinInetCouldNotBeLoaded)
{
    ASSERT_TRUE(std::getenv("KV_REFUSED_DLLS")) << "runs as tray_test_without_late_libraries";
    ExpectCleanExitFrom([this] {
        ::PostMessageA(m_run.Frame(), WM_COMMAND, 11000, 0);
        const HWND box = WaitForMessageBox(m_run.Process().Id(), "kelvlaunch", LauncherRun::kTimeoutMs);
        ASSERT_TRUE(box);
        // The system's reason, not an empty box or the fallback for an unknown internet error.
        const std::string text = ReadMessageBox(box).text;
        EXPECT_FALSE(text.empty());
        EXPECT_EQ(text.find("internet error"), std::string::npos) << text;
    });
}

} // namespace
