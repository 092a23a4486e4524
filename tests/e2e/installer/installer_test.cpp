// The setup program as users and deployment tools meet it: a silent install for the user with
// its server, the launcher started at logon keeping its lists in the user's data folder, an
// upgrade over a damaged copy, a move to another folder, a launcher that holds its files, and
// removal by the registered command; and the MSI as deployment tools run it.
#include "installed_kelvara.h"

#include "fake_service_control.h"
#include "scoped_win.h"
#include "tests/tools/file_bytes.h"
#include "tests/tools/launcher_frame.h"
#include "tests/tools/window_driver.h"
#include "verprobe_idl.h"

#include <gtest/gtest.h>
#include <msi.h>
#include <objbase.h>
#include <shlwapi.h>

#include <fstream>

using namespace installed;

namespace {

constexpr DWORD kTimeoutMs = 30000;
constexpr UINT kImportPlanned = 11000;
const std::optional<DWORD> kSuccess = 0;
const char kControlVersion[] = "2, 0, 0, 3";
const char kProgramFiles[][16] = {"StackTrace.dll", "kelvlaunch.exe", "verprobe.dll"};
const char kServer[] = "meet.example.net";
const char kHostList[] = "<sessions>\r\n\t<session Description=\"Weekly review\" AccessCode=\"4711\" />\r\n</sessions>\r\n";
const char kGuestList[] = "<sessions>\r\n\t<session Description=\"Ben's class\" AccessCode=\"77 12\" />\r\n</sessions>\r\n";
const char* const kAccount[][2] = {
    {"name", "Ann Lee"}, {"username", "ann@x.example"}, {"password", "5ebe2294ecd0e0f08eab7690d2a6ee69"}, {"skin", "blue"}};

std::string UserClassKey(const std::string& key) { return std::string(kUserClasses) + "\\" + key; }
std::optional<std::string> RegisteredServer()
{
    return RegistryString(HKEY_CURRENT_USER, UserClassKey(ControlKeys().front() + "\\InprocServer32").c_str(), "");
}

std::string SetupManifest()
{
    const scoped::Module setup(::LoadLibraryExA(KV_SETUP_EXE, nullptr, LOAD_LIBRARY_AS_DATAFILE));
    const HRSRC found = setup ? ::FindResourceA(setup.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    const HGLOBAL loaded = found ? ::LoadResource(setup.get(), found) : nullptr;
    return loaded ? std::string(static_cast<const char*>(::LockResource(loaded)), ::SizeofResource(setup.get(), found))
                  : std::string();
}

// The MSI's exit codes: Windows Installer's.
const std::optional<DWORD> kMsiRefused = ERROR_INSTALL_FAILURE;   // 1603
const char kUpgradeCode[] = "{7C1E5A93-2B4D-4F08-9E61-D3A8B5C2F417}";

std::string MsiInstall(const char* msi) { return std::string("/i \"") + msi + "\" /qn"; }

// The product codes of the Kelvara MSIs installed for this user.
std::vector<std::string> InstalledMsiProducts()
{
    std::vector<std::string> products;
    char product[39];
    for (DWORD index = 0; ::MsiEnumRelatedProductsA(kUpgradeCode, 0, index, product) == ERROR_SUCCESS; ++index)
        products.push_back(product);
    return products;
}

// The control's registration under the user's classes, with the DLL's folder as it is written
// (the platform's type-library registration writes it without the final backslash).
std::vector<std::string> UserControlRegistration()
{
    std::vector<std::string> lines;
    for (const std::string& key : ControlKeys())
        for (std::string& line : RegistryTree(HKEY_CURRENT_USER, UserClassKey(key))) {
            if (line.size() > 1 && line.back() == '\\')
                line.pop_back();
            lines.push_back(line);
        }
    return lines;
}

std::optional<std::string> Server() { return RegistryString(HKEY_CURRENT_USER, kSettingsKey, "server"); }

// The launcher as the shell starts it from a shortcut (at logon, from the Start menu); ended
// at the end if it is still running.
class ShortcutLauncher {
public:
    explicit ShortcutLauncher(const fs::path& link)
    {
        const std::string file = link.string();
        if (reinterpret_cast<INT_PTR>(::ShellExecuteA(nullptr, nullptr, file.c_str(), nullptr, nullptr, SW_SHOWNORMAL)) <= 32)
            return;
        // The shell may start it through a helper of its own: the process is found by its frame.
        HWND frame = nullptr;
        WaitUntil([&frame] { return (frame = ::FindWindowA(nullptr, "kelvlaunch")) != nullptr; }, kTimeoutMs);
        DWORD id = 0;
        if (frame && ::GetWindowThreadProcessId(frame, &id))
            m_process.reset(::OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_INFORMATION, FALSE, id));
    }
    ~ShortcutLauncher()
    {
        if (m_process && ::WaitForSingleObject(m_process.get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.get(), 1);
            ::WaitForSingleObject(m_process.get(), kTimeoutMs);
        }
    }

    // Its hidden frame is there.
    bool Started() const { return bool(m_process); }
    DWORD Id() const { return ::GetProcessId(m_process.get()); }
    std::optional<DWORD> Exit() const
    {
        DWORD exitCode = 0;
        if (!PostLauncherExit(Id()) || ::WaitForSingleObject(m_process.get(), kTimeoutMs) != WAIT_OBJECT_0 ||
            !::GetExitCodeProcess(m_process.get(), &exitCode))
            return std::nullopt;
        return exitCode;
    }

private:
    scoped::Kernel m_process;
};

class InstallerTest : public ::testing::Test {
protected:
    // Every scenario starts on a machine without Kelvara and without the user's data.
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitialize(nullptr)));
        RemoveKelvara();
    }

    void TearDown() override
    {
        RemoveKelvara();
        ::CoUninitialize();
    }

    static void RemoveKelvara()
    {
        for (const std::string& product : InstalledMsiProducts())
            RunMsiexec("/x " + product + " /qn");
        const auto location = RegistryString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation");
        const fs::path folder = location ? fs::path(*location) : ProgramFolder();
        if (fs::exists(folder / "uninstall.exe") && KeepUninstaller(folder))
            UninstallWithCopy(UninstallerCopy(), folder, "/S");
        // A helper that the shell used to start a shortcut may still be ending, holding the
        // data folder as its working folder.
        EXPECT_TRUE(WaitUntil(
            [] {
                std::error_code error;
                fs::remove_all(DataFolder(), error);
                return !error;
            },
            kTimeoutMs));
        ::SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Ostrand");
    }

    static fs::path UninstallerCopy() { return fs::absolute("uninstall-copy.exe"); }

    static bool KeepUninstaller(const fs::path& folder = ProgramFolder())
    {
        std::error_code error;
        return fs::copy_file(folder / "uninstall.exe", UninstallerCopy(),
                             fs::copy_options::overwrite_existing, error);
    }

    // The lists and account of someone who has used Kelvara for a while.
    static void GiveUserData()
    {
        fs::create_directories(DataFolder());
        std::ofstream(DataFolder() / "sessions.xml", std::ios::binary) << kHostList;
        std::ofstream(DataFolder() / "osessions.xml", std::ios::binary) << kGuestList;
        for (const auto& [value, text] : kAccount)
            StoreSetting(value, text);
    }

    static void ExpectUserDataKept()
    {
        EXPECT_EQ(kHostList, ReadFileBytes(DataFolder() / "sessions.xml"));
        EXPECT_EQ(kGuestList, ReadFileBytes(DataFolder() / "osessions.xml"));
        for (const auto& [value, text] : kAccount)
            EXPECT_EQ(std::string(text), RegistryString(HKEY_CURRENT_USER, kSettingsKey, value)) << value;
    }

    // The MSI has no uninstaller of its own: Windows Installer removes it.
    static void ExpectProgramFilesAsBuilt(bool withUninstaller = true)
    {
        const auto files = FolderFiles(ProgramFolder());
        for (const char* name : kProgramFiles) {
            const auto installed = files.find(name);
            EXPECT_TRUE(installed != files.end() &&
                        installed->second == ReadFileBytes(fs::path(KV_SETUP_STAGE) / name))
                << name;
        }
        EXPECT_EQ(withUninstaller ? 1u : 0u, files.count("uninstall.exe"));
        EXPECT_EQ(withUninstaller ? 4u : 3u, files.size());
    }

    // Both shortcuts start the installed launcher in the data folder, given as workingFolder.
    static void ExpectShortcuts(const std::string& workingFolder)
    {
        for (const fs::path& link : {StartMenuShortcut(), StartupShortcut()}) {
            const auto shortcut = ReadShortcut(link);
            ASSERT_TRUE(shortcut) << link;
            EXPECT_EQ((ProgramFolder() / "kelvlaunch.exe").string(), shortcut->target) << link;
            EXPECT_EQ(workingFolder, shortcut->workingFolder) << link;
        }
    }
};

