// The launcher from its icon: the shell's notifications open the tray menu, the menu shows
// the session lists, its items start the browser, the guest dialog takes a code, and Exit
// ends the program cleanly whatever is open.
#include "tray_test_support.h"

#include "fake_service_control.h"
#include "reply_script.h"
#include "tests/tools/window_driver.h"

#include <shlobj.h>
#include <shlwapi.h>

#include <iterator>
#include <optional>

namespace fs = std::filesystem;

namespace {

const char kTip[] = "Click here to start a Kelvara Session!";
const char kSetupHint[] = "Please select \"Setup...\" to configure your Login Information.";

// The fixed part of menu 142 around its planned-session submenu.
MenuReport FullMenu(const MenuReport& planned)
{
    MenuReport menu{{0, 'I', 32789, true, "&Host a Session"},
                    {0, 'I', 32796, false, "Be a Guest..."},
                    {0, 'P', 0, false, "&Join a Planned Session"}};
    menu.insert(menu.end(), planned.begin(), planned.end());
    menu.insert(menu.end(), {{0, 'S', 0, false, ""},
                             {0, 'I', 32791, false, "&Setup..."},
                             {0, 'P', 0, false, "More"},
                             {1, 'I', 32797, false, "Manage My Account"},
                             {1, 'I', 32798, false, "Exit"},
                             {0, 'I', 32793, false, "Help"}});
    return menu;
}

MenuItem Planned(UINT id, const std::string& text)
{
    return {1, 'I', id, false, text};
}
const MenuItem kSeparator{1, 'S', 0, false, ""};
const MenuItem kImport{1, 'I', 11000, false, "Import Planned Sessions"};

TEST_F(TrayTest, TheIconsMenuShowsTheListsAndItsItemsOpenTheirPages)
{
    WriteList(m_run.Work() / "sessions.xml", {"abc=111", "a&b=222"});
    WriteList(m_run.Work() / "osessions.xml", {"xyz=333"});
    ASSERT_TRUE(Start());

    // No e-mail address: the icon comes with the welcome balloon.
    const TrayRequest add = m_tray.Requests()[0];
    EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
    EXPECT_EQ(add.window, static_cast<UINT>(reinterpret_cast<UINT_PTR>(m_run.Frame())));
    EXPECT_EQ(add.id, 142u);
    EXPECT_EQ(add.callbackMessage, WM_TRAY_NOTIFY);
    EXPECT_EQ(add.flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_INFO));
    EXPECT_EQ(add.tip, kTip);
    EXPECT_EQ(add.info, kSetupHint);
    EXPECT_EQ(add.infoTitle, "Welcome to Kelvara");
    EXPECT_EQ(add.infoFlags, static_cast<DWORD>(NIIF_WARNING));
    EXPECT_EQ(add.timeout, 20000u);

    // Only a button's release on this icon opens the menu.
    for (const auto& [icon, mouse, result] : {std::tuple{143u, WM_RBUTTONUP, 0}, {142u, WM_LBUTTONDBLCLK, 1},
                                              {142u, WM_MOUSEMOVE, 1}, {142u, WM_LBUTTONDOWN, 1},
                                              {142u, WM_RBUTTONDOWN, 1}}) {
        DWORD_PTR answer = 99;
        ASSERT_TRUE(::SendMessageTimeoutA(m_run.Frame(), WM_TRAY_NOTIFY, icon, mouse, SMTO_NORMAL, 5000, &answer));
        EXPECT_EQ(answer, static_cast<DWORD_PTR>(result)) << icon << " " << mouse;
    }
    EXPECT_EQ(m_menus->Count(), 0u);

    const MenuReport expected = FullMenu({Planned(10000, "Host \"abc\""), Planned(10001, "Host \"a&b\""), kSeparator,
                                          Planned(10002, "Join \"xyz\" as a Guest"), kSeparator, kImport});
    EXPECT_EQ(OpenMenu(WM_RBUTTONUP), expected);
    PostMenuKey(Thread(), VK_ESCAPE);
    ASSERT_TRUE(WaitForMenuClosed());
    EXPECT_EQ(OpenMenu(WM_LBUTTONUP), expected);

