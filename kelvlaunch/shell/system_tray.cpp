#include "shell/system_tray.h"

#include "ansi_code_page.h"
#include "ansi_text.h"
#include "app/kelvlaunch_app.h"
#include "scoped_win.h"
#include "winfx/win_app.h"

namespace {

// The record with the balloon fields, which every system with balloons understands.
constexpr DWORD kIconDataSize = NOTIFYICONDATAA_V2_SIZE;
static_assert(sizeof(void*) != 4 || kIconDataSize == 488, "the shell's record with balloon fields");

constexpr UINT kShowFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
constexpr char kTaskbarClass[] = "Shell_TrayWnd";

// Copies text into a fixed field, keeping its terminating zero. A double-byte character
// that would not fit whole is dropped rather than split.
template <std::size_t N>
void CopyCut(char (&field)[N], const char* text)
{
    const std::string_view kept = CutToWholeCharacters(text ? text : "", N - 1, IsAnsiLeadByte);
    field[kept.copy(field, kept.size())] = '\0';
}

bool ShellSupportsIcons()
{
    return LOBYTE(LOWORD(::GetVersion())) >= 4;
}

// The button a right click presses, whatever the user's choice of primary button; the
// asynchronous state is the physical button's.
bool RightButtonDown()
{
    const int key = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_LBUTTON : VK_RBUTTON;
    return (::GetAsyncKeyState(key) & 0x8000) != 0;
}

// The shell's identification of an icon, for the icon's rectangle (from Windows 7 on).
struct NotifyIconIdentifier {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    GUID guidItem;
};
using GetIconRect = HRESULT(WINAPI*)(const NotifyIconIdentifier*, RECT*);

bool SystemHasBalloons()
{
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    static_assert(sizeof version == 148, "the version record balloons are tested with");
    return ::GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
           version.dwMajorVersion >= 5;
}

} // namespace

const MessageMap CSystemTray::messageMap{&CWnd::messageMap, {
    MessageEntry<WM_SETTINGCHANGE, &CSystemTray::OnSettingChange>,
    RegisteredMessageEntry<&taskbarCreatedMessage, &CSystemTray::OnTaskbarRestart>,
}};

CSystemTray::CSystemTray(CTrayMenuBuilder& menuBuilder)
    : m_bBalloonSupported(SystemHasBalloons()), m_menuBuilder(menuBuilder)
{
}

CSystemTray::~CSystemTray()
{
    DeleteIcon();
    DestroyWindow();
}

bool CSystemTray::CreateIcon(CWnd* owner, UINT callbackMessage, const std::string& tip,
                             UINT iconResource, UINT iconId, const char* balloonText,
                             const char* balloonTitle, DWORD balloonIcon, UINT balloonTimeoutSeconds)
{
    m_bShellSupported = ShellSupportsIcons();
    if (!m_bShellSupported)
        return false;
    // This object's own window carries the icon only where there is no owner to.
    if (!owner || !owner->m_hWnd)
        CreateBroadcastWindow();

    m_iconData.cbSize = kIconDataSize;
    m_iconData.hWnd = m_hWnd ? m_hWnd : owner->m_hWnd;
    m_iconData.uID = iconId;
    m_nIconResource = iconResource;
    LoadIconImage();
    m_iconData.uCallbackMessage = callbackMessage;
    m_iconData.uFlags = kShowFlags;
    CopyCut(m_iconData.szTip, tip.c_str());

    const bool withBalloon = m_bBalloonSupported && balloonText;
    if (withBalloon) {
        m_iconData.uFlags |= NIF_INFO;
        CopyCut(m_iconData.szInfo, balloonText);
        CopyCut(m_iconData.szInfoTitle, balloonTitle);
        m_iconData.uTimeout = balloonTimeoutSeconds * 1000;
        m_iconData.dwInfoFlags = balloonIcon;
    }
    m_uAddFlags = m_iconData.uFlags;
    m_bIconWanted = true;

    const HWND taskbarAtAdd = ::FindWindowA(kTaskbarClass, nullptr);
    const bool added = Notify(NIM_ADD, m_uAddFlags);
    m_bNotShown = m_bDeleted = !added;
    // The balloon belongs to this add only: no later add or modify shows it again.
    if (withBalloon)
        m_iconData.szInfo[0] = '\0';
    // Beside an owner, the window for the broadcasts comes after the add, so that the icon
    // does not wait for a second window. A taskbar created meanwhile (at logon the shell
    // may start just then) broadcast before this window could hear it: it gets the icon here.
    if (!m_hWnd) {
        CreateBroadcastWindow();
        if (::FindWindowA(kTaskbarClass, nullptr) != taskbarAtAdd)
            OnTaskbarRestart(0, 0);
    }
    return !m_bNotShown;
}

void CSystemTray::CreateBroadcastWindow()
{
    // Top-level, as the taskbar's broadcasts reach only those; never shown.
    CreateEx(0, RegisterWndClass(0), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr);
}

bool CSystemTray::DeleteIcon()
{
    m_bIconWanted = false;
    if (!m_bShellSupported || m_bDeleted)
        return true;
    if (Notify(NIM_DELETE, 0))
        m_bNotShown = m_bDeleted = true;
    return m_bDeleted;
}

void CSystemTray::ShowAgain()
{
    if (m_bIconWanted)
        Restore(NIM_MODIFY);
}