TEST_F(InstallerTest, SilentInstallSetsUpKelvaraForTheUserAlone)
{
    // Wine has no standard users: what shows that no administrator is asked for is the manifest.
    const std::string manifest = SetupManifest();
    EXPECT_NE(std::string::npos, manifest.find("level=\"asInvoker\""));
    EXPECT_NE(std::string::npos, manifest.find("WindowsSettings\">true</dpiAware>")) << manifest;
    EXPECT_NE(std::string::npos, manifest.find("name=\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"")) << manifest;

    // A server the launcher would not take stops the setup program before it changes anything.
    for (const char* server : {"meet;example", "meet.example.net:8080", "http://meet.example.net", "ftp://meet.example.net",
                               "https://meet.example.net/kv", "https://user@meet.example.net", "https://:443",
                               "https://meet.example.net:0", "https://meet.example.net:0443",
                               "https://meet.example.net:65536", "https://meet.example.net:4a3"})
        EXPECT_EQ(std::optional<DWORD>(ERROR_INVALID_PARAMETER), RunSetup(std::string("/S /SERVER=") + server)) << server;
    EXPECT_FALSE(fs::exists(ProgramFolder()));
    EXPECT_FALSE(Server());

    ASSERT_EQ(kSuccess, RunSetup(std::string("/S /SERVER=") + kServer));

    ExpectProgramFilesAsBuilt();
    const std::string program = ProgramFolder().string();
    EXPECT_EQ(program + "\\verprobe.dll", RegisteredServer());
    for (const std::string& key : ControlKeys()) {
        EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, UserClassKey(key))) << key;
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + key)) << key;
    }
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));

    EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
    const auto entry = [](const char* value) { return RegistryString(HKEY_CURRENT_USER, kUninstallKey, value); };
    EXPECT_EQ(std::string("Kelvara"), entry("DisplayName"));
    EXPECT_EQ(std::string(KV_VERSION), entry("DisplayVersion"));
    EXPECT_EQ(std::string("Ostrand"), entry("Publisher"));
    EXPECT_EQ(program + "\\kelvlaunch.exe,0", entry("DisplayIcon"));
    EXPECT_EQ("\"" + program + "\\uninstall.exe\" _?=" + program, entry("UninstallString"));
    EXPECT_EQ("\"" + program + "\\uninstall.exe\" /S _?=" + program, entry("QuietUninstallString"));
    DWORD sizeKb = 0;
    DWORD bytes = sizeof sizeKb;
    EXPECT_EQ(ERROR_SUCCESS, ::SHGetValueA(HKEY_CURRENT_USER, kUninstallKey, "EstimatedSize", nullptr, &sizeKb, &bytes));
    std::uintmax_t installedBytes = 0;
    for (const auto& file : fs::directory_iterator(ProgramFolder()))
        installedBytes += file.file_size();
    EXPECT_NEAR(double(installedBytes) / 1024, double(sizeKb), 4.0);

    ExpectShortcuts(DataFolder().string());
    EXPECT_TRUE(fs::is_directory(DataFolder()));
    EXPECT_TRUE(fs::is_empty(DataFolder()));
    EXPECT_EQ(std::string(kServer), Server());
}

