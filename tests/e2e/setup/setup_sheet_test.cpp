// The Setup sheet as a user meets it: opened from the tray's Setup command (posted to the
// hidden frame), its pages and dialogs driven through their controls, and what the user
// and the list files see afterwards.
#include "accessible_reader.h"
#include "sheet_driver.h"

#include "tests/tools/launcher_run.h"
#include "tests/tools/menu_reading.h"
#include "tests/tools/tray_stand_in.h"
#include "tests/tools/window_driver.h"

#include "browser_recording.h"
#include "fake_service_control.h"

#include <gtest/gtest.h>
#include <commctrl.h>
#include <oleacc.h>
#include <shlwapi.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr UINT kSetup = 32791;
constexpr UINT kImportPlanned = 11000;
const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";
const char kHeapCheckingKey[] =
    "Software\\Microsoft\\Windows NT\\CurrentVersion\\Image File Execution Options\\kelvlaunch.exe";
const char kHttpOpenKey[] = "Software\\Classes\\https\\shell\\open\\command";  // under HKLM: Wine's HKCR

// Page indexes in the order of a stored account.
constexpr int kHostPage = 0;
constexpr int kGuestPage = 1;
constexpr int kLoginPage = 2;
constexpr int kAboutPage = 3;

using Rows = std::vector<std::pair<std::string, std::string>>;

std::string ListBytes(const Rows& rows)
{
    std::string bytes = "<sessions>\r\n";
    for (const auto& [description, accessCode] : rows)
        bytes += "\t<session Description=\"" + description + "\" AccessCode=\"" + accessCode + "\" />\r\n";
    return bytes + "</sessions>\r\n";
}

void StoreSetting(const char* name, const std::string& value)
{
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

std::string Setting(const char* name)
{
    char value[256] = {};
    DWORD size = sizeof value;
    ::SHGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, nullptr, value, &size);
    return value;
}

class SetupSheetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
        StoreSetting("server", m_service.Address());
    }

    void TearDown() override
    {
        DWORD exitCode = 0;
        if (m_run.Frame()) {
            EXPECT_TRUE(m_run.Exit(exitCode));
        }
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    DWORD Pid() const { return m_run.Process().Id(); }

    void WriteList(const char* file, const Rows& rows) const
    {
        std::ofstream(m_run.Work() / file, std::ios::binary) << ListBytes(rows);
    }
    std::string List(const char* file) const { return ReadFileBytes(m_run.Work() / file); }
    // The store follows the dialog's end: wait for the file to hold the rows.
    void ExpectHostList(const Rows& rows) const
    {
        const std::string expected = ListBytes(rows);
        WaitUntil([&] { return List("sessions.xml") == expected; }, 20000);
        EXPECT_EQ(List("sessions.xml"), expected);
    }

    // Starts the launcher (once) and opens the sheet as the tray menu's Setup does.
    HWND OpenSheet()
    {
        if (!m_run.Frame()) {
            EXPECT_TRUE(m_run.Start());
        }
        ::PostMessageA(m_run.Frame(), WM_COMMAND, kSetup, 0);
        m_sheet = WaitForVisibleWindow(Pid(), kSheetCaption);
        EXPECT_NE(m_sheet, nullptr);
        return m_sheet;
    }

    void CloseSheet()
    {
        ::PostMessageA(m_sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_TRUE(WaitUntilGone(m_sheet));
    }

    HWND Page(int index)
    {
        ShowPage(m_sheet, index);
        return CurrentPage(m_sheet);
    }

    void Picture(const char* name) const
    {
        SaveWindowPicture(m_sheet, std::string(KV_PICTURES) + "\\" + name + ".bmp");
    }

    void ExpectSelectionMessage(const char* when)
    {
        const OwnedBox box = DismissMessageBox(Pid(), m_sheet);
        EXPECT_EQ(box.text, "You must select a single item first by clicking on it") << when;
        EXPECT_FALSE(box.hasIcon) << when;
        EXPECT_TRUE(box.ownedBySheet) << when;
    }

    LauncherRun m_run{KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL};
    FakeServiceControl m_service;
    HWND m_sheet = nullptr;
};

TEST_F(SetupSheetTest, FirstUseOpensOnLoginInfoOnceWithoutButtonsAndIgnoresEnter)
{
    m_service.Script(R"({"replies": [{"body": "<result>OK</result>"}]})");
    OpenSheet();
    EXPECT_EQ(CurrentPageTitle(m_sheet), "Login Info");
    for (int id : {IDOK, IDCANCEL, 9, 12321})
        EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(m_sheet, id))) << id;
    const char* order[] = {"&Login Info", "&Host Meetings", "&Guest Meetings", "A&bout"};
    for (int index = 0; index < 4; ++index)
        EXPECT_EQ(WindowText(Page(index)), order[index]);

    // Enter in an edit does not validate (in the list it is Edit Entry: the keyboard test).
    // A second Setup opens nothing. The selection message that follows them in the queue
    // shows that both have been handled.
    PressKey(::GetDlgItem(Page(0), 1020), VK_RETURN);
    const HWND host = Page(1);
    ::PostMessageA(m_run.Frame(), WM_COMMAND, kSetup, 0);
    Click(host, 1017);
    ExpectSelectionMessage("Edit on an empty list");
    int sheets = 0;
    for (HWND hWnd : TopLevelWindowsOf(Pid()))
        sheets += ::IsWindowVisible(hWnd) && WindowText(hWnd) != "kelvlaunch";
    EXPECT_EQ(sheets, 1);
    EXPECT_EQ(m_service.Requests(), "");

    CloseSheet();
    OpenSheet();  // once closed, Setup opens it again
    EXPECT_EQ(CurrentPageTitle(m_sheet), "Login Info");
    EXPECT_FALSE(fs::exists(m_run.Work() / "sessions.xml"));
}

