// kelvlaunch.exe under Wine, its frame sent the tray menu's commands: the service pages
// reach the recorded browser with the exact addresses, and the import writes the host list.
#include "tests/tools/child_process.h"
#include "tests/tools/window_driver.h"

#include "browser_recording.h"
#include "fake_service_control.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr UINT kHostSession = 32789;
constexpr UINT kSupport = 32793;
constexpr UINT kManageAccount = 32797;
constexpr UINT kExit = 32798;
constexpr UINT kSupportReduced = 32806;
constexpr UINT kImportPlanned = 11000;
const char kBaseUrl[] = "http://meet.kelvara.example/";
const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";

std::string ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void StoreSetting(const char* name, const std::string& value)
{
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

class ServiceEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_root = fs::absolute("run");
        fs::remove_all(m_root);
        for (const char* folder : {"bin", "work"})
            fs::create_directories(m_root / folder);
        fs::copy_file(KV_KELVLAUNCH_EXE, m_root / "bin" / "kelvlaunch.exe");
        fs::copy_file(KV_STACKTRACE_DLL, m_root / "bin" / "StackTrace.dll");
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    void TearDown() override
    {
        if (const HWND frame = Frame()) {
            ::PostMessageA(frame, WM_COMMAND, kExit, 0);
            DWORD exitCode = 0;
            EXPECT_TRUE(m_launcher.WaitForExit(kTimeoutMs, exitCode));
        }
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    void Start()
    {
        ASSERT_TRUE(m_launcher.Start((m_root / "bin" / "kelvlaunch.exe").string(), "", (m_root / "work").string()));
        ASSERT_TRUE(m_launcher.WaitForInputIdle(kTimeoutMs));
        // Under Wine the start can look idle before the frame exists.
        ASSERT_TRUE(WaitUntil([this] { return Frame() != nullptr; }, kTimeoutMs));
    }

    HWND Frame() const
    {
        for (HWND hWnd : TopLevelWindowsOf(m_launcher.Id()))
            if (WindowText(hWnd) == "kelvlaunch")
                return hWnd;
        return nullptr;
    }

    // As the menu sends it: WM_COMMAND with the id and notification code 0.
    void Command(UINT id)
    {
        DWORD_PTR result = 0;
        ASSERT_NE(0, ::SendMessageTimeoutA(Frame(), WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL,
                                           kTimeoutMs, &result));
    }

    // The browser's parameters after a command that opens a page.
    std::string OpenedAddress(UINT id)
    {
        const std::size_t before = m_browser.Starts().size();
        Command(id);
        EXPECT_TRUE(m_browser.WaitForStart()) << id;
        const auto starts = m_browser.Starts();
        if (starts.size() != before + 1)
            return "(no browser start)";
        EXPECT_EQ(SW_SHOWMAXIMIZED, starts.back().showState) << id;
        return starts.back().parameters;
    }

    fs::path m_root;
    BrowserRecording m_browser{fs::absolute("browser.txt").string()};
    ChildProcess m_launcher;
};

TEST_F(ServiceEndToEndTest, PagesCarryTheStoredAccountUnencoded)
{
    StoreSetting("name", "Ann Lee");
    StoreSetting("username", "ann lee&co+1@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    StoreSetting("skin", "dark & blue+");
    Start();

    const std::string suffix = "&eMail=ann lee&co+1@x.example&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69"
                               "&skin=dark & blue+";
    EXPECT_EQ(kBaseUrl + std::string("kv/host.jsp?agent") + suffix, OpenedAddress(kHostSession));
    EXPECT_EQ(kBaseUrl + std::string("login?agent") + suffix, OpenedAddress(kManageAccount));
    EXPECT_EQ(kBaseUrl + std::string("support?agent") + suffix, OpenedAddress(kSupport));
    EXPECT_EQ(kBaseUrl + std::string("support?agent") + suffix, OpenedAddress(kSupportReduced));
}

TEST_F(ServiceEndToEndTest, NothingStoredGivesEmptyValues)
{
    Start();
    EXPECT_EQ(kBaseUrl + std::string("kv/host.jsp?agent&eMail=&pAssword=&skin="), OpenedAddress(kHostSession));
}

TEST_F(ServiceEndToEndTest, ImportWritesTheHostListFile)
{
    FakeServiceControl service;
    fs::copy_file(fs::path(KV_FIXTURES) / "host_sessions_before.xml", m_root / "work" / "sessions.xml");
    service.Script(ReadFile(fs::path(KV_FIXTURES) / "planned_sessions_reply.json"));
    StoreSetting("server", service.Address());
    StoreSetting("username", "ann@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    Start();

    Command(kImportPlanned);

    EXPECT_EQ(0u, service.Requests().find("GET /Control?command=getPlannedSessions&_os_app=demo&eMail=ann@x.example"
                                          "&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69 HTTP/1.0\n"))
        << service.Requests();
    EXPECT_EQ(ReadFile(fs::path(KV_FIXTURES) / "host_sessions_after.xml"), ReadFile(m_root / "work" / "sessions.xml"));
    EXPECT_TRUE(m_browser.Starts().empty());
}

} // namespace