TEST_F(InstallerTest, LauncherStartedAtLogonKeepsItsListsInTheDataFolder)
{
    const FakeServiceControl service;
    service.Script(ReadFileBytes(fs::path(KV_FIXTURES) / "planned_sessions_reply.json"));
    ASSERT_EQ(kSuccess, RunSetup("/S /SERVER=" + service.Address()));
    StoreSetting("username", "ann@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    fs::copy_file(fs::path(KV_FIXTURES) / "host_sessions_before.xml", DataFolder() / "sessions.xml");

    // As the shell starts the Startup folder's shortcuts at logon.
    const ShortcutLauncher launcher(StartupShortcut());
    ASSERT_TRUE(launcher.Started());

    ASSERT_TRUE(SendLauncherCommand(launcher.Id(), kImportPlanned, kTimeoutMs));
    EXPECT_EQ(ReadFileBytes(fs::path(KV_FIXTURES) / "host_sessions_after.xml"),
              ReadFileBytes(DataFolder() / "sessions.xml"));
    EXPECT_EQ(4u, FolderFiles(ProgramFolder()).size());
    EXPECT_EQ(kSuccess, launcher.Exit());
}

TEST_F(InstallerTest, UpgradeRepairsTheProgramFilesAndKeepsEveryUsersData)
{
    ASSERT_EQ(kSuccess, RunSetup(std::string("/S /SERVER=") + kServer));
    GiveUserData();
    fs::remove(ProgramFolder() / "StackTrace.dll");
    std::ofstream(ProgramFolder() / "verprobe.dll", std::ios::binary) << "damaged";

    ASSERT_EQ(kSuccess, RunSetup("/S"));
    ExpectProgramFilesAsBuilt();
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
    ExpectUserDataKept();
    EXPECT_EQ(std::string(kServer), Server());

    // Only a server given on the command line replaces the stored one.
    ASSERT_EQ(kSuccess, RunSetup("/S /SERVER=10.1.2.3"));
    EXPECT_EQ(std::string("10.1.2.3"), Server());
    for (const char* server : {"HTTPS://meet.example.net:65535", "http://10.1.2.3:8080"}) {
        ASSERT_EQ(kSuccess, RunSetup(std::string("/S /SERVER=") + server)) << server;
        EXPECT_EQ(std::string(server), Server());
    }
    ExpectUserDataKept();
}

TEST_F(InstallerTest, UpgradeGoesWhereTheFirstInstallWasPutAndAMoveLeavesOneInstall)
{
    const fs::path chosen = "C:\\Apps\\Kelvara";
    const fs::path moved = "C:\\Tools\\Kelvara";
    const auto expectInstalledIn = [](const fs::path& folder) {
        EXPECT_EQ(4u, FolderFiles(folder).size());
        EXPECT_EQ(folder.string(), RegistryString(HKEY_CURRENT_USER, kUninstallKey, "InstallLocation"));
        EXPECT_EQ((folder / "verprobe.dll").string(), RegisteredServer());
        const auto shortcut = ReadShortcut(StartupShortcut());
        ASSERT_TRUE(shortcut);
        EXPECT_EQ((folder / "kelvlaunch.exe").string(), shortcut->target);
    };
    ASSERT_EQ(kSuccess, RunSetup("/S /D=" + chosen.string()));
    ASSERT_EQ(kSuccess, RunSetup("/S"));
    expectInstalledIn(chosen);
    EXPECT_FALSE(fs::exists(ProgramFolder()));

    // Another folder: the earlier install goes, and an old uninstaller kept from it cannot
    // touch the one that replaced it.
    ASSERT_TRUE(KeepUninstaller(chosen));
    ASSERT_EQ(kSuccess, RunSetup("/S /D=" + moved.string()));
    expectInstalledIn(moved);
    EXPECT_FALSE(fs::exists(chosen));
    EXPECT_EQ(kSuccess, UninstallWithCopy(UninstallerCopy(), chosen, "/S"));
    expectInstalledIn(moved);
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
}

// A folder the ANSI code page cannot spell, as a user's profile folder can be named. The
// command lines are wide; the helpers around them are not.
TEST_F(InstallerTest, InstallsIntoAFolderTheCodePageCannotSpell)
{
    const auto wide = [](const std::string& ascii) { return std::wstring(ascii.begin(), ascii.end()); };
    const auto run = [](std::wstring commandLine) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        DWORD exitCode = STILL_ACTIVE;
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                             &process)) {
            const scoped::Kernel processHandle(process.hProcess), threadHandle(process.hThread);
            ::WaitForSingleObject(process.hProcess, 60000);
            ::GetExitCodeProcess(process.hProcess, &exitCode);
        }
        return exitCode;
    };
    const std::wstring folder = L"C:\\probe\\\u0416\u0443\u043a";
    ASSERT_EQ(0u, run(L"\"" + wide(KV_SETUP_EXE) + L"\" /S /D=" + folder));
    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CURRENT_USER,
                                            wide(UserClassKey(ControlKeys().front() + "\\InprocServer32")).c_str(),
                                            nullptr, RRF_RT_REG_SZ, nullptr, server, &size));
    EXPECT_EQ(folder + L"\\verprobe.dll", server);
    EXPECT_EQ(0u, run(L"\"" + folder + L"\\uninstall.exe\" /S _?=" + folder));
    EXPECT_FALSE(RegisteredServer());
}

