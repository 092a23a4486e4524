// What the setup program leaves on the machine, read back as Windows and its users see it,
// and the setup program and uninstaller run as a user or the system would run them.
#pragma once

#include <windows.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace installed {

namespace fs = std::filesystem;

constexpr char kUninstallKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelvara";
constexpr char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";

fs::path ProgramFolder();     // %LOCALAPPDATA%\Programs\Kelvara, the installing user's
fs::path DataFolder();        // %APPDATA%\Kelvara, the installing user's
fs::path StartMenuShortcut();
fs::path StartupShortcut();

struct Shortcut {
    std::string target;
    std::string workingFolder;
};
// Through IShellLinkA, as the shell reads it; nothing when it cannot be loaded.
std::optional<Shortcut> ReadShortcut(const fs::path& link);

// The exit code of "program arguments", or nothing when it did not end within a minute.
std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments);
std::optional<DWORD> RunSetup(const std::string& arguments);
// The uninstaller from a copy outside the program folder, run in place of the one installed
// there (_?=), so that it returns only when done: what the installed one does after copying
// itself.
std::optional<DWORD> UninstallWithCopy(const fs::path& copy, const fs::path& folder, const std::string& arguments);
// msiexec with arguments, as a deployment tool runs it; its exit code in full (a shell sees
// only the low byte).
std::optional<DWORD> RunMsiexec(const std::string& arguments);
// Programs and Features' command line under HKCU, run exactly as written: the program in
// quotes, then its arguments.
std::optional<DWORD> RunRegisteredUninstall(const char* value);

// The keys that verprobe.dll's registration writes and its removal deletes, under a classes root.
std::vector<std::string> ControlKeys();
constexpr char kUserClasses[] = "Software\\Classes";

// Exit code of the JScript client: 0 it created Ostrand.Verprobe and read this version of
// the control itself, 1 it read another, 2 it could not create the control. Wine's COM reads
// classes from HKLM only, not the user's: the user's control keys are copied there for the
// script's run and removed after.
std::optional<DWORD> ProbeVersion(const std::string& expected);

std::optional<std::string> RegistryString(HKEY root, const char* key, const char* value);
bool RegistryKeyExists(HKEY root, const std::string& key);
// Every key under root\\key with its values, one "key\\value=data" line each, key names in
// lower case (the registry ignores their case).
std::vector<std::string> RegistryTree(HKEY root, const std::string& key);
void StoreSetting(const char* value, const std::string& text);

// Every file of the folder (not its subfolders) by name, with its bytes.
std::map<std::string, std::string> FolderFiles(const fs::path& folder);

} // namespace installed
