// The tray icon object and a notification area that answers as the shell does: the icon's
// texts, the balloon shown once, and the icon kept through taskbar restarts, work-area
// changes and a taskbar that comes late.
#include "shell/system_tray.h"

#include "tests/tools/tray_stand_in.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

// The program defines it with its start-up; this test stands in for the program.
extern const UINT taskbarCreatedMessage = ::RegisterWindowMessageA("TaskbarCreated");

namespace {

constexpr UINT kCallback = WM_APP + 10;
constexpr UINT kIconId = 142;
constexpr UINT kIconResource = 128;
const std::string kTip = "Click here to start a Kelvara Session!";

class NoMenu : public CTrayMenuBuilder {
public:
    void BuildPlannedSessionMenu(HMENU) override {}
};

// Brings a taskbar up while its icon is being added, as the shell may at logon: after the
// add, before the icon's own window exists to hear the taskbar's broadcast.
class TrayMeetingNewTaskbar : public CSystemTray {
public:
    TrayMeetingNewTaskbar(CTrayMenuBuilder& menu, std::unique_ptr<TrayStandIn>& taskbar)
        : CSystemTray(menu), m_taskbar(taskbar)
    {
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_CREATE)
            m_taskbar = std::make_unique<TrayStandIn>();
        return CSystemTray::WindowProc(message, wParam, lParam);
    }

private:
    std::unique_ptr<TrayStandIn>& m_taskbar;
};

class SystemTrayTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_owner.CreateEx(0, nullptr, "owner", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr));
    }
    void TearDown() override { m_owner.DestroyWindow(); }

    bool Create(const std::string& tip, const char* balloon, const char* title = "Welcome to Kelvara")
    {
        return m_tray->CreateIcon(&m_owner, kCallback, tip, kIconResource, kIconId, balloon, title,
                                  NIIF_WARNING, 20);
    }

    // What the taskbar's broadcasts deliver to the icon's own window.
    void TaskbarCreated() const { ::SendMessageA(m_tray->m_hWnd, taskbarCreatedMessage, 0, 0); }
    void WorkAreaChanged() const { ::SendMessageA(m_tray->m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0); }

    // The requests after the first `from`, as "ADD+", "MODIFY-", ... (+ accepted).
    std::string Sequence(const TrayStandIn& tray, std::size_t from) const
    {
        std::string sequence;
        const auto requests = tray.Requests();
        for (std::size_t i = from; i < requests.size(); ++i) {
            const char* name = requests[i].message == NIM_ADD      ? "ADD"
                               : requests[i].message == NIM_MODIFY ? "MODIFY"
                               : requests[i].message == NIM_DELETE ? "DELETE" : "?";
            sequence += std::string(sequence.empty() ? "" : " ") + name + (requests[i].accepted ? "+" : "-");
        }
        return sequence;
    }

    CWnd m_owner;
    NoMenu m_menu;
    std::unique_ptr<CSystemTray> m_tray = std::make_unique<CSystemTray>(m_menu);
};