TEST_F(InstallerTest, RunningLauncherMakesSilentSetupFailWithoutChangingAnything)
{
    ASSERT_EQ(kSuccess, RunSetup(std::string("/S /SERVER=") + kServer));
    // What another run of the setup program would put back.
    fs::remove(StartMenuShortcut());
    ::SHSetValueA(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion", REG_SZ, "0.9", 4);
    const auto programFiles = FolderFiles(ProgramFolder());

    const ShortcutLauncher launcher(StartupShortcut());
    ASSERT_TRUE(launcher.Started());

    // Nor may a move to another folder leave the running launcher behind.
    for (const char* arguments : {"/S /SERVER=10.1.2.3", "/S /D=C:\\Tools\\Kelvara"}) {
        const auto install = RunSetup(arguments);
        ASSERT_TRUE(install);
        EXPECT_NE(0u, *install) << arguments;
    }
    EXPECT_FALSE(fs::exists("C:\\Tools\\Kelvara"));
    const auto uninstall = RunRegisteredUninstall("QuietUninstallString");
    ASSERT_TRUE(uninstall);
    EXPECT_NE(0u, *uninstall);

    EXPECT_TRUE(programFiles == FolderFiles(ProgramFolder()));
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
    EXPECT_FALSE(fs::exists(StartMenuShortcut()));
    EXPECT_TRUE(fs::exists(StartupShortcut()));
    EXPECT_EQ(std::string("0.9"), RegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ(std::string(kServer), Server());

    // Once the user has exited it from the tray menu, the same command goes through.
    ASSERT_EQ(kSuccess, launcher.Exit());
    ASSERT_EQ(kSuccess, RunSetup("/S /SERVER=10.1.2.3"));
    EXPECT_TRUE(fs::exists(StartMenuShortcut()));
    EXPECT_EQ(std::string(KV_VERSION), RegistryString(HKEY_CURRENT_USER, kUninstallKey, "DisplayVersion"));
    EXPECT_EQ(std::string("10.1.2.3"), Server());
}

TEST_F(InstallerTest, SilentUninstallRemovesKelvaraAndKeepsTheUsersData)
{
    ASSERT_EQ(kSuccess, RunSetup(std::string("/S /SERVER=") + kServer));
    GiveUserData();
    ASSERT_TRUE(KeepUninstaller());

    // An unregistration that fails stops the uninstall before anything is removed.
    std::ofstream(ProgramFolder() / "verprobe.dll", std::ios::binary) << "not a DLL";
    const auto failed = RunRegisteredUninstall("QuietUninstallString");
    ASSERT_TRUE(failed);
    EXPECT_NE(0u, *failed);
    EXPECT_EQ(4u, FolderFiles(ProgramFolder()).size());
    EXPECT_TRUE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
    EXPECT_TRUE(RegisteredServer());
    EXPECT_TRUE(fs::exists(StartupShortcut()));
    fs::copy_file(fs::path(KV_SETUP_STAGE) / "verprobe.dll", ProgramFolder() / "verprobe.dll",
                  fs::copy_options::overwrite_existing);

    EXPECT_EQ(kSuccess, RunRegisteredUninstall("QuietUninstallString"));
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kUninstallKey));
    // The folder goes a moment later: the uninstaller, run in place, is removed once it has ended.
    EXPECT_TRUE(WaitUntil([] { return !fs::exists(ProgramFolder()); }, kTimeoutMs));
    EXPECT_FALSE(fs::exists(StartMenuShortcut()));
    EXPECT_FALSE(fs::exists(StartupShortcut()));
    for (const std::string& key : ControlKeys())
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, UserClassKey(key))) << key;
    EXPECT_EQ(std::optional<DWORD>(2), ProbeVersion(kControlVersion));
    ExpectUserDataKept();
    EXPECT_EQ(std::string(kServer), Server());

    // A second uninstall finds nothing to do; installing again brings everything back.
    EXPECT_EQ(kSuccess, UninstallWithCopy(UninstallerCopy(), ProgramFolder(), "/S"));
    ASSERT_EQ(kSuccess, RunSetup("/S"));
    ExpectProgramFilesAsBuilt();
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
    EXPECT_TRUE(ReadShortcut(StartupShortcut()));
    ExpectUserDataKept();
    EXPECT_EQ(std::string(kServer), Server());
}

