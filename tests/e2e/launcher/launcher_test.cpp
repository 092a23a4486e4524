// kelvlaunch.exe started as a user starts it: from its own folder, in an empty working
// directory, and ended with the tray menu's Exit command sent to its hidden frame.
#include "tests/tools/launcher_run.h"
#include "tests/tools/sparse_file.h"
#include "tests/tools/window_driver.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr DWORD STATUS_DLL_NOT_FOUND_CODE = 0xC0000135;
const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";

// The lower-case file names of the modules loaded in a process.
std::vector<std::string> ModulesOf(DWORD processId)
{
    std::vector<std::string> names;
    const scoped::File snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 module{};
    module.dwSize = sizeof module;
    for (BOOL more = snapshot && ::Module32First(snapshot.get(), &module); more;
         more = ::Module32Next(snapshot.get(), &module))
        names.push_back(::CharLowerA(module.szModule));
    return names;
}

class LauncherTest : public ::testing::Test {
protected:
    void SetUp() override { ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand"); }

    LauncherRun m_run{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL};
};

TEST_F(LauncherTest, StartsHiddenCreatesOnlyTheSettingsKeyAndExitsWithZero)
{
    ASSERT_TRUE(m_run.Start());
    const HWND frame = m_run.Frame();
    EXPECT_EQ(::GetWindowLongA(frame, GWL_STYLE) & (WS_VISIBLE | WS_THICKFRAME | WS_SYSMENU), 0);
    for (HWND hWnd : TopLevelWindowsOf(m_run.Process().Id()))
        EXPECT_FALSE(::IsWindowVisible(hWnd)) << WindowText(hWnd);

    // Reading the settings at start-up creates the key chain and writes no value.
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD values = 99;
    ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                       nullptr, nullptr, nullptr);
    ::RegCloseKey(key);
    EXPECT_EQ(values, 0u);

    DWORD exitCode = 0xDEADBEEF;
    ASSERT_TRUE(m_run.Exit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(fs::is_empty(m_run.Work()));
    EXPECT_TRUE(fs::is_empty(m_run.Temp()));  // no crash report either
}

// The common controls come with the first dialog, WinInet with the first service command:
// neither costs the launcher time before its icon shows, nor memory while it waits there.
TEST_F(LauncherTest, WaitsInTheTrayWithoutTheCommonControlsOrWinInet)
{
    ASSERT_TRUE(m_run.Start());
    const std::vector<std::string> modules = ModulesOf(m_run.Process().Id());
    ASSERT_NE(std::find(modules.begin(), modules.end(), "stacktrace.dll"), modules.end());
    for (const char* later : {"comctl32.dll", "wininet.dll"})
        EXPECT_EQ(std::find(modules.begin(), modules.end(), later), modules.end()) << later;
    DWORD exitCode = 0xDEADBEEF;
    ASSERT_TRUE(m_run.Exit(exitCode));
    EXPECT_EQ(exitCode, 0u);
}

TEST_F(LauncherTest, ExitLeavesBothListFilesAsTheyWere)
{
    for (const char* list : {"sessions.xml", "osessions.xml"})
        fs::copy_file(fs::path(KV_FIXTURES) / list, m_run.Work() / list);
    ASSERT_TRUE(m_run.Start());
    DWORD exitCode = 0xDEADBEEF;
    ASSERT_TRUE(m_run.Exit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    for (const char* list : {"sessions.xml", "osessions.xml"})
        EXPECT_EQ(ReadFileBytes(m_run.Work() / list), ReadFileBytes(fs::path(KV_FIXTURES) / list)) << list;
}

TEST_F(LauncherTest, StartsWithListFilesOfAnySize)
{
    // A host list beyond 4 GiB, mostly one endless line of zero bytes, and a guest list
    // with an endless line of text: the start-up reads only their first lines.
    const std::string hostList = (m_run.Work() / "sessions.xml").string();
    const std::string guestList = (m_run.Work() / "osessions.xml").string();
    ASSERT_TRUE(PutSparseFile(hostList.c_str(), "<sessions>\r\n\t<session Description=\"h\" AccessCode=\"1\" />\r\n",
                              kBeyond4GiB));
    const std::string guestBytes = "<sessions>\r\n" + std::string(16 * 1024 * 1024, 'x') + "\r\n</sessions>\r\n";
    ASSERT_TRUE(PutSparseFile(guestList.c_str(), guestBytes, LONGLONG(guestBytes.size())));

    ASSERT_TRUE(m_run.Start());
    DWORD exitCode = 0xDEADBEEF;
    ASSERT_TRUE(m_run.Exit(exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_EQ(FileSize(hostList.c_str()), kBeyond4GiB);
    EXPECT_EQ(ReadFileBytes(guestList), guestBytes);
    EXPECT_TRUE(fs::is_empty(m_run.Temp()));  // no crash report
}

TEST_F(LauncherTest, DoesNotStartWithoutStackTraceDll)
{
    fs::remove(m_run.Bin() / "StackTrace.dll");
    ASSERT_TRUE(m_run.Launch());
    DWORD exitCode = 0;
    ASSERT_TRUE(m_run.WaitForExit(exitCode));
    EXPECT_EQ(exitCode, STATUS_DLL_NOT_FOUND_CODE);
    HKEY key = nullptr;
    EXPECT_NE(::RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Ostrand", 0, KEY_READ, &key),
              ERROR_SUCCESS);
}

} // namespace
