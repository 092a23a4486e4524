// Notifications a parent receives from a control reach the control's own map first; what
// the control leaves alone stays with the parent.
#include "winfx/wnd.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr UINT ID_LABEL = 200;

class CParentWnd : public CWnd {
public:
    std::string m_log;

protected:
    void OnLabelClicked() { m_log += "parent clicked;"; }
    void OnLabelDoubleClicked() { m_log += "parent double-clicked;"; }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CParentWnd::messageMap{&CWnd::messageMap, {
    CommandEntry<ID_LABEL, &CParentWnd::OnLabelClicked, STN_CLICKED>,
    CommandEntry<ID_LABEL, &CParentWnd::OnLabelDoubleClicked, STN_DBLCLK>,
}};

class CLabel : public CWnd {
public:
    std::string m_log;
    HBRUSH m_brush = nullptr;

protected:
    void OnClicked() { m_log += "label clicked;"; }
    HBRUSH OnColor(HDC, UINT ctlColor)
    {
        m_log += ctlColor == CTLCOLOR_STATIC ? "label colour;" : "wrong kind;";
        return m_brush;
    }

    static const MessageMap messageMap;
    const MessageMap& GetMessageMap() const override { return messageMap; }
};

const MessageMap CLabel::messageMap{&CWnd::messageMap, {
    ReflectedCommandEntry<STN_CLICKED, &CLabel::OnClicked>,
    ReflectedMessageEntry<WM_CTLCOLORSTATIC, &CLabel::OnColor>,
}};

class ReflectionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_parent.CreateEx(0, nullptr, "parent", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                      nullptr, nullptr));
        ASSERT_TRUE(m_label.Create("STATIC", "text", SS_NOTIFY, RECT{0, 0, 50, 20}, &m_parent, ID_LABEL));
    }

    LRESULT FromLabel(UINT message, WPARAM wParam) const
    {
        return ::SendMessageA(m_parent.m_hWnd, message, wParam, reinterpret_cast<LPARAM>(m_label.m_hWnd));
    }

    CParentWnd m_parent;
    CLabel m_label;
};

TEST_F(ReflectionTest, ControlHandlesItsOwnNotificationAndLeavesTheRestToItsParent)
{
    FromLabel(WM_COMMAND, MAKEWPARAM(ID_LABEL, STN_CLICKED));
    FromLabel(WM_COMMAND, MAKEWPARAM(ID_LABEL, STN_DBLCLK));
    EXPECT_EQ(m_label.m_log, "label clicked;");
    EXPECT_EQ(m_parent.m_log, "parent double-clicked;");
}

TEST_F(ReflectionTest, ColouringWithoutABrushFallsBackToTheParentsDefault)
{
    const HDC dc = ::GetDC(m_label.m_hWnd);
    const auto defaultBrush = ::DefWindowProcA(m_parent.m_hWnd, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                               reinterpret_cast<LPARAM>(m_label.m_hWnd));
    EXPECT_EQ(FromLabel(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc)), defaultBrush);
    m_label.m_brush = static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
    EXPECT_EQ(FromLabel(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc)),
              reinterpret_cast<LRESULT>(m_label.m_brush));
    ::ReleaseDC(m_label.m_hWnd, dc);
    EXPECT_EQ(m_label.m_log, "label colour;label colour;");
}

} // namespace
