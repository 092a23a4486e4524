// kelvlaunch.exe started as a user starts it: from its own folder, in an empty working
// directory, and ended with the tray menu's Exit command sent to its hidden frame.
#include "tests/tools/child_process.h"
#include "tests/tools/window_driver.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr UINT ID_APP_EXIT = 32798;
constexpr DWORD STATUS_DLL_NOT_FOUND_CODE = 0xC0000135;
const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::absolute("run");
        fs::remove_all(m_root);
        for (const char* folder : {"bin", "work", "temp"})
            fs::create_directories(m_root / folder);
        fs::copy_file(KV_KELVLAUNCH_EXE, m_root / "bin" / "kelvlaunch.exe");
        fs::copy_file(KV_STACKTRACE_DLL, m_root / "bin" / "StackTrace.dll");
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    // Starts the launcher and waits until its message loop runs.
    void Start()
    {
        const std::string temp = (m_root / "temp").string();
        ASSERT_TRUE(m_launcher.Start((m_root / "bin" / "kelvlaunch.exe").string(), "",
                                     (m_root / "work").string(), {{"TMP", temp}, {"TEMP", temp}}));
        ASSERT_TRUE(m_launcher.WaitForInputIdle(kTimeoutMs));
        // Under load Wine can report the start idle before the frame exists.
        ASSERT_TRUE(WaitUntil([this] { return Frame() != nullptr; }, kTimeoutMs));
    }

    // The hidden main frame: the top-level window titled after the program.
    HWND Frame() const
    {
        for (HWND hWnd : TopLevelWindowsOf(m_launcher.Id()))
            if (WindowText(hWnd) == "kelvlaunch")
                return hWnd;
        return nullptr;
    }

    DWORD Exit()
    {
        const HWND frame = Frame();
        EXPECT_NE(frame, nullptr);
        ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(ID_APP_EXIT, 0), 0);
        DWORD exitCode = 0xDEADBEEF;
        EXPECT_TRUE(m_launcher.WaitForExit(kTimeoutMs, exitCode));
        return exitCode;
    }

    fs::path m_root;
    ChildProcess m_launcher;
};

TEST_F(LauncherTest, StartsHiddenCreatesOnlyTheSettingsKeyAndExitsWithZero)
{
    Start();
    const HWND frame = Frame();
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(::GetWindowLongA(frame, GWL_STYLE) & (WS_VISIBLE | WS_THICKFRAME | WS_SYSMENU), 0);
    for (HWND hWnd : TopLevelWindowsOf(m_launcher.Id()))
        EXPECT_FALSE(::IsWindowVisible(hWnd)) << WindowText(hWnd);

    // Reading the settings at start-up creates the key chain and writes no value.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    EXPECT_EQ(values, 0u);

    EXPECT_EQ(Exit(), 0u);
    EXPECT_TRUE(fs::is_empty(m_root / "work"));
    EXPECT_TRUE(fs::is_empty(m_root / "temp"));  // no crash report either
}

TEST_F(LauncherTest, ExitLeavesBothListFilesAsTheyWere)
{
    for (const char* list : {"sessions.xml", "osessions.xml"})
        fs::copy_file(fs::path(KV_FIXTURES) / list, m_root / "work" / list);
    Start();
    EXPECT_EQ(Exit(), 0u);
    for (const char* list : {"sessions.xml", "osessions.xml"})
        EXPECT_EQ(ReadFile(m_root / "work" / list), ReadFile(fs::path(KV_FIXTURES) / list)) << list;
}

TEST_F(LauncherTest, DoesNotStartWithoutStackTraceDll)
{
    fs::remove(m_root / "bin" / "StackTrace.dll");
    ASSERT_TRUE(m_launcher.Start((m_root / "bin" / "kelvlaunch.exe").string(), "",
                                 (m_root / "work").string()));
    DWORD exitCode = 0;
    ASSERT_TRUE(m_launcher.WaitForExit(kTimeoutMs, exitCode));
    EXPECT_EQ(exitCode, STATUS_DLL_NOT_FOUND_CODE);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ostrand", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

} // namespace
