// kelvlaunch.exe under Wine, its frame sent the tray menu's commands: the service pages
// reach the recorded browser with the exact addresses, and the import writes the host list.
#include "tests/tools/launcher_run.h"

#include "browser_recording.h"
#include "fake_service_control.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

constexpr UINT kHostSession = 32789;
constexpr UINT kSupport = 32793;
constexpr UINT kManageAccount = 32797;
constexpr UINT kSupportReduced = 32806;
constexpr UINT kImportPlanned = 11000;
const char kBaseUrl[] = "https://meet.kelvara.example/";
const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";

void StoreSetting(const char* name, const std::string& value)
{
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

class ServiceEndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand"); }

    void TearDown() override
    {
        DWORD exitCode = 0;
        if (m_run.Frame()) {
            EXPECT_TRUE(m_run.Exit(exitCode));
        }
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    // The browser's parameters after a command that opens a page.
    std::string OpenedAddress(UINT id)
    {
        const std::size_t before = m_browser.Starts().size();
        EXPECT_TRUE(m_run.Command(id)) << id;
        EXPECT_TRUE(m_browser.WaitForStart()) << id;
        const auto starts = m_browser.Starts();
        if (starts.size() != before + 1)
            return "(no browser start)";
        EXPECT_EQ(SW_SHOWMAXIMIZED, starts.back().showState) << id;
        return starts.back().parameters;
    }

    LauncherRun m_run{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL};
    BrowserRecording m_browser{fs::absolute("browser.txt").string()};
};

TEST_F(ServiceEndToEndTest, PagesCarryTheStoredAccountUnencoded)
{
    StoreSetting("name", "Ann Lee");
    StoreSetting("username", "ann lee&co+1@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    StoreSetting("skin", "dark & blue+");
    ASSERT_TRUE(m_run.Start());

    const std::string suffix = "&eMail=ann lee&co+1@x.example&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69"
                               "&skin=dark & blue+";
    EXPECT_EQ(kBaseUrl + std::string("kv/host.jsp?agent") + suffix, OpenedAddress(kHostSession));
    EXPECT_EQ(kBaseUrl + std::string("login?agent") + suffix, OpenedAddress(kManageAccount));
    EXPECT_EQ(kBaseUrl + std::string("support?agent") + suffix, OpenedAddress(kSupport));
    EXPECT_EQ(kBaseUrl + std::string("support?agent") + suffix, OpenedAddress(kSupportReduced));
}

TEST_F(ServiceEndToEndTest, ImportWritesTheHostListFile)
{
    FakeServiceControl service;
    fs::copy_file(fs::path(KV_FIXTURES) / "host_sessions_before.xml", m_run.Work() / "sessions.xml");
    service.Script(ReadFileBytes(fs::path(KV_FIXTURES) / "planned_sessions_reply.json"));
    StoreSetting("server", service.Address());
    StoreSetting("username", "ann@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    ASSERT_TRUE(m_run.Start());

    ASSERT_TRUE(m_run.Command(kImportPlanned));

    EXPECT_EQ(0u, service.Requests().find("GET /Control?command=getPlannedSessions&_os_app=demo&eMail=ann@x.example"
                                          "&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69 HTTP/1.0\n"))
        << service.Requests();
    EXPECT_EQ(ReadFileBytes(fs::path(KV_FIXTURES) / "host_sessions_after.xml"), ReadFileBytes(m_run.Work() / "sessions.xml"));
    EXPECT_TRUE(m_browser.Starts().empty());
}

} // namespace
