// Message maps: typed handlers, chaining to the base class, registered messages, commands,
// and falling back to the default processing.
#include "winfx/wnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT WM_PING = WM_APP + 1;
constexpr UINT WM_BASE_ONLY = WM_APP + 2;
constexpr UINT ID_BASE_COMMAND = 100;
constexpr UINT ID_DERIVED_COMMAND = 101;
constexpr UINT ID_CLICKED_ONLY = 102;

UINT pingRegistered;  // a registered message, numbered at run time like "TaskbarCreated"

class CBaseWnd : public CWnd {
public:
    std::string m_log;

protected:
    LRESULT OnPing(WPARAM wParam, LPARAM lParam)
    {
        m_log += "base ping;";
        return static_cast<LRESULT>(wParam + lParam);
    }
    LRESULT OnBaseOnly(WPARAM, LPARAM)
    {
        m_log += "base only;";
        return 7;
    }
    void OnBaseCommand() { m_log += "base command;"; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CBaseWnd::messageMap{&CWnd::messageMap, {
    MessageEntry<WM_PING, &CBaseWnd::OnPing>,
    MessageEntry<WM_BASE_ONLY, &CBaseWnd::OnBaseOnly>,
    CommandEntry<ID_BASE_COMMAND, &CBaseWnd::OnBaseCommand>,
}};

class CDerivedWnd : public CBaseWnd {
public:
    CREATESTRUCTA m_created{};

protected:
    int OnCreate(CREATESTRUCTA& cs)
    {
        m_created = cs;
        return CBaseWnd::OnCreate(cs);
    }
    LRESULT OnPing(WPARAM, LPARAM)
    {
        m_log += "derived ping;";
        return 1;
    }
    LRESULT OnRegistered(WPARAM wParam, LPARAM)
    {
        m_log += "registered " + std::to_string(wParam) + ";";
        return 2;
    }
    // Records the new text and lets the window class store it.
    LRESULT OnSetText(WPARAM, LPARAM lParam)
    {
        m_log += std::string("text ") + reinterpret_cast<const char*>(lParam) + ";";
        return Default();
    }
    void OnDerivedCommand() { m_log += "derived command;"; }
    void OnClicked() { m_log += "clicked;"; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CDerivedWnd::messageMap{&CBaseWnd::messageMap, {
    MessageEntry<WM_CREATE, &CDerivedWnd::OnCreate>,
    MessageEntry<WM_PING, &CDerivedWnd::OnPing>,
    MessageEntry<WM_SETTEXT, &CDerivedWnd::OnSetText>,
    RegisteredMessageEntry<&pingRegistered, &CDerivedWnd::OnRegistered>,
    CommandEntry<ID_DERIVED_COMMAND, &CDerivedWnd::OnDerivedCommand>,
    CommandEntry<ID_CLICKED_ONLY, &CDerivedWnd::OnClicked, BN_CLICKED>,
}};

class MessageMapTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        pingRegistered = ::RegisterWindowMessageA("WinfxTestPing");
        ASSERT_TRUE(m_wnd.CreateEx(0, nullptr, "map", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    }

    CDerivedWnd m_wnd;
};

TEST_F(MessageMapTest, CreateHandlerSeesTheCreationParameters)
{
    EXPECT_EQ(m_wnd.m_created.style & WS_POPUP, static_cast<LONG>(WS_POPUP));
    EXPECT_STREQ(m_wnd.m_created.lpszName, "map");
    EXPECT_EQ(m_wnd.m_created.cx, 10);
}

TEST_F(MessageMapTest, DerivedEntryWinsAndBaseEntriesStillApply)
{
    EXPECT_EQ(::SendMessageA(m_wnd.m_hWnd, WM_PING, 3, 4), 1);
    EXPECT_EQ(::SendMessageA(m_wnd.m_hWnd, WM_BASE_ONLY, 0, 0), 7);
    EXPECT_EQ(m_wnd.m_log, "derived ping;base only;");
}

TEST_F(MessageMapTest, RegisteredMessageIsMatchedByItsRunTimeNumber)
{
    EXPECT_EQ(::SendMessageA(m_wnd.m_hWnd, pingRegistered, 5, 0), 2);
    EXPECT_EQ(m_wnd.m_log, "registered 5;");
    // WM_NULL must not reach the entry whose fixed message number is unused.
    EXPECT_EQ(::SendMessageA(m_wnd.m_hWnd, WM_NULL, 0, 0), 0);
    EXPECT_EQ(m_wnd.m_log, "registered 5;");
}

TEST_F(MessageMapTest, HandlerFallsBackToDefaultProcessing)
{
    ASSERT_TRUE(::SetWindowTextA(m_wnd.m_hWnd, "renamed"));
    char text[32] = {};
    ::GetWindowTextA(m_wnd.m_hWnd, text, sizeof text);
    EXPECT_STREQ(text, "renamed");
    EXPECT_EQ(m_wnd.m_log, "text renamed;");
}

TEST_F(MessageMapTest, CommandsMatchIdAndNotificationCode)
{
    ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_DERIVED_COMMAND, 0), 0);
    ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BASE_COMMAND, 0), 0);
    ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CLICKED_ONLY, BN_CLICKED), 0);
    ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_CLICKED_ONLY, BN_DOUBLECLICKED), 0);
    ::SendMessageA(m_wnd.m_hWnd, WM_COMMAND, MAKEWPARAM(ID_BASE_COMMAND, 1), 0);
    EXPECT_EQ(m_wnd.m_log, "derived command;base command;clicked;");
}

TEST_F(MessageMapTest, HandlerQueryFindsWithoutRunning)
{
    CommandHandlerQuery query;
    EXPECT_TRUE(m_wnd.OnCmdMsg(ID_BASE_COMMAND, 0, nullptr, &query));
    EXPECT_EQ(query.target, &m_wnd);
    EXPECT_FALSE(m_wnd.OnCmdMsg(999, 0, nullptr, &query));
    EXPECT_EQ(m_wnd.m_log, "");
}

} // namespace