    // The second host item, through the menu: its access key opens the submenu at its first item.
    PostMenuChar(Thread(), 'j');
    PostMenuKey(Thread(), VK_DOWN);
    PostMenuChar(Thread(), '\r');
    EXPECT_EQ(NextBrowserAddress(), std::string(kBaseUrl) + "join?agent&host&p=222&eMail=&pAssword=&skin=");

    OpenMenu();
    PostMenuChar(Thread(), 'j');
    PostMenuKey(Thread(), VK_DOWN);
    PostMenuKey(Thread(), VK_DOWN);
    PostMenuChar(Thread(), '\r');
    EXPECT_EQ(NextBrowserAddress(), std::string(kBaseUrl) + "join?agent&guest&adv&name=&email=&p=333&skin=");

    EXPECT_TRUE(ExitsCleanly());
    EXPECT_EQ(m_browser.Starts().size(), 2u);
}

TEST_F(TrayTest, ASkinGivesTheReducedMenuAndFullListsAreNumberedWithoutGaps)
{
    StoreSetting("skin", "s1");
    StoreSetting("username", "ann@x.example");
    std::vector<std::string> hosts, guests;
    for (int i = 0; i < 49; ++i) {
        hosts.push_back("h" + std::to_string(i));
        guests.push_back("g" + std::to_string(i));
    }
    WriteList(m_run.Work() / "sessions.xml", hosts);
    WriteList(m_run.Work() / "osessions.xml", guests);
    ASSERT_TRUE(Start());

    // An e-mail address is stored: no balloon.
    EXPECT_EQ(m_tray.Requests()[0].id, 143u);
    EXPECT_EQ(m_tray.Requests()[0].flags, static_cast<UINT>(NIF_MESSAGE | NIF_ICON | NIF_TIP));

    MenuReport expected{{0, 'P', 0, true, "&Join a Planned Session"}};
    for (int i = 0; i < 49; ++i)
        expected.push_back(Planned(10000 + i, "Host \"h" + std::to_string(i) + "\""));
    expected.push_back(kSeparator);
    for (int i = 0; i < 49; ++i)
        expected.push_back(Planned(10049 + i, "Join \"g" + std::to_string(i) + "\" as a Guest"));
    expected.insert(expected.end(), {kSeparator, kImport,
                                     {0, 'I', 32796, false, "Be a Guest..."},
                                     {0, 'S', 0, false, ""},
                                     {0, 'I', 32791, false, "&Setup..."},
                                     {0, 'P', 0, false, "More"},
                                     {1, 'I', 32798, false, "Exit"},
                                     {0, 'I', 32806, false, "Help"}});
    EXPECT_EQ(OpenMenu(), expected);

    // The last guest entry, through the menu: up from the first item wraps to the last.
    PostMenuChar(Thread(), 'j');
    PostMenuKey(Thread(), VK_UP);
    PostMenuKey(Thread(), VK_UP);
    PostMenuChar(Thread(), '\r');
    EXPECT_EQ(NextBrowserAddress(), std::string(kBaseUrl) + "join?agent&guest&adv&name=&email=ann@x.example&p=49&skin=s1");
    EXPECT_TRUE(ExitsCleanly());
}