TEST_F(SetupSheetTest, HostPageChangesReachTableAndFileAtOnce)
{
    StoreSetting("username", "ann@example.com");
    const std::string longDescription(600, 'd');
    // Bytes that end no line, file or entry: shown and stored again as the file has them.
    const std::string inside = "Tab\tand \x01\x02\x03\x04\x05\x06\x07\x08 inside";
    WriteList("sessions.xml",
              {{"  Weekly review ", " 123\t"}, {"No code", ""}, {longDescription, "600"}, {inside, "8\t9"}});
    OpenSheet();
    EXPECT_EQ(CurrentPageTitle(m_sheet), "Host Meetings");
    const HWND page = CurrentPage(m_sheet);
    Picture("host_meetings");
    const HWND listWindow = ::GetDlgItem(page, 1012);
    RemoteListView list(listWindow, Pid());
    EXPECT_EQ(list.Column(0), (std::vector<std::string>{"Weekly review", longDescription, inside}));
    EXPECT_EQ(list.Column(1), (std::vector<std::string>{"123", "600", "8\t9"}));
    RECT rect{};
    ::GetWindowRect(listWindow, &rect);
    const int width = rect.right - rect.left - 4;
    EXPECT_EQ(list.ColumnWidth(0), static_cast<int>(0.7 * width));
    EXPECT_EQ(list.ColumnWidth(1), static_cast<int>(0.3 * width));

    // Edit and Delete need exactly one selected row; Add never asks.
    Click(page, 1017);
    ExpectSelectionMessage("Edit without a selection");
    list.Select({0, 1});
    Click(page, 1008);
    ExpectSelectionMessage("Delete with two selected");
    EXPECT_EQ(list.Count(), 3);

    // The first change stores the trimmed rows: the entry without an access code is gone.
    EXPECT_EQ(EnterSession(Pid(), page, 1009, "  Team  ", " 42 "), "");
    const Rows stored{{"Weekly review", "123"}, {longDescription, "600"}, {inside, "8\t9"}, {"Team", "42"}};
    ExpectHostList(stored);
    EXPECT_EQ(EnterSession(Pid(), page, 1009, "", "7"), "");
    Rows withEmpty = stored;
    withEmpty.push_back({"<empty>", "7"});
    ExpectHostList(withEmpty);

    // A blank access code adds nothing, but the file is written from the rows again.
    WriteList("sessions.xml", {});
    EXPECT_EQ(EnterSession(Pid(), page, 1009, "Blank", "   "), "");
    ExpectHostList(withEmpty);

    // Cancel keeps everything; Edit changes the selected row, a typed TAB kept; Delete asks nothing.
    list.Select({0});
    EXPECT_EQ(EnterSession(Pid(), page, 1017, "Changed", "999", false), "");
    EXPECT_EQ(List("sessions.xml"), ListBytes(withEmpty));
    EXPECT_EQ(EnterSession(Pid(), page, 1017, " Weekly\tplan ", "124"), "");
    list.Select({4});
    EXPECT_EQ(EnterSession(Pid(), page, 1017, "Cleared code", ""), "");  // the row stays as it was
    list.Select({1});
    Click(page, 1008);
    ExpectHostList({{"Weekly\tplan", "124"}, {inside, "8\t9"}, {"Team", "42"}, {"<empty>", "7"}});
    EXPECT_EQ(list.Count(), 4);
}

TEST_F(SetupSheetTest, ImportWhileOpenRefreshesHostPageAndFullListRefusesAdd)
{
    StoreSetting("username", "ann@example.com");
    Rows rows;
    for (int i = 0; i < 47; ++i)
        rows.push_back({"Meeting " + std::to_string(i), std::to_string(1000 + i)});
    WriteList("sessions.xml", rows);
    m_service.Script(R"({"replies": [{"body": "<records><record><MEETING_NAME>Planned</MEETING_NAME><MEETING_PIN>77</MEETING_PIN></record></records>"}]})");
    OpenSheet();
    const HWND page = CurrentPage(m_sheet);
    RemoteListView list(::GetDlgItem(page, 1012), Pid());
    list.Select({5});

    // The import lands while Session Information is open; OK then adds to the new rows,
    // and Delete acts on the row selected before, found by its content.
    Click(page, 1009);
    const HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
    ASSERT_NE(dialog, nullptr);
    ::PostMessageA(m_run.Frame(), WM_COMMAND, kImportPlanned, 0);
    EXPECT_TRUE(WaitUntil([&] { return list.Count() == 48; }, 20000));
    EXPECT_EQ(list.ItemText(47, 0), "Planned");
    SetText(::GetDlgItem(dialog, 1015), "49th");
    PressKey(::GetDlgItem(dialog, 1015), VK_RETURN);
    EXPECT_TRUE(WaitUntil([&] { return list.Count() == 49; }, 20000));
    rows.push_back({"Planned", "77"});
    rows.push_back({"<empty>", "49th"});
    ExpectHostList(rows);

    Click(page, 1009);
    const OwnedBox full = DismissMessageBox(Pid(), m_sheet);
    EXPECT_NE(full.text.find("49"), std::string::npos) << full.text;
    EXPECT_TRUE(full.hasIcon);
    EXPECT_TRUE(full.ownedBySheet);
    EXPECT_EQ(WaitForVisibleWindow(Pid(), "Session Information"), nullptr);

    Click(page, 1008);  // row 5 is still the selected one
    EXPECT_TRUE(WaitUntil([&] { return list.Count() == 48; }, 20000));
    rows.erase(rows.begin() + 5);
    ExpectHostList(rows);
}

