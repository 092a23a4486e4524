// Frames and the application: command routing view -> frame -> application, focus, the
// frame owning itself, the main window ending the loop, the title and the message box.
#include "winfx/frame_wnd.h"
#include "winfx/win_app.h"

#include "tests/tools/window_driver.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

constexpr UINT ID_VIEW = 200;
constexpr UINT ID_FRAME = 201;
constexpr UINT ID_APP = 202;
constexpr UINT ID_EVERYWHERE = 203;
constexpr UINT ID_CLOSE_INSIDE = 204;

std::string routeLog;

class CTestApp : public CWinApp {
protected:
    void OnApp() { routeLog += "app;"; }
    void OnEverywhere() { routeLog += "app everywhere;"; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CTestApp::messageMap{&CWinApp::messageMap, {
    CommandEntry<ID_APP, &CTestApp::OnApp>,
    CommandEntry<ID_EVERYWHERE, &CTestApp::OnEverywhere>,
}};

class CTestView : public CWnd {
protected:
    void OnView() { routeLog += "view;"; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CTestView::messageMap{&CWnd::messageMap, {
    CommandEntry<ID_VIEW, &CTestView::OnView>,
}};

class CTestFrame : public CFrameWnd {
public:
    explicit CTestFrame(bool* deleted) : m_deleted(deleted) {}
    ~CTestFrame() override { *m_deleted = true; }

    CTestView m_view;

protected:
    int OnCreate(CREATESTRUCTA& cs)
    {
        if (CFrameWnd::OnCreate(cs) == -1)
            return -1;
        return m_view.Create(nullptr, nullptr, WS_VISIBLE, RECT{}, this, IDW_PANE_FIRST) ? 0 : -1;
    }
    CWnd* GetView() override { return &m_view; }
    void OnFrame() { routeLog += "frame;"; }
    void OnEverywhere() { routeLog += "frame everywhere;"; }
    // Exit as a nested loop runs it: the window goes inside this handler, the object after.
    void OnCloseInside()
    {
        ::SendMessageA(m_hWnd, WM_CLOSE, 0, 0);
        routeLog += m_hWnd || *m_deleted ? "wrong;" : "closed, object still here;";
    }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    bool* m_deleted;
};

const MessageMap CTestFrame::messageMap{&CFrameWnd::messageMap, {
    MessageEntry<WM_CREATE, &CTestFrame::OnCreate>,
    CommandEntry<ID_FRAME, &CTestFrame::OnFrame>,
    CommandEntry<ID_EVERYWHERE, &CTestFrame::OnEverywhere>,
    CommandEntry<ID_CLOSE_INSIDE, &CTestFrame::OnCloseInside>,
}};

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        routeLog.clear();
        m_frame = new CTestFrame(&m_deleted);
        m_app.m_pMainWnd = m_frame;
        ASSERT_TRUE(m_frame->LoadFrame(128, WS_OVERLAPPEDWINDOW));
        m_hWnd = m_frame->m_hWnd;
    }
    void TearDown() override
    {
        if (!m_deleted)
            m_frame->DestroyWindow();
        MSG msg;
        ::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    CTestApp m_app;
    bool m_deleted = false;
    CTestFrame* m_frame = nullptr;
    HWND m_hWnd = nullptr;
};

TEST_F(FrameTest, FrameIsTitledAfterTheApplicationAndHasItsView)
{
    char title[64] = {};
    ::GetWindowTextA(m_hWnd, title, sizeof title);
    EXPECT_EQ(title, m_app.GetTitle());
    EXPECT_EQ(::GetDlgItem(m_hWnd, IDW_PANE_FIRST), m_frame->m_view.m_hWnd);
    EXPECT_TRUE(::GetWindowLongA(m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(FrameTest, CommandsGoToViewThenFrameThenApplication)
{
    for (UINT id : {ID_VIEW, ID_FRAME, ID_APP, ID_EVERYWHERE, 299u})
        ::SendMessageA(m_hWnd, WM_COMMAND, MAKEWPARAM(id, 0), 0);
    EXPECT_EQ(routeLog, "view;frame;app;frame everywhere;");

    CommandHandlerQuery query;
    EXPECT_TRUE(m_frame->OnCmdMsg(ID_APP, 0, nullptr, &query));
    EXPECT_EQ(query.target, &m_app);
    EXPECT_TRUE(m_frame->OnCmdMsg(ID_VIEW, 0, nullptr, &query));
    EXPECT_EQ(query.target, &m_frame->m_view);
    EXPECT_EQ(routeLog, "view;frame;app;frame everywhere;");
}

TEST_F(FrameTest, FocusPassesToTheView)
{
    ::SetFocus(m_hWnd);
    EXPECT_EQ(::GetFocus(), m_frame->m_view.m_hWnd);
}

TEST_F(FrameTest, ClosingTheMainWindowDeletesItAfterItsHandlerAndEndsTheLoopWithZero)
{
    ::PostMessageA(m_hWnd, WM_COMMAND, ID_CLOSE_INSIDE, 0);
    EXPECT_EQ(m_app.Run(), 0);
    EXPECT_EQ(routeLog, "closed, object still here;");
    EXPECT_TRUE(m_deleted);
    EXPECT_FALSE(::IsWindow(m_hWnd));
    EXPECT_EQ(m_app.m_pMainWnd, nullptr);
}

TEST(WinAppTest, RunReturnsTheQuitMessagesExitCode)
{
    CWinApp app;
    EXPECT_EQ(CWinApp::GetApp(), &app);
    ::PostQuitMessage(7);
    EXPECT_EQ(app.Run(), 7);
}

TEST(WinAppTest, TitleIsTheExecutableNameWithoutExtension)
{
    CWinApp app;
    EXPECT_EQ(app.GetTitle(), "winfx_test");
}

// Shows the application's message box and reads it the way a user sees it.
MessageBoxContent ShowAndRead(const CWinApp& app, const std::string& text, UINT iconFlags)
{
    MessageBoxContent seen;
    std::thread user([&] {
        if (const HWND box = WaitForMessageBox(::GetCurrentProcessId(), app.GetTitle(), 10000)) {
            seen = ReadMessageBox(box);
            PressMessageBoxButton(box, IDOK);
        }
    });
    app.ShowMessageBox(text, iconFlags);
    user.join();
    return seen;
}

TEST(WinAppTest, MessageBoxCarriesTheTitleTextAndIcon)
{
    CWinApp app;
    const MessageBoxContent info = ShowAndRead(app, "Account validated", MB_ICONINFORMATION);
    EXPECT_EQ(info.text, "Account validated");
    EXPECT_TRUE(info.hasIcon);
    EXPECT_EQ(info.buttons, 1);

    const MessageBoxContent plain = ShowAndRead(app, "Select a session", 0);
    EXPECT_EQ(plain.text, "Select a session");
    EXPECT_FALSE(plain.hasIcon);
    EXPECT_EQ(plain.buttons, 1);
}

} // namespace
