// Window objects: the handle map, creation and its failures, pre-creation, subclassing of
// existing controls, and the pre-translation chain.
#include "winfx/wnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class CProbeWnd : public CWnd {
public:
    explicit CProbeWnd(bool* postNcDestroyed = nullptr) : m_postNcDestroyed(postNcDestroyed) {}

    int m_createResult = 0;
    bool m_allowCreate = true;
    DWORD m_replaceStyle = 0;
    bool m_swallow = false;
    std::string m_log;

    using CWnd::RegisterWndClass;

protected:
    bool PreCreateWindow(CREATESTRUCTA& cs) override
    {
        if (m_replaceStyle)
            cs.style = static_cast<LONG>(m_replaceStyle);
        return m_allowCreate && CWnd::PreCreateWindow(cs);
    }
    void PostNcDestroy() override
    {
        if (m_postNcDestroyed)
            *m_postNcDestroyed = true;
    }
    bool PreTranslateMessage(MSG& msg) override
    {
        m_log += "pre " + std::to_string(msg.message - WM_APP) + ";";
        return m_swallow;
    }
    int OnCreate(CREATESTRUCTA&) { return m_createResult; }
    LRESULT OnPing(WPARAM, LPARAM)
    {
        m_log += "ping;";
        return 0;
    }
    // Answers for a subclassed static control, or lets the control answer.
    LRESULT OnGetTextLength(WPARAM, LPARAM) { return m_log.empty() ? Default() : 99; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }

private:
    bool* m_postNcDestroyed;
};

const MessageMap CProbeWnd::messageMap{&CWnd::messageMap, {
    MessageEntry<WM_CREATE, &CProbeWnd::OnCreate>,
    MessageEntry<WM_APP, &CProbeWnd::OnPing>,
    MessageEntry<WM_GETTEXTLENGTH, &CProbeWnd::OnGetTextLength>,
}};

bool CreatePopup(CWnd& wnd, DWORD style = WS_POPUP)
{
    return wnd.CreateEx(0, nullptr, "probe", style, 0, 0, 10, 10, nullptr, nullptr);
}

// Runs the message loop's pre-translation and dispatch for what is queued now.
void PumpQueued()
{
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!CWnd::WalkPreTranslateTree(msg))
            ::DispatchMessageA(&msg);
    }
}

TEST(WndTest, HandleMapFollowsTheWindowsLife)
{
    bool postNcDestroyed = false;
    CProbeWnd wnd(&postNcDestroyed);
    ASSERT_TRUE(CreatePopup(wnd));
    const HWND hWnd = wnd.m_hWnd;
    EXPECT_EQ(CWnd::FromHandle(hWnd), &wnd);

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
    EXPECT_TRUE(postNcDestroyed);
    EXPECT_FALSE(wnd.DestroyWindow());
}

TEST(WndTest, DestructorDestroysAWindowStillAttached)
{
    HWND hWnd;
    {
        CProbeWnd wnd;
        ASSERT_TRUE(CreatePopup(wnd));
        hWnd = wnd.m_hWnd;
    }
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandle(hWnd), nullptr);
}

// Whether the window never came to be (no such class) or its create handler refused it,
// the object gets its PostNcDestroy, so an object that owns itself is not leaked.
TEST(WndTest, EveryFailedCreationEndsInPostNcDestroy)
{
    bool refusedEnded = false;
    CProbeWnd refused(&refusedEnded);
    refused.m_createResult = -1;
    EXPECT_FALSE(CreatePopup(refused));
    EXPECT_EQ(refused.m_hWnd, nullptr);
    EXPECT_TRUE(refusedEnded);

    bool unborn = false;
    CProbeWnd noClass(&unborn);
    EXPECT_FALSE(noClass.CreateEx(0, "no such class", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr));
    EXPECT_TRUE(unborn);
}