TEST_F(SetupSheetTest, ListThatCannotBeWrittenIsReportedAndStoredInTheirOrder)
{
    StoreSetting("username", "ann@example.com");
    WriteList("sessions.xml", {{"Host", "1"}});
    WriteList("osessions.xml", {{"Guest", "1"}});
    const std::string hostBefore = List("sessions.xml");
    const std::string guestBefore = List("osessions.xml");
    OpenSheet();
    for (auto [index, file, button] : {std::tuple{kGuestPage, "osessions.xml", 1023},
                                       std::tuple{kHostPage, "sessions.xml", 1009}}) {
        // Another program holds the file open without sharing.
        scoped::File holder(::CreateFileA((m_run.Work() / file).string().c_str(), GENERIC_READ, 0,
                                          nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(holder);
        const HWND page = Page(index);
        Click(page, button);
        const HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
        SetText(::GetDlgItem(dialog, 1015), "2");
        PressKey(::GetDlgItem(dialog, 1015), VK_RETURN);
        const OwnedBox warning = DismissMessageBox(Pid(), m_sheet);
        EXPECT_NE(warning.text.find(std::string("\"") + file + "\""), std::string::npos) << warning.text;
        const std::size_t reason = warning.text.find("\r\n\r\n");  // the system's, after a blank line
        EXPECT_TRUE(reason != std::string::npos && reason + 4 < warning.text.size()) << warning.text;
        EXPECT_TRUE(warning.hasIcon);
        EXPECT_TRUE(warning.ownedBySheet);
        EXPECT_EQ(RemoteListView(::GetDlgItem(page, index == kHostPage ? 1012 : 1026), Pid()).Count(), 2);
    }
    EXPECT_EQ(List("sessions.xml"), hostBefore);
    EXPECT_EQ(List("osessions.xml"), guestBefore);

    // The next opening shows the tables: the host one took the rows, the guest one did not.
    CloseSheet();
    OpenSheet();
    EXPECT_EQ(RemoteListView(::GetDlgItem(Page(kHostPage), 1012), Pid()).Count(), 2);
    EXPECT_EQ(RemoteListView(::GetDlgItem(Page(kGuestPage), 1026), Pid()).Count(), 1);
}

TEST_F(SetupSheetTest, ListHeldAtStartIsNeverWrittenUntilItHasBeenRead)
{
    StoreSetting("username", "ann@example.com");
    WriteList("sessions.xml", {{"Host", "1"}});
    WriteList("osessions.xml", {{"Guest", "1"}});
    const std::string hostBefore = List("sessions.xml");
    m_service.Script(R"({"replies": [{"body": "<records><record><MEETING_NAME>P</MEETING_NAME><MEETING_PIN>7</MEETING_PIN></record></records>"}]})");
    const auto hold = [this](const char* file, DWORD shareMode) {
        return scoped::File(::CreateFileA((m_run.Work() / file).string().c_str(), GENERIC_READ, shareMode, nullptr,
                                          OPEN_EXISTING, 0, nullptr));
    };
    scoped::File holder = hold("sessions.xml", 0);
    {
        const scoped::File reader = hold("osessions.xml", FILE_SHARE_READ);  // a reader that shares reading
        OpenSheet();
    }
    EXPECT_EQ(RemoteListView(::GetDlgItem(Page(kGuestPage), 1026), Pid()).Count(), 1);
    const HWND page = Page(kHostPage);

    // An Add and an import are refused, each with one warning naming the file and why.
    const auto expectWarning = [this](const char* change) {
        const OwnedBox warning = DismissMessageBox(Pid(), m_sheet);
        EXPECT_NE(warning.text.find("could not be read from \"sessions.xml\""), std::string::npos) << change;
        const std::size_t reason = warning.text.find("\r\n\r\n");  // the system's, after a blank line
        EXPECT_TRUE(reason != std::string::npos && reason + 4 < warning.text.size()) << warning.text;
        EXPECT_TRUE(warning.ownedBySheet) << change;
    };
    Click(page, 1009);
    expectWarning("Add");
    ::PostMessageA(m_run.Frame(), WM_COMMAND, kImportPlanned, 0);
    expectWarning("import");
    EXPECT_EQ(RemoteListView(::GetDlgItem(page, 1012), Pid()).Count(), 0);
    holder.reset();
    EXPECT_EQ(List("sessions.xml"), hostBefore);

    // Once the holder has let go, the next opening reads the list, and a change is stored.
    CloseSheet();
    OpenSheet();
    EXPECT_EQ(EnterSession(Pid(), Page(kHostPage), 1009, "New", "2"), "");
    ExpectHostList({{"Host", "1"}, {"New", "2"}});
}

TEST_F(SetupSheetTest, ValidateStoresOnlyAnAcceptedAccountAndClearStartsOverOnLoginInfo)
{
    StoreSetting("name", "Old");
    StoreSetting("username", "old@example.com");
    StoreSetting("password", "0123456789abcdef0123456789abcdef");
    OpenSheet();
    const HWND page = Page(kLoginPage);
    EXPECT_EQ(Text(::GetDlgItem(page, 1020)), "Old");
    EXPECT_EQ(Text(::GetDlgItem(page, 1019)), "0123456789abcdef0123456789abcdef");
    Picture("login_info");
    SetText(::GetDlgItem(page, 1020), "Ann");
    SetText(::GetDlgItem(page, 1018), "ann@example.com");
    SetText(::GetDlgItem(page, 1019), "secret");

    m_service.Script(R"({"replies": [{"body": "NA"}]})");
    Click(page, 1022);
    OwnedBox box = DismissMessageBox(Pid(), m_sheet);
    EXPECT_EQ(box.text, "Invalid username or password");
    EXPECT_TRUE(box.hasIcon && box.ownedBySheet);
    EXPECT_EQ(Setting("username"), "old@example.com");

    // Nothing listens on the server's address: the connection error, then the outcome.
    const std::string address = m_service.Address();
    StoreSetting("server", address.substr(0, address.rfind('.')) + ".250");
    Click(page, 1022);
    box = DismissMessageBox(Pid(), m_sheet);
    EXPECT_TRUE(box.hasIcon && box.ownedBySheet) << box.text;
    EXPECT_NE(box.text, "Communications error");
    box = DismissMessageBox(Pid(), m_sheet);
    EXPECT_EQ(box.text, "Communications error");
    EXPECT_EQ(Setting("password"), "0123456789abcdef0123456789abcdef");

    StoreSetting("server", address);
    m_service.Script(R"({"replies": [{"body": "<result>OK</result><skin>blue</skin>"}]})");
    Click(page, 1022);
    box = DismissMessageBox(Pid(), m_sheet);
    EXPECT_EQ(box.text, "Your login information was validated");
    EXPECT_NE(m_service.Requests().find("eMail=ann@example.com&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69"),
              std::string::npos);
    EXPECT_EQ(Setting("name"), "Ann");
    EXPECT_EQ(Setting("username"), "ann@example.com");
    EXPECT_EQ(Setting("password"), "5ebe2294ecd0e0f08eab7690d2a6ee69");
    EXPECT_EQ(Setting("skin"), "blue");

    Click(page, 1028);
    EXPECT_TRUE(WaitUntil([&] { return Setting("username").empty(); }, 20000));
    for (const char* name : {"name", "password"})
        EXPECT_EQ(Setting(name), "") << name;
    EXPECT_EQ(Setting("skin"), "blue");
    for (int edit : {1020, 1018, 1019})
        EXPECT_EQ(Text(::GetDlgItem(page, edit)), "") << edit;
    CloseSheet();
    OpenSheet();
    EXPECT_EQ(CurrentPageTitle(m_sheet), "Login Info");
}

class AboutLinkTest : public SetupSheetTest {
protected:
    void SetUp() override
    {
        SetupSheetTest::SetUp();
        char command[1024] = {};
        DWORD size = sizeof command;
        ::SHGetValueA(HKEY_LOCAL_MACHINE, kHttpOpenKey, nullptr, nullptr, command, &size);
        m_systemBrowser = command;
    }

    void TearDown() override
    {
        SetupSheetTest::TearDown();
        if (!m_systemBrowser.empty())  // not when the set-up stopped before reading it
            SetBrowser(m_systemBrowser);
    }

    // The program that opens https addresses.
    static void SetBrowser(const std::string& command)
    {
        ::SHSetValueA(HKEY_LOCAL_MACHINE, kHttpOpenKey, nullptr, REG_SZ, command.c_str(),
                      DWORD(command.size() + 1));
    }

    // The About page's link once it has been painted (which makes it report clicks).
    HWND Link()
    {
        const HWND link = ::GetDlgItem(Page(kAboutPage), 1021);
        EXPECT_TRUE(WaitUntil([&] { return (::GetWindowLongA(link, GWL_STYLE) & SS_NOTIFY) != 0; }, 20000));
        return link;
    }

    // The cursor the launcher shows over the window, and whether the window chose it.
    HCURSOR CursorOver(HWND window, bool& chosen)
    {
        chosen = ::SendMessageA(window, WM_SETCURSOR, reinterpret_cast<WPARAM>(window),
                                MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)) != FALSE;
        CURSORINFO info{};
        info.cbSize = sizeof info;
        ::GetCursorInfo(&info);
        return info.hCursor;
    }

    void ExpectHandOver(HWND link)
    {
        bool linkChose = false;
        bool pageChose = false;
        HCURSOR hand = nullptr;
        HCURSOR arrow = nullptr;
        // The shown cursor is the foreground thread's, and tests running beside this one on
        // the same display may take the foreground for a moment: bring the sheet to the front
        // and look again until a reading was made with it in front all along.
        bool readInFront = false;
        WaitUntil([&] {
            if (::GetForegroundWindow() != m_sheet)
                ::SetForegroundWindow(m_sheet);
            const bool inFrontBefore = ::GetForegroundWindow() == m_sheet;
            hand = CursorOver(link, linkChose);
            arrow = CursorOver(::GetParent(link), pageChose);
            readInFront = inFrontBefore && ::GetForegroundWindow() == m_sheet;
            return readInFront && hand != arrow;
        }, 5000);
        EXPECT_TRUE(readInFront) << "the sheet never held the foreground";
        EXPECT_TRUE(linkChose);
        EXPECT_FALSE(pageChose);
        EXPECT_NE(hand, nullptr);
        EXPECT_NE(hand, arrow);
    }

    static void ClickOn(HWND window)
    {
        ::PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::PostMessageA(window, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    }

    BrowserRecording m_browser{fs::absolute("browser.txt").string()};
    std::string m_systemBrowser;
};

TEST_F(AboutLinkTest, LinkShowsItsTargetOpensItAndKeepsItsHandCursor)
{
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    SetBrowser(std::string("\"") + system + "\\iexplore.exe\" %1");
    StoreSetting("username", "ann@example.com");
    OpenSheet();
    HWND link = Link();
    Picture("about");
    EXPECT_EQ(Text(link), "meet.kelvara.example");
    ExpectHandOver(link);

    RECT rect{};
    ::GetWindowRect(link, &rect);
    ::SetCursorPos(rect.left + 3, rect.top + 3);
    ::PostMessageA(link, WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
    HWND tip = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            for (HWND hWnd : TopLevelWindowsOf(Pid()))
                if (WindowClassName(hWnd) == "tooltips_class32" && ::IsWindowVisible(hWnd))
                    tip = hWnd;
            return tip != nullptr;
        },
        20000));
    EXPECT_EQ(Text(tip), "https://meet.kelvara.example");

    ClickOn(link);
    ASSERT_TRUE(m_browser.WaitForStart());
    const auto starts = m_browser.Starts();
    ASSERT_EQ(starts.size(), 1u);
    EXPECT_EQ(starts[0].parameters, "https://meet.kelvara.example");

    // Without a browser the click only beeps: no box, no start, the sheet stays.
    SetBrowser("\"C:\\nowhere\\browser.exe\" %1");
    ClickOn(link);
    ::PostMessageA(m_sheet, PSM_SETCURSEL, kHostPage, 0);  // handled after the click
    EXPECT_TRUE(WaitUntil([&] { return CurrentPageTitle(m_sheet) == "Host Meetings"; }, 20000));
    EXPECT_EQ(m_browser.Starts().size(), 1u);
    EXPECT_EQ(WaitForMessageBox(Pid(), "kelvlaunch", 0), nullptr);

    CloseSheet();
    OpenSheet();
    ExpectHandOver(Link());
}