TEST_F(InstallerTest, MsiDeployedSilentlyInstallsForTheUserWhatTheSetupProgramDoesAndRemovesIt)
{
    // What the setup program registers, to compare with the MSI's rows.
    ASSERT_EQ(kSuccess, RunSetup("/S"));
    const auto setupRegistration = UserControlRegistration();
    ASSERT_FALSE(setupRegistration.empty());
    // Two installs of one folder would each remove the other's files.
    EXPECT_EQ(kMsiRefused, RunMsiexec(MsiInstall(KV_MSI)));
    EXPECT_TRUE(InstalledMsiProducts().empty());
    ASSERT_EQ(kSuccess, RunRegisteredUninstall("QuietUninstallString"));
    ASSERT_TRUE(WaitUntil([] { return !fs::exists(ProgramFolder()); }, kTimeoutMs));

    // A server the setup program would refuse stops the install before it changes anything.
    for (const char* server : {"meet;example", "http://meet.example.net", "https://meet.example.net:65536",
                               "https://meet.example.net/kv"})
        EXPECT_EQ(kMsiRefused, RunMsiexec(MsiInstall(KV_MSI) + " SERVER=" + server)) << server;
    EXPECT_FALSE(fs::exists(ProgramFolder()));
    EXPECT_FALSE(Server());
    EXPECT_TRUE(InstalledMsiProducts().empty());

    const fs::path log = fs::absolute("msi-install.log");
    const std::string server = "HTTPS://meet.example.net:8443";
    ASSERT_EQ(kSuccess, RunMsiexec(MsiInstall(KV_MSI) + " SERVER=" + server + " /l*v \"" + log.string() + "\""));
    EXPECT_TRUE(fs::file_size(log) > 0);
    ExpectProgramFilesAsBuilt(false);
    // Windows Installer writes folders with a final backslash.
    ExpectShortcuts(DataFolder().string() + "\\");
    EXPECT_EQ(setupRegistration, UserControlRegistration());
    for (const std::string& key : ControlKeys())
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + key)) << key;
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
    EXPECT_EQ(server, Server());
    const auto products = InstalledMsiProducts();
    ASSERT_EQ(1u, products.size());
    char version[32] = {};
    DWORD size = sizeof version;
    EXPECT_EQ(UINT(ERROR_SUCCESS), ::MsiGetProductInfoA(products[0].c_str(), INSTALLPROPERTY_VERSIONSTRING, version, &size));
    EXPECT_EQ(std::string(KV_MSI_VERSION), version);

    // Removal takes the program, its registration and shortcuts, and keeps the user's data.
    GiveUserData();
    ASSERT_EQ(kSuccess, RunMsiexec("/x \"" + std::string(KV_MSI) + "\" /qn"));
    EXPECT_FALSE(fs::exists(ProgramFolder()));
    EXPECT_FALSE(fs::exists(StartMenuShortcut()));
    EXPECT_FALSE(fs::exists(StartupShortcut()));
    for (const std::string& key : ControlKeys())
        EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, UserClassKey(key))) << key;
    EXPECT_EQ(std::optional<DWORD>(2), ProbeVersion(kControlVersion));
    EXPECT_TRUE(InstalledMsiProducts().empty());
    ExpectUserDataKept();
    EXPECT_EQ(server, Server());
}