TEST_F(TrayTest, AnImportShowsItsSessionsInTheNextMenu)
{
    FakeServiceControl service;
    service.Script(ReadFileBytes(fs::path(KV_FIXTURES) / "planned_sessions_reply.json"));
    StoreSetting("server", service.Address());
    StoreSetting("username", "ann@x.example");
    WriteList(m_run.Work() / "osessions.xml", {"xyz=333"});
    ASSERT_TRUE(Start());

    // A guest list only: the empty host list gives no separator. The reply's names come
    // as they are, entities included.
    EXPECT_EQ(OpenMenu(), FullMenu({Planned(10000, "Join \"xyz\" as a Guest"), kSeparator, kImport}));
    PostMenuChar(Thread(), 'j');
    PostMenuKey(Thread(), VK_DOWN);
    PostMenuChar(Thread(), '\r');
    ASSERT_TRUE(WaitUntil([&] { return fs::exists(m_run.Work() / "sessions.xml"); }, LauncherRun::kTimeoutMs));

    EXPECT_EQ(OpenMenu(), FullMenu({Planned(10000, "Host \"Board &amp; staff\""), Planned(10001, "Host \"Again\""),
                                    Planned(10002, "Host \"Training\""), kSeparator,
                                    Planned(10003, "Join \"xyz\" as a Guest"), kSeparator, kImport}));
    PostMenuKey(Thread(), VK_ESCAPE);
    ASSERT_TRUE(WaitForMenuClosed());
    EXPECT_TRUE(ExitsCleanly());
    EXPECT_TRUE(m_browser.Starts().empty());
}

TEST_F(TrayTest, ImportedNamesAndPinsThatWouldEndTheFileHideNoOtherSession)
{
    FakeServiceControl service;
    std::string reply = "<records>";
    const auto record = [&reply](const std::string& name, const std::string& code) {
        reply += "<record><MEETING_NAME>" + name + "</MEETING_NAME><MEETING_PIN>" + code + "</MEETING_PIN></record>";
    };
    int pin = 0;
    for (const std::string& value : std::vector<std::string>{"Before", "cr\rlf\nx", "a\r\n\r\nb", "a\x1a" "b", "a</sessions>b",
                                                            "\"quoted", std::string(2 * 1024 * 1024, 'n'), "After"}) {
        record(value, std::to_string(++pin));
        record("pin " + std::to_string(++pin), value);
    }
    service.Script(JsonBody(reply + "</records>"));
    StoreSetting("server", service.Address());
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_run.Command(11000));
    ASSERT_TRUE(ExitsCleanly());

    ASSERT_TRUE(Start());
    const MenuReport menu = OpenMenu();
    PostMenuKey(Thread(), VK_ESCAPE);
    ASSERT_GE(menu.size(), 3 + 17u);
    EXPECT_EQ(menu[3], Planned(10000, "Host \"Before\""));
    EXPECT_EQ(menu[3 + 14], Planned(10014, "Host \"After\""));
    EXPECT_EQ(menu[3 + 15], Planned(10015, "Host \"pin 16\""));
    EXPECT_EQ(menu[3 + 16], kSeparator);
    EXPECT_TRUE(WaitForMenuClosed());
}