// What a screen reader says of each window: every control named, with its access key.
// Wine's own accessible objects give every control but an edit the role "client"; the
// link's role and default action are its own answer to WM_GETOBJECT.
class ScreenReaderTest : public AboutLinkTest {
protected:
    void SetUp() override
    {
        AboutLinkTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
    }
    void TearDown() override
    {
        AboutLinkTest::TearDown();
        ::CoUninitialize();
    }
    static std::vector<std::string> Said(HWND window)
    {
        std::vector<std::string> said;
        for (const AccessibleControl& control : ReadTabStops(window))
            said.push_back(std::to_string(control.id) + " " + control.name + " " + control.shortcut);
        return said;
    }
    using Said_ = std::vector<std::string>;
};

TEST_F(ScreenReaderTest, EveryControlHasANameAndTheLinkIsALink)
{
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    SetBrowser(std::string("\"") + system + "\\iexplore.exe\" %1");
    StoreSetting("username", "ann@example.com");
    WriteList("sessions.xml", {{"Weekly", "123"}});
    OpenSheet();
    const HWND host = Page(kHostPage);
    EXPECT_EQ(Said(host), (Said_{"1012 Host Meetings ", "1009 Add Entry Alt+A", "1008 Delete Entry Alt+D",
                                 "1017 Edit Entry Alt+E"}));
    RemoteListView list(::GetDlgItem(host, 1012), Pid());
    EXPECT_EQ(list.ColumnHeading(0), "Description");
    EXPECT_EQ(list.ColumnHeading(1), "Access Code");
    EXPECT_EQ(list.ItemText(0, 0) + "|" + list.ItemText(0, 1), "Weekly|123");
    EXPECT_EQ(Said(Page(kGuestPage)), (Said_{"1026 Guest Meetings ", "1023 Add Entry Alt+A",
                                             "1024 Delete Entry Alt+D", "1025 Edit Entry Alt+E"}));
    EXPECT_EQ(Said(Page(kLoginPage)), (Said_{"1020 Name Alt+N", "1018 Email Alt+E", "1019 Password Alt+P",
                                             "1028 Clear Alt+C", "1022 Validate Account Alt+V"}));
    const HWND link = Link();
    EXPECT_EQ(Said(::GetParent(link)), (Said_{"1021 meet.kelvara.example "}));
    const AccessibleControl read = ReadAccessible(link);
    EXPECT_EQ(read.role, ROLE_SYSTEM_LINK);
    EXPECT_EQ(read.defaultAction, "Jump");
    ASSERT_TRUE(DoDefaultAction(link));
    ASSERT_TRUE(m_browser.WaitForStart());
    EXPECT_EQ(m_browser.Starts()[0].parameters, "https://meet.kelvara.example");

    Click(host, 1009);
    const HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(Said(dialog), (Said_{"1014 Description Alt+D", "1015 Access Code Alt+A", "2 Cancel Alt+C", "1 OK Alt+O"}));
    Click(dialog, IDCANCEL);
    WaitUntilGone(dialog);
    CloseSheet();

    ::PostMessageA(m_run.Frame(), WM_COMMAND, 32796, 0);  // "Be a Guest..."
    const HWND guest = WaitForVisibleWindow(Pid(), "Join a Session as a Guest");
    ASSERT_NE(guest, nullptr);
    EXPECT_EQ(Said(guest), (Said_{"1027 Access Code Alt+A", "2 Cancel Alt+C", "1 OK Alt+O"}));
    Click(guest, IDCANCEL);
    WaitUntilGone(guest);
}