TEST_F(InstallerTest, MsiUpgradeFromAnOlderBuildLeavesOneInstallAndWaitsForTheLauncherToExit)
{
    const FakeServiceControl service;
    service.Script(ReadFileBytes(fs::path(KV_FIXTURES) / "planned_sessions_reply.json"));
    ASSERT_EQ(kSuccess, RunMsiexec(MsiInstall(KV_OLDER_MSI) + " SERVER=" + service.Address()));
    StoreSetting("username", "ann@x.example");
    StoreSetting("password", "5ebe2294ecd0e0f08eab7690d2a6ee69");
    fs::copy_file(fs::path(KV_FIXTURES) / "host_sessions_before.xml", DataFolder() / "sessions.xml");
    const auto older = InstalledMsiProducts();
    ASSERT_EQ(1u, older.size());

    // As the shell starts the Startup folder's shortcuts at logon.
    const ShortcutLauncher launcher(StartupShortcut());
    ASSERT_TRUE(launcher.Started());
    ASSERT_TRUE(SendLauncherCommand(launcher.Id(), kImportPlanned, kTimeoutMs));
    const std::string imported = ReadFileBytes(DataFolder() / "sessions.xml");
    EXPECT_EQ(ReadFileBytes(fs::path(KV_FIXTURES) / "host_sessions_after.xml"), imported);

    // Neither an upgrade nor a removal replaces files the running launcher holds.
    const auto programFiles = FolderFiles(ProgramFolder());
    EXPECT_EQ(kMsiRefused, RunMsiexec(MsiInstall(KV_MSI)));
    EXPECT_EQ(kMsiRefused, RunMsiexec("/x " + older[0] + " /qn"));
    EXPECT_TRUE(programFiles == FolderFiles(ProgramFolder()));
    EXPECT_EQ(older, InstalledMsiProducts());

    ASSERT_EQ(kSuccess, launcher.Exit());
    ASSERT_EQ(kSuccess, RunMsiexec(MsiInstall(KV_MSI)));
    const auto upgraded = InstalledMsiProducts();
    ASSERT_EQ(1u, upgraded.size());
    EXPECT_NE(older, upgraded);
    ExpectProgramFilesAsBuilt(false);
    EXPECT_TRUE(ReadShortcut(StartupShortcut()));
    EXPECT_EQ(kSuccess, ProbeVersion(kControlVersion));
    // An upgrade without SERVER keeps the server, and the older removal kept the lists.
    EXPECT_EQ(service.Address(), Server());
    EXPECT_EQ(imported, ReadFileBytes(DataFolder() / "sessions.xml"));

    // The older build does not go back over the newer one.
    EXPECT_EQ(kMsiRefused, RunMsiexec(MsiInstall(KV_OLDER_MSI)));
    EXPECT_EQ(upgraded, InstalledMsiProducts());
}

} // namespace