TEST_F(SystemTrayTest, TextsAreCutAndTheBalloonComesWithTheFirstAddOnly)
{
    TrayStandIn tray;
    const std::string tip(200, 't');
    const std::string balloon(300, 'b');
    const std::string title(100, 'h');
    ASSERT_TRUE(Create(tip, balloon.c_str(), title.c_str()));

    auto requests = tray.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const TrayRequest& add = requests[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_TRUE(add.accepted);
    EXPECT_EQ(add.window, static_cast<UINT>(reinterpret_cast<UINT_PTR>(m_owner.m_hWnd)));
    EXPECT_EQ(add.id, kIconId);
    EXPECT_EQ(add.callbackMessage, kCallback);
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(add.tip, tip.substr(0, 127));
    EXPECT_EQ(add.info, balloon.substr(0, 255));
    EXPECT_EQ(add.infoTitle, title.substr(0, 63));
    EXPECT_EQ(add.timeout, 20000u);
    EXPECT_EQ(add.infoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(add.iconWidth, 16u);  // the small image of the icon resource, not a scaled one

    // A restarted taskbar gets the icon back with its tooltip and no balloon text.
    tray.ForgetIcons();
    TaskbarCreated();
    requests = tray.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(Sequence(tray, 1), "ADD+");
    EXPECT_EQ(requests[1].tip, tip.substr(0, 127));
    EXPECT_EQ(requests[1].info, "");
    EXPECT_EQ(requests[1].iconWidth, 16u);  // loaded again for the new taskbar

    m_tray.reset();
    EXPECT_EQ(Sequence(tray, 2), "DELETE+");
    EXPECT_FALSE(tray.Holds(m_owner.m_hWnd, kIconId));
}

TEST_F(SystemTrayTest, TheIconSurvivesWorkAreaChangesAndSpuriousTaskbarNotices)
{
    TrayStandIn tray;
    ASSERT_TRUE(Create(kTip, "Please select \"Setup...\""));

    // A work-area change refreshes the icon: a modify without the balloon flag.
    WorkAreaChanged();
    ASSERT_EQ(Sequence(tray, 1), "MODIFY+");
    EXPECT_EQ(tray.Requests()[1].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));
    EXPECT_EQ(tray.Requests()[1].tip, kTip);

    // "TaskbarCreated" while the shell still holds the icon: the add fails, a modify serves.
    TaskbarCreated();
    EXPECT_EQ(Sequence(tray, 2), "ADD- MODIFY+");

    // A work-area change after the shell lost the icon adds it again.
    tray.ForgetIcons();
    WorkAreaChanged();
    EXPECT_EQ(Sequence(tray, 4), "MODIFY- ADD+");

    // The icon is still recorded as shown: a real restart brings it back.
    tray.ForgetIcons();
    TaskbarCreated();
    EXPECT_EQ(Sequence(tray, 6), "ADD+");
    EXPECT_TRUE(tray.Holds(m_owner.m_hWnd, kIconId));
    const auto requests = tray.Requests();
    for (std::size_t i = 1; i < requests.size(); ++i) {
        EXPECT_EQ(requests[i].info, "") << i;
    }
}

TEST_F(SystemTrayTest, ALateTaskbarGetsTheIconButNotAfterItWasDeleted)
{
    // The notification area is not there yet, as at a logon before the shell.
    TrayStandIn tray(false);
    EXPECT_FALSE(Create(kTip, "balloon"));
    WorkAreaChanged();  // an icon that is not shown is not refreshed
    EXPECT_EQ(Sequence(tray, 0), "ADD-");

    tray.Open();
    TaskbarCreated();
    ASSERT_EQ(Sequence(tray, 1), "ADD+");
    EXPECT_EQ(tray.Requests()[1].tip, kTip);
    EXPECT_EQ(tray.Requests()[1].info, "");

    EXPECT_TRUE(m_tray->DeleteIcon());
    tray.ForgetIcons();
    TaskbarCreated();
    EXPECT_EQ(Sequence(tray, 1), "ADD+ DELETE+");
}

TEST_F(SystemTrayTest, ATaskbarComingUpDuringTheAddGetsTheIcon)
{
    std::unique_ptr<TrayStandIn> taskbar;
    m_tray = std::make_unique<TrayMeetingNewTaskbar>(m_menu, taskbar);
    EXPECT_TRUE(Create(kTip, nullptr));
    ASSERT_TRUE(taskbar);
    ASSERT_EQ(Sequence(*taskbar, 0), "ADD+");
    EXPECT_EQ(taskbar->Requests()[0].tip, kTip);
    m_tray.reset();
    EXPECT_EQ(Sequence(*taskbar, 0), "ADD+ DELETE+");
}

TEST_F(SystemTrayTest, ADoubleByteCharacterAtTheCutIsDroppedWhole)
{
    ASSERT_EQ(::GetACP(), 932u) << "run in a Japanese locale (LC_ALL=ja_JP.UTF-8)";
    TrayStandIn tray;
    // Katakana I (0x83 0x43) would take bytes 127 and 128: only 127 fit.
    const std::string tip = std::string(126, 'a') + "\x83\x43" + "tail";
    ASSERT_TRUE(Create(tip, nullptr));
    ASSERT_EQ(tray.Requests().size(), 1u);
    EXPECT_EQ(tray.Requests()[0].tip, std::string(126, 'a'));
}

} // namespace