// A high-contrast scheme's colours for the programs started while it lives (Wine refuses to
// switch the scheme itself, and each program reads the colours as it starts).
class HighContrastColours {
public:
    HighContrastColours()
    {
        for (const auto& [name, colour] : kScheme) {
            char before[32] = {};
            DWORD size = sizeof before;
            ::SHGetValueA(HKEY_CURRENT_USER, kColoursKey, name, nullptr, before, &size);
            m_before.emplace_back(name, before);
            ::SHSetValueA(HKEY_CURRENT_USER, kColoursKey, name, REG_SZ, colour, DWORD(strlen(colour) + 1));
        }
    }
    ~HighContrastColours()
    {
        for (const auto& [name, colour] : m_before) {
            if (colour.empty())
                ::SHDeleteValueA(HKEY_CURRENT_USER, kColoursKey, name);
            else
                ::SHSetValueA(HKEY_CURRENT_USER, kColoursKey, name, REG_SZ, colour.c_str(), DWORD(colour.size() + 1));
        }
    }

private:
    static constexpr char kColoursKey[] = "Control Panel\\Colors";
    static constexpr std::pair<const char*, const char*> kScheme[] = {
        {"Window", "0 0 0"}, {"WindowText", "255 255 255"}, {"ButtonFace", "0 0 0"},
        {"ButtonText", "255 255 255"}, {"HotTrackingColor", "255 255 0"}};
    std::vector<std::pair<const char*, std::string>> m_before;
};

// The launcher by keyboard alone: real keystrokes through the dialog manager, and no mouse
// message at all. Keystrokes go to the foreground window, so this runs alone (keyboard_test).
class KeyboardTest : public AboutLinkTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::getenv("KV_KEYBOARD_TEST")) << "runs alone, as keyboard_test";
        AboutLinkTest::SetUp();
        char system[MAX_PATH] = {};
        ::GetSystemDirectoryA(system, MAX_PATH);
        SetBrowser(std::string("\"") + system + "\\iexplore.exe\" %1");
    }

    DWORD Thread() const { return ::GetWindowThreadProcessId(m_run.Frame(), nullptr); }
    HWND Focus() const { return FocusOf(Thread()); }
    int FocusId() const { return ::GetDlgCtrlID(Focus()); }

    // Presses the keys and waits for the focus to be on the control with this id.
    bool Press(std::initializer_list<WORD> chord, int focusId)
    {
        PressKeys(chord);
        return WaitUntil([&] { return FocusId() == focusId; }, 20000);
    }

    // The controls that Tab (or Shift+Tab) visits from the focus until it is back there.
    std::vector<int> TabWalk(bool backwards = false)
    {
        const HWND start = Focus();
        std::vector<int> visited;
        for (int step = 0; step < 12; ++step) {
            const HWND before = Focus();
            PressKeys(backwards ? std::initializer_list<WORD>{VK_SHIFT, VK_TAB} : std::initializer_list<WORD>{VK_TAB});
            if (!WaitUntil([&] { return Focus() != before; }, 20000) || Focus() == start)
                break;
            visited.push_back(FocusId());
        }
        return visited;
    }

    // Sends the icon's callback messages that the shell sends for a key on the selected icon
    // and checks that the menu opens at the icon's place.
    void MenuFromIconKey(const TrayStandIn& tray)
    {
        for (UINT message : {WM_RBUTTONDOWN, WM_RBUTTONUP})
            ::PostMessageA(m_run.Frame(), WM_APP + 10, 142, message);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (menu = TrackedMenuWindow(Pid())) != nullptr; }, 20000));
        RECT rect{};
        ::GetWindowRect(menu, &rect);
        const RECT area = tray.Area();
        EXPECT_EQ(rect.bottom, area.top) << "the menu stands above the notification area";
        EXPECT_EQ(rect.left, area.left);
    }

    // The sheet once it is in front, where keystrokes reach it, with the focus on its tabs.
    void WaitForSheetInFront()
    {
        m_sheet = WaitForVisibleWindow(Pid(), kSheetCaption);
        ASSERT_NE(m_sheet, nullptr);
        EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == m_sheet && FocusId() == kTabStrip; }, 20000));
    }

    static constexpr int kTabStrip = 12320;

    bool IsAnswering(HWND window) const
    {
        DWORD_PTR answer = 0;
        return ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer) != 0;
    }
};

