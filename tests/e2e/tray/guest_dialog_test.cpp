// "Be a Guest...": the access-code dialog comes up in front of everything, centred on the
// work area with the focus in its edit, and only a confirmed code opens the guest page.
#include "tray_test_support.h"

#include "tests/tools/window_driver.h"

#include <functional>

namespace {

constexpr UINT kBeAGuest = 32796;
constexpr UINT kAccessCodeEdit = 1027;

class GuestDialogTest : public TrayTest {
protected:

    // Opens the dialog as the menu item does, checks how it shows, and returns it.
    HWND OpenDialog()
    {
        ::PostMessageA(m_run.Frame(), WM_COMMAND, kBeAGuest, 0);
        HWND dialog = nullptr;
        WaitUntil([&] { return (dialog = VisibleDialog()) != nullptr; }, LauncherRun::kTimeoutMs);
        if (!dialog) {
            ADD_FAILURE() << "no access-code dialog";
            return nullptr;
        }
        const HWND edit = ::GetDlgItem(dialog, kAccessCodeEdit);
        EXPECT_EQ(::GetWindow(dialog, GW_OWNER), m_run.Frame());
        EXPECT_EQ(WindowText(edit), "") << "the edit starts empty";
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; }, 5000)) << "not in front";
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        ::GetGUIThreadInfo(Thread(), &thread);
        EXPECT_EQ(thread.hwndFocus, edit) << "the focus is not in the edit";

        RECT area{}, window{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
        ::GetWindowRect(dialog, &window);
        EXPECT_NEAR((window.left + window.right) / 2, (area.left + area.right) / 2, 1);
        EXPECT_NEAR((window.top + window.bottom) / 2, (area.top + area.bottom) / 2, 1);
        return dialog;
    }

    HWND VisibleDialog() const
    {
        for (HWND hWnd : TopLevelWindowsOf(m_run.Process().Id()))
            if (::IsWindowVisible(hWnd) && WindowText(hWnd) == "Join a Session as a Guest")
                return hWnd;
        return nullptr;
    }

    // Types the code (when given), ends the dialog and waits until it is gone.
    void Finish(HWND dialog, const char* code, const std::function<void(HWND)>& end)
    {
        const HWND edit = ::GetDlgItem(dialog, kAccessCodeEdit);
        if (code)
            ::SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(code));
        end(dialog);
        EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(dialog); }, LauncherRun::kTimeoutMs));
    }
};

void ClickOk(HWND dialog)
{
    ::PostMessageA(::GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
}
void ClickCancel(HWND dialog)
{
    ::PostMessageA(::GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
}
void PressKey(HWND dialog, UINT key)
{
    const HWND edit = ::GetDlgItem(dialog, kAccessCodeEdit);
    ::PostMessageA(edit, WM_KEYDOWN, key, 1);
    ::PostMessageA(edit, WM_KEYUP, key, 0xC0000001);
}

TEST_F(GuestDialogTest, OnlyAConfirmedCodeOpensTheGuestPage)
{
    StoreSetting("name", "Ann Lee");
    StoreSetting("username", "ann@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    StoreSetting("skin", "s1");
    ASSERT_TRUE(Start());
    const std::string guestPage = std::string(kBaseUrl) + "join?agent&guest&adv&name=Ann Lee&email=ann@x.example&p=";

    HWND dialog = OpenDialog();
    ASSERT_TRUE(dialog);
    Finish(dialog, " 4711 x ", ClickOk);
    EXPECT_EQ(NextBrowserAddress(), guestPage + " 4711 x &skin=s1");

    // Cancel and Escape open nothing; the edit is empty again each time.
    ASSERT_TRUE(dialog = OpenDialog());
    Finish(dialog, "111", ClickCancel);
    ASSERT_TRUE(dialog = OpenDialog());
    Finish(dialog, "222", [](HWND d) { PressKey(d, VK_ESCAPE); });

    // An empty code is taken as it is.
    ASSERT_TRUE(dialog = OpenDialog());
    Finish(dialog, nullptr, ClickOk);
    EXPECT_EQ(NextBrowserAddress(), guestPage + "&skin=s1");

    // Enter in the edit presses OK.
    ASSERT_TRUE(dialog = OpenDialog());
    Finish(dialog, "99", [](HWND d) { PressKey(d, VK_RETURN); });
    EXPECT_EQ(NextBrowserAddress(), guestPage + "99&skin=s1");

    EXPECT_TRUE(ExitsCleanly());
    EXPECT_EQ(m_browser.Starts().size(), 3u);
}

} // namespace