LRESULT CSystemTray::HandleIconNotification(UINT iconId, UINT mouseMessage)
{
    if (iconId != m_iconData.uID)
        return 0;
    CWinApp* app = CWinApp::GetApp();
    if (!app || !app->m_pMainWnd || !app->m_pMainWnd->m_hWnd)
        return 0;
    const HWND owner = app->m_pMainWnd->m_hWnd;
    const UINT button = LOWORD(mouseMessage);
    // Under the icon's first version, which this icon keeps, the shell reports Enter, Space,
    // Shift+F10 and the context-menu key on the selected icon as the right button's press and
    // release. Only a press of the mouse has the button down.
    const bool fromKeyboard = button == WM_RBUTTONUP && m_bKeyboardPress;
    m_bKeyboardPress = button == WM_RBUTTONDOWN && !RightButtonDown();
    if (button != WM_RBUTTONUP && button != WM_LBUTTONUP)
        return 1;

    // The icon id doubles as the menu's resource id.
    const scoped::Menu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_iconData.uID)));
    if (!menu)
        return 0;
    m_menuBuilder.BuildPlannedSessionMenu(menu.get());
    const HMENU popup = ::GetSubMenu(menu.get(), 0);
    if (!popup)
        return 0;
    ::SetMenuDefaultItem(popup, m_nDefaultItem, m_bDefaultByPosition);
    PrepareMenu(popup);

    // A click opens the menu at the pointer; a key, beside the icon (where the pointer may
    // be anywhere), with its first item selected as a menu opened by keyboard has.
    POINT at{};
    ::GetCursorPos(&at);
    TPMPARAMS around{};
    around.cbSize = sizeof around;
    const bool atIcon = fromKeyboard && IconRect(around.rcExclude);
    if (atIcon)
        at = {around.rcExclude.left, around.rcExclude.top};
    NOTIFYICONDATAA icon{};
    icon.cbSize = kIconDataSize;
    icon.hWnd = m_iconData.hWnd;
    icon.uID = m_iconData.uID;
    // Without the owner in front the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(owner);
    if (fromKeyboard)
        ::PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
    // The chosen command is posted rather than run inside the menu's loop, so that it
    // meets the frame as any other command does.
    const UINT command = static_cast<UINT>(::TrackPopupMenuEx(
        popup, TPM_RETURNCMD | (atIcon ? TPM_BOTTOMALIGN | TPM_VERTICAL : 0), at.x, at.y, owner,
        atIcon ? &around : nullptr));
    if (command) {
        ::PostMessageA(owner, WM_COMMAND, command, 0);  // as the menu itself would send it
    } else if (fromKeyboard) {
        // Cancelled: the keyboard user goes on in the notification area, not in our hidden frame.
        ::Shell_NotifyIconA(NIM_SETFOCUS, &icon);
    }
    // Switches the owner's task after the menu so that the next click opens it again.
    ::PostMessageA(owner, WM_NULL, 0, 0);
    return 1;
}

void CSystemTray::PrepareMenu(HMENU) {}

// Where the icon is, as the shell says; on systems that cannot say, the notification area.
bool CSystemTray::IconRect(RECT& rect) const
{
    const auto getRect = reinterpret_cast<GetIconRect>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("shell32.dll"), "Shell_NotifyIconGetRect")));
    const NotifyIconIdentifier icon{sizeof icon, m_iconData.hWnd, m_iconData.uID, GUID{}};
    if (getRect && SUCCEEDED(getRect(&icon, &rect)))
        return true;
    const HWND taskbar = ::FindWindowA(kTaskbarClass, nullptr);
    const HWND area = taskbar ? ::FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr) : nullptr;
    return taskbar && ::GetWindowRect(area ? area : taskbar, &rect);
}

LRESULT CSystemTray::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Only where the notifications come to this window rather than to an owner.
    if (message == m_iconData.uCallbackMessage && message != 0)
        return HandleIconNotification(static_cast<UINT>(wParam), static_cast<UINT>(lParam));
    return CWnd::WindowProc(message, wParam, lParam);
}

LRESULT CSystemTray::OnTaskbarRestart(WPARAM, LPARAM)
{
    // Also a taskbar that comes late, after a first add that failed, gets the icon; one that
    // arrives while the shell still holds it (the add fails) refreshes it instead.
    if (m_bIconWanted) {
        LoadIconImage();
        Restore(NIM_ADD);
    }
    return 0;
}

LRESULT CSystemTray::OnSettingChange(WPARAM flag, LPARAM)
{
    const LRESULT result = Default();
    // A refresh, never an add of the balloon again: the shell still holds the icon unless
    // the modify fails.
    if (flag == SPI_SETWORKAREA && !m_bNotShown)
        Restore(NIM_MODIFY);
    return result;
}

void CSystemTray::LoadIconImage()
{
    m_icon.reset(static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                 MAKEINTRESOURCEA(m_nIconResource), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), 0)));
    m_iconData.hIcon = m_icon.get();
}

bool CSystemTray::Notify(DWORD message, UINT flags)
{
    m_iconData.uFlags = flags;
    return ::Shell_NotifyIconA(message, &m_iconData) != FALSE;
}

void CSystemTray::Restore(DWORD firstTry)
{
    const bool shown = firstTry == NIM_ADD
                           ? Notify(NIM_ADD, m_uAddFlags) || Notify(NIM_MODIFY, kShowFlags)
                           : Notify(NIM_MODIFY, kShowFlags) || Notify(NIM_ADD, m_uAddFlags);
    m_bNotShown = !shown;
    if (shown)
        m_bDeleted = false;
}