TEST_F(KeyboardTest, TrayMenuSetupPagesListsLinkAndGuestDialogWithoutAMouse)
{
    StoreSetting("username", "ann@example.com");
    WriteList("sessions.xml", {{"One", "1"}, {"Two", "2"}, {"Three", "3"}});
    TrayStandIn tray;
    ASSERT_TRUE(m_run.Start());
    ASSERT_TRUE(tray.WaitForRequests(1, 20000));
    const TrayRequest icon = tray.Requests()[0];

    // Enter, Space, Shift+F10 and the context-menu key all come as the right button's press
    // and release: the menu opens at the icon, its first item selected, the keys its own.
    MenuFromIconKey(tray);
    PressKeys({VK_RETURN});  // "&Host a Session"
    ASSERT_TRUE(m_browser.WaitForStart());
    EXPECT_EQ(m_browser.Starts()[0].parameters.rfind("https://meet.kelvara.example/kv/host.jsp?agent", 0), 0u);
    MenuFromIconKey(tray);
    PressKeys({VK_ESCAPE});  // closed without a choice: the notification area has the focus again
    EXPECT_TRUE(WaitUntil([&] { return TrackedMenuWindow(Pid()) == nullptr; }, 20000));
    ASSERT_TRUE(WaitUntil([&] { return tray.Requests().back().message == NIM_SETFOCUS; }, 20000));
    EXPECT_EQ(tray.Requests().back().window, icon.window);
    EXPECT_EQ(tray.Requests().back().id, icon.id);
    MenuFromIconKey(tray);
    TypeText("s");  // "&Setup..."
    WaitForSheetInFront();
    EXPECT_EQ(CurrentPageTitle(m_sheet), "Host Meetings");

    // A page changed by keyboard takes the focus off the page it hides: a typed character
    // then leaves the program answering.
    ASSERT_TRUE(Press({VK_TAB}, 1012));
    ASSERT_TRUE(Press({VK_TAB}, 1009));
    PressKeys({VK_CONTROL, VK_TAB});
    ASSERT_TRUE(WaitUntil([&] { return CurrentPageTitle(m_sheet) == "Guest Meetings"; }, 20000));
    EXPECT_TRUE(::IsWindowVisible(Focus()));
    TypeText("x");
    // Input is taken in order, after any message sent meanwhile: the focus moved on by the
    // next key shows that the character has been dealt with.
    ASSERT_TRUE(Press({VK_TAB}, 1026));
    ASSERT_TRUE(IsAnswering(m_run.Frame()));

    // Each page, Tab and Shift+Tab in the order the controls stand; a tab's access key
    // shows its page with the focus on the tab strip.
    const std::vector<std::pair<WORD, std::vector<int>>> pages{{'H', {1012, 1009, 1008, 1017}},
                                                             {'G', {1026, 1023, 1024, 1025}},
                                                             {'L', {1020, 1018, 1019, 1028, 1022}},
                                                             {'B', {1021}}};
    for (const auto& [key, order] : pages) {
        ASSERT_TRUE(Press({VK_MENU, key}, kTabStrip)) << static_cast<char>(key);
        EXPECT_EQ(TabWalk(), order) << static_cast<char>(key);
        EXPECT_EQ(TabWalk(true), std::vector<int>(order.rbegin(), order.rend())) << static_cast<char>(key);
    }
    // On About the link: Enter and Space open it as a click does.
    ASSERT_TRUE(Press({VK_TAB}, 1021));
    SaveWindowPicture(m_sheet, std::string(KV_PICTURES) + "\\about_link_focus.bmp");
    PressKeys({VK_RETURN});
    PressKeys({VK_SPACE});
    EXPECT_TRUE(WaitUntil([&] { return m_browser.Starts().size() == 3; }, 20000));
    EXPECT_EQ(m_browser.Starts().back().parameters, "https://meet.kelvara.example");
    // Ctrl+Tab goes on to the first page, Ctrl+Shift+Tab back; a label's key moves to its edit.
    PressKeys({VK_CONTROL, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return CurrentPageTitle(m_sheet) == "Host Meetings"; }, 20000));
    PressKeys({VK_CONTROL, VK_SHIFT, VK_TAB});
    EXPECT_TRUE(WaitUntil([&] { return CurrentPageTitle(m_sheet) == "About"; }, 20000));
    ASSERT_TRUE(Press({VK_MENU, 'L'}, kTabStrip));
    for (const auto& [key, edit] : {std::pair{'P', 1019}, {'E', 1018}, {'A', 1020}, {'N', 1020}})
        EXPECT_TRUE(Press({VK_MENU, static_cast<WORD>(key)}, edit)) << key;
    PressKeys({VK_RETURN});  // in an edit, Enter does nothing

    // The list: the first row selected as it gets the focus, the arrows move on, Enter edits.
    ASSERT_TRUE(Press({VK_MENU, 'H'}, kTabStrip));
    const HWND page = CurrentPage(m_sheet);
    RemoteListView list(::GetDlgItem(page, 1012), Pid());
    ASSERT_TRUE(Press({VK_TAB}, 1012));
    EXPECT_EQ(list.Selected(), std::vector<int>{0});
    PressKeys({VK_DOWN});
    EXPECT_TRUE(WaitUntil([&] { return list.Selected() == std::vector<int>{1}; }, 20000));
    PressKeys({VK_RETURN});
    HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return FocusId() == 1014; }, 20000));
    EXPECT_EQ(Text(::GetDlgItem(dialog, 1014)), "Two");
    EXPECT_EQ(TabWalk(), (std::vector<int>{1015, IDCANCEL, IDOK}));
    ASSERT_TRUE(Press({VK_MENU, 'A'}, 1015));  // the label's key selects the edit's text
    TypeText("22");
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_TRUE(WaitUntil([&] { return FocusId() == 1012; }, 20000)) << "the focus is back on the list";
    ExpectHostList({{"One", "1"}, {"Two", "22"}, {"Three", "3"}});

    // Add Entry by its key; Escape in the dialog cancels, Enter confirms.
    ASSERT_TRUE(Press({VK_MENU, 'A'}, 1014));
    dialog = WaitForVisibleWindow(Pid(), "Session Information");
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntilGone(dialog));
    ASSERT_TRUE(Press({VK_MENU, 'A'}, 1014));
    dialog = WaitForVisibleWindow(Pid(), "Session Information");
    TypeText("Four");
    ASSERT_TRUE(Press({VK_TAB}, 1015));
    TypeText("4");
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntilGone(dialog));
    EXPECT_TRUE(WaitUntil([&] { return FocusId() == 1009; }, 20000)) << "the focus is back on Add Entry";
    ExpectHostList({{"One", "1"}, {"Two", "22"}, {"Three", "3"}, {"Four", "4"}});

    // Delete deletes the selected row and selects the next; two selected rows get the
    // buttons' message, and the focus comes back to the list.
    ASSERT_TRUE(Press({VK_SHIFT, VK_TAB}, 1012));
    PressKeys({VK_HOME});
    EXPECT_TRUE(WaitUntil([&] { return list.Selected() == std::vector<int>{0}; }, 20000));
    PressKeys({VK_DELETE});
    ExpectHostList({{"Two", "22"}, {"Three", "3"}, {"Four", "4"}});
    EXPECT_EQ(list.Selected(), std::vector<int>{0});
    PressKeys({VK_END});
    EXPECT_TRUE(WaitUntil([&] { return list.Selected() == std::vector<int>{2}; }, 20000));
    PressKeys({VK_DELETE});
    ExpectHostList({{"Two", "22"}, {"Three", "3"}});
    EXPECT_EQ(list.Selected(), std::vector<int>{1}) << "the previous row, at the end";
    PressKeys({VK_SHIFT, VK_UP});
    EXPECT_TRUE(WaitUntil([&] { return list.Selected().size() == 2; }, 20000));
    PressKeys({VK_DELETE});
    const HWND box = WaitForMessageBox(Pid(), "kelvlaunch", 20000);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ReadMessageBox(box).text, "You must select a single item first by clicking on it");
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntilGone(box));
    EXPECT_TRUE(WaitUntil([&] { return FocusId() == 1012; }, 20000)) << "the focus is back on the list";

    // Escape closes the sheet; nothing but the host list changed.
    PressKeys({VK_ESCAPE});
    EXPECT_TRUE(WaitUntilGone(m_sheet));
    ExpectHostList({{"Two", "22"}, {"Three", "3"}});
    EXPECT_FALSE(fs::exists(m_run.Work() / "osessions.xml"));
    EXPECT_EQ(Setting("username"), "ann@example.com");
    EXPECT_EQ(Setting("password"), "");

    // The guest dialog from the menu: the focus in its edit, Tab in the order things stand.
    MenuFromIconKey(tray);
    PressKeys({VK_DOWN});
    PressKeys({VK_RETURN});  // "Be a Guest..."
    const HWND guest = WaitForVisibleWindow(Pid(), "Join a Session as a Guest");
    ASSERT_NE(guest, nullptr);
    EXPECT_TRUE(WaitUntil([&] { return FocusId() == 1027; }, 20000));
    EXPECT_EQ(TabWalk(), (std::vector<int>{IDCANCEL, IDOK}));
    TypeText("4711");
    PressKeys({VK_RETURN});
    EXPECT_TRUE(WaitUntilGone(guest));
    EXPECT_TRUE(WaitUntil([&] { return m_browser.Starts().size() == 4; }, 20000));
    EXPECT_NE(m_browser.Starts().back().parameters.find("&p=4711&"), std::string::npos);

    // A picture of About in a high-contrast scheme, to look at.
    DWORD exitCode = 0;
    ASSERT_TRUE(m_run.Exit(exitCode));
    const HighContrastColours scheme;
    ASSERT_TRUE(m_run.Start());
    ::PostMessageA(m_run.Frame(), WM_COMMAND, kSetup, 0);
    WaitForSheetInFront();
    ASSERT_TRUE(Press({VK_MENU, 'B'}, kTabStrip));
    ASSERT_TRUE(Press({VK_TAB}, 1021));
    SaveWindowPicture(m_sheet, std::string(KV_PICTURES) + "\\about_high_contrast.bmp");
    CloseSheet();
}