TEST(WndTest, PreCreateWindowShapesOrCancelsTheWindow)
{
    CProbeWnd replaced;
    replaced.m_replaceStyle = WS_POPUP | WS_CAPTION;
    ASSERT_TRUE(CreatePopup(replaced, WS_OVERLAPPEDWINDOW));
    const LONG style = ::GetWindowLongA(replaced.m_hWnd, GWL_STYLE);
    EXPECT_EQ(style & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
    EXPECT_EQ(style & WS_THICKFRAME, 0);

    bool postNcDestroyed = false;
    CProbeWnd cancelled(&postNcDestroyed);
    cancelled.m_allowCreate = false;
    EXPECT_FALSE(CreatePopup(cancelled));
    EXPECT_EQ(cancelled.m_hWnd, nullptr);
    EXPECT_TRUE(postNcDestroyed);
}

TEST(WndTest, WindowClassesAreRegisteredOncePerAttributeSet)
{
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    const std::string first = CProbeWnd::RegisterWndClass(CS_HREDRAW, arrow);
    EXPECT_EQ(first, CProbeWnd::RegisterWndClass(CS_HREDRAW, arrow));
    EXPECT_NE(first, CProbeWnd::RegisterWndClass(CS_VREDRAW, arrow));

    WNDCLASSA wc{};
    ASSERT_TRUE(::GetClassInfoA(::GetModuleHandleA(nullptr), first.c_str(), &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW));
    EXPECT_EQ(wc.hCursor, arrow);
}

TEST(WndTest, SubclassedControlRoutesThroughTheMapUntilReleased)
{
    const HWND control = ::CreateWindowExA(0, "STATIC", "four", WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, nullptr, nullptr);
    ASSERT_NE(control, nullptr);
    const LONG_PTR originalProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);

    CProbeWnd wnd;
    ASSERT_TRUE(wnd.SubclassWindow(control));
    EXPECT_EQ(CWnd::FromHandle(control), &wnd);
    EXPECT_FALSE(CProbeWnd().SubclassWindow(control));  // one object per window

    // The control's own processing still answers what the map passes on.
    EXPECT_EQ(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), 4);
    ::SendMessageA(control, WM_APP, 0, 0);
    EXPECT_EQ(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), 99);

    EXPECT_EQ(wnd.UnsubclassWindow(), control);
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), originalProc);
    EXPECT_EQ(CWnd::FromHandle(control), nullptr);
    EXPECT_EQ(::SendMessageA(control, WM_GETTEXTLENGTH, 0, 0), 4);
    ::DestroyWindow(control);
}

TEST(WndTest, CreatingAControlClassAttachesBySubclassing)
{
    CProbeWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, "STATIC", "text", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    EXPECT_EQ(CWnd::FromHandle(wnd.m_hWnd), &wnd);
    ::SendMessageA(wnd.m_hWnd, WM_APP, 0, 0);
    EXPECT_EQ(wnd.m_log, "ping;");
}

TEST(WndTest, PreTranslationWalksFromTargetToTopLevelWindow)
{
    CProbeWnd owner, top, child, grandchild;
    ASSERT_TRUE(CreatePopup(owner));
    ASSERT_TRUE(top.CreateEx(0, nullptr, "top", WS_POPUP, 0, 0, 10, 10, owner.m_hWnd, nullptr));
    ASSERT_TRUE(child.Create(nullptr, nullptr, 0, RECT{0, 0, 5, 5}, &top, 1));
    ASSERT_TRUE(grandchild.Create(nullptr, nullptr, 0, RECT{0, 0, 5, 5}, &child, 2));

    ::PostMessageA(grandchild.m_hWnd, WM_APP + 1, 0, 0);
    PumpQueued();
    EXPECT_EQ(grandchild.m_log, "pre 1;");
    EXPECT_EQ(child.m_log, "pre 1;");
    EXPECT_EQ(top.m_log, "pre 1;");
    EXPECT_EQ(owner.m_log, "");  // an owner is not a parent

    child.m_swallow = true;
    ::PostMessageA(grandchild.m_hWnd, WM_APP, 0, 0);
    PumpQueued();
    EXPECT_EQ(grandchild.m_log, "pre 1;pre 0;");  // not dispatched: no "ping;"
    EXPECT_EQ(child.m_log, "pre 1;pre 0;");
    EXPECT_EQ(top.m_log, "pre 1;");
}

} // namespace