TEST_F(TrayTest, ASecondStartOnTheFolderOpensTheFirstOnesMenuAndEnds)
{
    WriteList(m_run.Work() / "sessions.xml", {"abc=111"});
    ASSERT_TRUE(Start());
    const std::string list = ReadFileBytes(m_run.Work() / "sessions.xml");
    m_tray.ForgetIcons();  // the shell lost the icon
    const std::size_t requests = m_tray.Requests().size();
    // A launcher that loads the settings creates their key.
    ASSERT_EQ(::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand"), static_cast<DWORD>(ERROR_SUCCESS));

    // The folder named by its short form, in small letters, is the same folder.
    char sameFolder[MAX_PATH] = {};
    ASSERT_NE(::GetShortPathNameA(m_run.Work().string().c_str(), sameFolder, MAX_PATH), 0u);
    ASSERT_NE(std::string(sameFolder), m_run.Work().string()) << "a folder name that is no short name";
    ::CharLowerA(sameFolder);
    ChildProcess second;
    DWORD exitCode = 1;
    ASSERT_TRUE(second.Start((m_run.Bin() / "kelvlaunch.exe").string(), "", sameFolder));
    EXPECT_TRUE(second.WaitForExit(2000, exitCode) && exitCode == 0);
    MenuReport menu;
    ASSERT_TRUE(m_menus->WaitForReport(0, LauncherRun::kTimeoutMs, menu)) << "the first one's menu did not open";
    EXPECT_EQ(menu, FullMenu({Planned(10000, "Host \"abc\""), kSeparator, kImport}));
    PostMenuKey(Thread(), VK_ESCAPE);
    ASSERT_TRUE(WaitForMenuClosed());
    ASSERT_EQ(m_tray.Requests().size(), requests + 2) << "a refused modify, then the add";
    EXPECT_TRUE(m_tray.Holds(m_run.Frame(), m_iconId));
    EXPECT_EQ(ReadFileBytes(m_run.Work() / "sessions.xml"), list);
    EXPECT_EQ(::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand"), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // A launcher on another folder runs beside the first; once the first has ended, a start runs as usual.
    LauncherRun other{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL, "other"};
    ASSERT_TRUE(other.Start());
    EXPECT_TRUE(m_tray.WaitForRequests(requests + 3, LauncherRun::kTimeoutMs) && m_tray.Holds(other.Frame(), m_iconId));
    EXPECT_TRUE(other.Exit(exitCode));
    EXPECT_TRUE(ExitsCleanly());
    EXPECT_TRUE(m_run.Start());
}

// The prefix as a Windows without "iexplore.exe" is: the recorder moved away from where the
// shell looks for that name, and the user's default browser for the http and https
// protocols set here. All as it was again afterwards.
class WithoutIexplore {
public:
    WithoutIexplore()
    {
        char system[MAX_PATH] = {};
        char programFiles[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        ::SHGetFolderPathA(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, programFiles);
        for (const std::string& folder : {std::string(system), std::string(programFiles) + "\\Internet Explorer"}) {
            const std::string aside = folder + "\\default_browser.exe";
            if (::MoveFileExA((folder + "\\iexplore.exe").c_str(), aside.c_str(), MOVEFILE_REPLACE_EXISTING))
                m_movedFrom.push_back(folder);
        }
        EXPECT_EQ(m_movedFrom.size(), 2u) << "the recorder is still iexplore.exe";
        for (const char* protocol : kProtocols) {
            Command saved{};
            DWORD size = sizeof saved.text;
            const bool found = ::RegGetValueA(HKEY_LOCAL_MACHINE, OpenCommandKey(protocol).c_str(), nullptr,
                                              RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, &saved.type,
                                              saved.text, &size) == ERROR_SUCCESS;
            m_saved.push_back(found ? std::optional<Command>(saved) : std::nullopt);
        }
        SetDefaultBrowser("\"" + std::string(system) + "\\default_browser.exe\" %1");
    }

    ~WithoutIexplore()
    {
        for (std::size_t i = 0; i < std::size(kProtocols); ++i) {
            if (m_saved[i])
                SetCommand(kProtocols[i], m_saved[i]->text, m_saved[i]->type);
            else
                ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + kProtocols[i]).c_str());
        }
        // The recorder's last start may still be ending: a running image cannot be moved.
        for (const std::string& folder : m_movedFrom)
            EXPECT_TRUE(WaitUntil([&] { return ::MoveFileExA((folder + "\\default_browser.exe").c_str(),
                                                              (folder + "\\iexplore.exe").c_str(), 0) != FALSE; },
                                  LauncherRun::kTimeoutMs));
    }

    static void SetDefaultBrowser(const std::string& command)
    {
        for (const char* protocol : kProtocols)
            SetCommand(protocol, command);
    }

private:
    static constexpr const char* kProtocols[] = {"http", "https"};

    // Under HKLM: Wine's HKEY_CLASSES_ROOT.
    static std::string OpenCommandKey(const char* protocol)
    {
        return std::string("Software\\Classes\\") + protocol + "\\shell\\open\\command";
    }
    static void SetCommand(const char* protocol, const std::string& command, DWORD type = REG_SZ)
    {
        ::SHSetValueA(HKEY_LOCAL_MACHINE, OpenCommandKey(protocol).c_str(), nullptr, type, command.c_str(),
                      static_cast<DWORD>(command.size() + 1));
    }

    struct Command {
        DWORD type;
        char text[1024];
    };

    std::vector<std::string> m_movedFrom;
    std::vector<std::optional<Command>> m_saved;
};

TEST_F(TrayTest, WithoutIexploreTheDefaultBrowserOpensTheAddressAndAFailureIsExplained)
{
    const WithoutIexplore windows;
    ASSERT_TRUE(Start());
    ASSERT_TRUE(m_run.Command(32789));  // "&Host a Session"
    EXPECT_EQ(NextBrowserAddress(), std::string(kBaseUrl) + "kv/host.jsp?agent&eMail=&pAssword=&skin=");
    ASSERT_EQ(m_browser.Starts().size(), 1u);
    EXPECT_EQ(m_browser.Starts()[0].showState, SW_SHOWMAXIMIZED);

    // No browser at all: the box gives the system's reason, and the launcher goes on.
    WithoutIexplore::SetDefaultBrowser("\"C:\\nowhere\\browser.exe\" %1");
    ::PostMessageA(m_run.Frame(), WM_COMMAND, 32789, 0);
    const HWND box = WaitForMessageBox(m_run.Process().Id(), "kelvlaunch", LauncherRun::kTimeoutMs);
    ASSERT_NE(box, nullptr);
    const MessageBoxContent content = ReadMessageBox(box);
    const std::string prefix = "No web browser could be started to open the Kelvara page.\r\n\r\n";
    EXPECT_EQ(content.text.substr(0, prefix.size()), prefix);
    EXPECT_GT(content.text.size(), prefix.size() + 10) << content.text;
    EXPECT_EQ(content.text.find("System error"), std::string::npos) << content.text;
    EXPECT_TRUE(content.hasIcon);
    PressMessageBoxButton(box, IDOK);
    EXPECT_TRUE(ExitsCleanly());
    EXPECT_EQ(m_browser.Starts().size(), 1u);
}

// Per-application Windows version, as Wine offers it.
class WindowsVersion {
public:
    explicit WindowsVersion(const char* version)
    {
        ::SHSetValueA(HKEY_CURRENT_USER, kKey, "Version", REG_SZ, version, static_cast<DWORD>(strlen(version) + 1));
    }
    ~WindowsVersion() { ::SHDeleteValueA(HKEY_CURRENT_USER, kKey, "Version"); }

private:
    static constexpr char kKey[] = "Software\\Wine\\AppDefaults\\kelvlaunch.exe";
};

TEST_F(TrayTest, TheWelcomeBalloonNeedsTheNtFamilyFromVersion5)
{
    for (const auto& [version, balloon] : {std::pair{"nt40", false}, {"win98", false}, {"win2k", true}}) {
        SCOPED_TRACE(version);
        WindowsVersion windows(version);
        LauncherRun run{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL};
        const std::size_t before = m_tray.Requests().size();
        ASSERT_TRUE(run.Start());
        ASSERT_TRUE(m_tray.WaitForRequests(before + 1, LauncherRun::kTimeoutMs));
        const TrayRequest add = m_tray.Requests()[before];
        EXPECT_EQ(add.message, static_cast<DWORD>(NIM_ADD));
        EXPECT_EQ(add.tip, kTip);
        EXPECT_EQ((add.flags & NIF_INFO) != 0, balloon);
        EXPECT_EQ(add.info, balloon ? kSetupHint : "");
        DWORD exitCode = 1;
        EXPECT_TRUE(run.Exit(exitCode));
        EXPECT_EQ(exitCode, 0u);
    }
}

} // namespace