// The display's scale as Wine takes it, for programs started after the change. Other tests
// would start theirs at it too: this one runs alone (display_scale_test).
class DisplayScaleTest : public SetupSheetTest {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(std::getenv("KV_DISPLAY_SCALE_TEST")) << "runs alone, as display_scale_test";
        SetupSheetTest::SetUp();
        ASSERT_TRUE(SeeWindowsInTheirOwnPixels());
    }
    void TearDown() override
    {
        SetupSheetTest::TearDown();
        SetDpi(96);
    }
    static void SetDpi(DWORD dpi)
    {
        for (auto [root, key] :
             {std::pair{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
              {HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}})
            ::SHSetValueA(root, key, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    // Checks a window against its controls' font (the dialogs' template font, or the message
    // boxes' font, at the launcher's DPI).
    static void ExpectFits(HWND window, int dpi, bool messageBox = false)
    {
        NONCLIENTMETRICSA metrics{};
        metrics.cbSize = sizeof metrics;
        ::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        LOGFONTA font = metrics.lfMessageFont;  // at 96 DPI, as this process runs
        font.lfHeight = messageBox ? ::MulDiv(font.lfHeight, dpi, 96) : -::MulDiv(8, dpi, 72);
        if (!messageBox)
            ::lstrcpyA(font.lfFaceName, "MS Shell Dlg");
        const scoped::GdiObject handle(::CreateFontIndirectA(&font));
        EXPECT_EQ(FaceName(handle.get()), "Tahoma") << "not measured with the font Windows has";
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(LayoutFaults(window, static_cast<HFONT>(handle.get())), "") << WindowText(window);
    }
    // The family of the font file the system draws a font with.
    static std::string FaceName(HGDIOBJ font)
    {
        const scoped::ScreenDc screen(::GetDC(nullptr));
        const HGDIOBJ previous = ::SelectObject(screen.get(), font);
        std::vector<char> metrics(::GetOutlineTextMetricsA(screen.get(), 0, nullptr));
        auto* outline = reinterpret_cast<OUTLINETEXTMETRICA*>(metrics.data());
        const bool read = !metrics.empty() &&
                          ::GetOutlineTextMetricsA(screen.get(), static_cast<UINT>(metrics.size()), outline) != 0;
        ::SelectObject(screen.get(), previous);
        return read ? metrics.data() + reinterpret_cast<UINT_PTR>(outline->otmpFamilyName) : "";
    }
    void ExpectBoxFits(int dpi)
    {
        const HWND box = WaitForMessageBox(Pid(), "kelvlaunch", 20000);
        ExpectFits(box, dpi, true);
        PressMessageBoxButton(box, IDOK);
        WaitUntilGone(box);
    }
};

TEST_F(DisplayScaleTest, EveryWindowShowsItsWholeTextAt100_150And200Percent)
{
    for (const int dpi : {96, 144, 192}) {
        SCOPED_TRACE("at " + std::to_string(dpi) + " DPI");
        SetDpi(static_cast<DWORD>(dpi));
        TrayStandIn tray;
        ASSERT_TRUE(m_run.Start());
        // The icon's image is the one drawn for the small-icon size of this DPI.
        ASSERT_TRUE(tray.WaitForRequests(1, 20000));
        EXPECT_EQ(tray.Requests()[0].iconWidth, static_cast<UINT>(::MulDiv(16, dpi, 96)));

        // The tray menu opens whole on the screen.
        ::PostMessageA(m_run.Frame(), WM_APP + 10, 142, WM_RBUTTONUP);
        HWND menu = nullptr;
        EXPECT_TRUE(WaitUntil([&] { return (menu = TrackedMenuWindow(Pid())) != nullptr; }, 20000));
        RECT rect{}, screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
        ::GetWindowRect(menu, &rect);
        EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= screen.right &&
                    rect.bottom <= screen.bottom);
        PostMenuKey(::GetWindowThreadProcessId(m_run.Frame(), nullptr), VK_ESCAPE);
        EXPECT_TRUE(WaitUntil([&] { return TrackedMenuWindow(Pid()) == nullptr; }, 20000));

        ::PostMessageA(m_run.Frame(), WM_COMMAND, 32796, 0);  // "Be a Guest..."
        const HWND guest = WaitForVisibleWindow(Pid(), "Join a Session as a Guest");
        SetText(::GetDlgItem(guest, 1027), "4711004");
        ExpectFits(guest, dpi);
        PressKey(::GetDlgItem(guest, 1027), VK_ESCAPE);
        WaitUntilGone(guest);

        // Without an account: Login Info, Host Meetings, Guest Meetings, About.
        OpenSheet();
        for (int index = 0; index < 4; ++index)
            ExpectFits(Page(index), dpi);
        // The About link's tooltip wraps at a width that follows the scale.
        bool tipScaled = false;
        for (HWND hWnd : TopLevelWindowsOf(Pid()))
            tipScaled = tipScaled || (WindowClassName(hWnd) == "tooltips_class32" &&
                                      ::SendMessageA(hWnd, TTM_GETMAXTIPWIDTH, 0, 0) == ::MulDiv(120, dpi, 96));
        EXPECT_TRUE(tipScaled);
        Click(Page(1), 1009);
        const HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
        SetText(::GetDlgItem(dialog, 1014), "Quarterly planning");
        ExpectFits(dialog, dpi);
        Click(dialog, IDCANCEL);
        WaitUntilGone(dialog);

        Click(Page(1), 1017);  // the selection message
        ExpectBoxFits(dpi);
        m_service.Script(R"({"replies": [{"body": "NA"}]})");
        Click(Page(0), 1022);  // the outcome of Validate Account
        ExpectBoxFits(dpi);
        CloseSheet();
        DWORD exitCode = 0;
        EXPECT_TRUE(m_run.Exit(exitCode));
    }
}

// Exit may arrive in any of the sheet's loops. With the heap poisoning freed blocks, a
// use of a deleted page or window object crashes instead of passing.
class ExitTest : public SetupSheetTest {
protected:
    void SetUp() override
    {
        SetupSheetTest::SetUp();
        const DWORD flags = 0x70;
        ::SHSetValueA(HKEY_LOCAL_MACHINE, kHeapCheckingKey, "GlobalFlag", REG_DWORD, &flags, sizeof flags);
        StoreSetting("username", "ann@example.com");
        WriteList("sessions.xml", {{"Host", "1"}});
        m_before = List("sessions.xml");
    }

    void TearDown() override
    {
        DWORD exitCode = 0xDEADBEEF;
        EXPECT_TRUE(m_run.Exit(exitCode));
        EXPECT_EQ(exitCode, 0u);
        EXPECT_EQ(List("sessions.xml"), m_before);
        EXPECT_FALSE(fs::exists(m_run.Work() / "osessions.xml"));
        EXPECT_TRUE(fs::is_empty(m_run.Temp()));  // no crash report
        ::SHDeleteKeyA(HKEY_LOCAL_MACHINE, kHeapCheckingKey);
        SetupSheetTest::TearDown();
    }

    std::string m_before;
};

TEST_F(ExitTest, WhileTheSheetIsOpenOnEveryPage)
{
    OpenSheet();
    for (int index : {kGuestPage, kLoginPage, kAboutPage})
        Page(index);
}

TEST_F(ExitTest, WhileSessionInformationIsOpenAfterTyping)
{
    OpenSheet();
    Click(CurrentPage(m_sheet), 1009);
    const HWND dialog = WaitForVisibleWindow(Pid(), "Session Information");
    ASSERT_NE(dialog, nullptr);
    SaveWindowPicture(dialog, std::string(KV_PICTURES) + "\\session_information.bmp");
    SetText(::GetDlgItem(dialog, 1015), "typed");
}

TEST_F(ExitTest, WhileAMessageBoxIsUp)
{
    OpenSheet();
    Click(Page(kGuestPage), 1025);
    EXPECT_NE(WaitForMessageBox(Pid(), "kelvlaunch", 20000), nullptr);
}

} // namespace
