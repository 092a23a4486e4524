// Dialogs: the framework's modal loop with PreTranslateMessage ahead of the dialog manager,
// OK and Cancel through the message map, the owner disabled while the dialog runs, and a
// WM_QUIT that ends the dialog and is passed on to the outer loop.
#include "winfx/dialog.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

constexpr UINT IDD_TEST = 300;
constexpr UINT IDC_TEXT = 1000;

// Runs a script of posted input once the dialog exists, and records what it saw.
class CTestDialog : public CDialog {
public:
    explicit CTestDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST, parent) {}

    std::function<void(CTestDialog&)> script;
    bool swallowEnter = false;
    std::string text;
    int keyDownsSeen = 0;

    bool PreTranslateMessage(MSG& msg) override
    {
        if (msg.message == WM_KEYDOWN && msg.hwnd && ::GetParent(msg.hwnd) == m_hWnd) {
            ++keyDownsSeen;
            if (swallowEnter && msg.wParam == VK_RETURN)
                return true;
        }
        return CDialog::PreTranslateMessage(msg);
    }

    void PostKey(UINT key) const
    {
        const HWND edit = GetDlgItem(IDC_TEXT);
        ::PostMessageA(edit, WM_KEYDOWN, key, 1);
        ::PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
    }

protected:
    bool OnInitDialog() override
    {
        CDialog::OnInitDialog();
        if (script)
            script(*this);
        return true;
    }

    void OnOK() override
    {
        text = GetDlgItemText(IDC_TEXT);
        CDialog::OnOK();
    }
};

TEST(DialogTest, EnterPressesOkAndTheHandlerReadsTheEdit)
{
    CTestDialog dialog;
    dialog.script = [](CTestDialog& d) {
        d.SetDlgItemText(IDC_TEXT, std::string(600, 'x') + "end");
        d.PostKey(VK_RETURN);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(std::string(600, 'x') + "end", dialog.text);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    EXPECT_GE(dialog.keyDownsSeen, 1);
}

TEST(DialogTest, EscapeAndTheCloseBoxCancel)
{
    CTestDialog escaped;
    escaped.script = [](CTestDialog& d) { d.PostKey(VK_ESCAPE); };
    EXPECT_EQ(IDCANCEL, escaped.DoModal());

    CTestDialog closed;
    closed.script = [](CTestDialog& d) { ::PostMessageA(d.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, closed.DoModal());
    EXPECT_TRUE(closed.text.empty());
}

TEST(DialogTest, PreTranslateMessageComesBeforeTheDialogManager)
{
    CTestDialog dialog;
    dialog.swallowEnter = true;
    dialog.script = [](CTestDialog& d) {
        d.PostKey(VK_RETURN);  // swallowed: must not press OK
        ::PostMessageA(d.m_hWnd, WM_COMMAND, IDCANCEL, 0);
    };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
}

bool CreateOwner(CWnd& wnd)
{
    return wnd.CreateEx(0, nullptr, "owner", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr);
}

// Looks at the owner each time the modal loop asks whether to go on.
class COwnerProbe : public CTestDialog {
public:
    using CTestDialog::CTestDialog;
    bool ownerEnabledInside = false;

protected:
    bool ContinueModal() override
    {
        if (m_hWnd && m_pParentWnd)
            ownerEnabledInside = ownerEnabledInside || ::IsWindowEnabled(m_pParentWnd->m_hWnd);
        return CTestDialog::ContinueModal();
    }
};

TEST(DialogTest, TheOwnerIsDisabledWhileTheDialogRuns)
{
    CWnd owner;
    ASSERT_TRUE(CreateOwner(owner));
    COwnerProbe dialog(&owner);
    HWND ownerSeen = nullptr;
    dialog.script = [&](CTestDialog& d) {
        ownerSeen = ::GetWindow(d.m_hWnd, GW_OWNER);
        ::PostMessageA(d.m_hWnd, WM_COMMAND, IDOK, 0);
    };
    EXPECT_EQ(IDOK, dialog.DoModal());
    EXPECT_EQ(owner.m_hWnd, ownerSeen);
    EXPECT_FALSE(dialog.ownerEnabledInside);
    EXPECT_TRUE(::IsWindowEnabled(owner.m_hWnd));
    owner.DestroyWindow();
}

TEST(DialogTest, ADialogItsObjectCannotAttachIsDestroyed)
{
    CTestDialog dialog;
    ASSERT_TRUE(CreateOwner(dialog));  // already bound to another window
    ::PostQuitMessage(0);  // ends the loop should one run on the other window
    EXPECT_EQ(-1, dialog.DoModal());
    MSG quit{};
    ::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    int dialogs = 0;
    for (HWND found = nullptr; (found = ::FindWindowExA(nullptr, found, "#32770", nullptr));)
        dialogs += ::GetWindowThreadProcessId(found, nullptr) == ::GetCurrentThreadId();
    EXPECT_EQ(0, dialogs);
}

TEST(DialogTest, QuitEndsTheDialogWithCancelAndReachesTheOuterLoop)
{
    CTestDialog dialog;
    dialog.script = [](CTestDialog&) { ::PostQuitMessage(7); };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(nullptr, dialog.m_hWnd);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7u, msg.wParam);
}

TEST(DialogTest, AnOwnerDestroyedUnderTheDialogEndsItWithCancel)
{
    CWnd owner;
    ASSERT_TRUE(CreateOwner(owner));
    CTestDialog dialog(&owner);
    dialog.script = [&](CTestDialog&) { ::PostMessageA(owner.m_hWnd, WM_CLOSE, 0, 0); };
    EXPECT_EQ(IDCANCEL, dialog.DoModal());
    EXPECT_EQ(nullptr, owner.m_hWnd);
    EXPECT_EQ(nullptr, dialog.m_hWnd);
}

} // namespace
