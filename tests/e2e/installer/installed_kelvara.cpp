#include "installed_kelvara.h"

#include "scoped_win.h"
#include "tests/tools/child_process.h"
#include "tests/tools/file_bytes.h"
#include "verprobe_idl.h"

#include <shlobj.h>
#include <shlwapi.h>

namespace installed {

namespace {

constexpr DWORD kProgramTimeoutMs = 60000;

fs::path KnownFolder(int csidl)
{
    char path[MAX_PATH] = {};
    ::SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
    return path;
}

std::string RegistryForm(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return std::string(text, text + wcslen(text));
}

// The control's keys under HKCU copied to HKLM while it lives.
class MachineCopyOfUserControl {
public:
    MachineCopyOfUserControl()
    {
        for (const std::string& key : ControlKeys()) {
            scoped::RegKey to;
            if (::RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, to.put(),
                                  nullptr) == ERROR_SUCCESS)
                ::SHCopyKeyA(HKEY_CURRENT_USER, (std::string(kUserClasses) + "\\" + key).c_str(), to.get(), 0);
        }
    }
    ~MachineCopyOfUserControl()
    {
        for (const std::string& key : ControlKeys())
            ::SHDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    }
};

} // namespace

std::vector<std::string> ControlKeys()
{
    return {"CLSID\\" + RegistryForm(CLSID_CVerprobeObj), "Ostrand.Verprobe", "Ostrand.Verprobe.2",
            "TypeLib\\" + RegistryForm(LIBID_Verprobe), "AppID\\" + RegistryForm(LIBID_Verprobe)};
}

fs::path ProgramFolder() { return KnownFolder(CSIDL_LOCAL_APPDATA) / "Programs" / "Kelvara"; }
fs::path DataFolder() { return KnownFolder(CSIDL_APPDATA) / "Kelvara"; }
fs::path StartMenuShortcut() { return KnownFolder(CSIDL_PROGRAMS) / "Kelvara.lnk"; }
fs::path StartupShortcut() { return KnownFolder(CSIDL_STARTUP) / "Kelvara.lnk"; }

std::optional<Shortcut> ReadShortcut(const fs::path& link)
{
    scoped::ComPtr<IShellLinkA> shellLink;
    scoped::ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  shellLink.put_void())) ||
        FAILED(shellLink->QueryInterface(IID_IPersistFile, file.put_void())) ||
        FAILED(file->Load(link.wstring().c_str(), STGM_READ)))
        return std::nullopt;
    char target[MAX_PATH] = {};
    char folder[MAX_PATH] = {};
    if (FAILED(shellLink->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH)) ||
        FAILED(shellLink->GetWorkingDirectory(folder, MAX_PATH)))
        return std::nullopt;
    return Shortcut{target, folder};
}

std::optional<DWORD> RunProgram(const std::string& program, const std::string& arguments)
{
    ChildProcess process;
    DWORD exitCode = 0;
    if (!process.Start(program, arguments, fs::current_path().string()) ||
        !process.WaitForExit(kProgramTimeoutMs, exitCode))
        return std::nullopt;
    return exitCode;
}

std::optional<DWORD> RunSetup(const std::string& arguments) { return RunProgram(KV_SETUP_EXE, arguments); }

std::optional<DWORD> RunMsiexec(const std::string& arguments)
{
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    return RunProgram((fs::path(system) / "msiexec.exe").string(), arguments);
}

std::optional<DWORD> UninstallWithCopy(const fs::path& copy, const fs::path& folder, const std::string& arguments)
{
    // _?= takes the rest of the command line as the folder, unquoted.
    return RunProgram(copy.string(), arguments + " _?=" + folder.string());
}

std::optional<DWORD> RunRegisteredUninstall(const char* value)
{
    const auto command = RegistryString(HKEY_CURRENT_USER, kUninstallKey, value);
    if (!command || command->size() < 2 || command->front() != '"')
        return std::nullopt;
    const std::size_t closing = command->find("\" ", 1);
    if (closing == std::string::npos)
        return std::nullopt;
    return RunProgram(command->substr(1, closing - 1), command->substr(closing + 2));
}

std::optional<DWORD> ProbeVersion(const std::string& expected)
{
    const MachineCopyOfUserControl machineCopy;
    char system[MAX_PATH] = {};
    ::GetSystemDirectoryA(system, MAX_PATH);
    return RunProgram((fs::path(system) / "cscript.exe").string(),
               "//nologo \"" + std::string(KV_PROBE_SCRIPT) + "\" \"" + expected + "\"");
}

std::optional<std::string> RegistryString(HKEY root, const char* key, const char* value)
{
    char data[1024] = {};
    DWORD size = sizeof data;
    DWORD type = 0;
    if (::SHGetValueA(root, key, value, &type, data, &size) != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::string(data);
}

bool RegistryKeyExists(HKEY root, const std::string& key)
{
    scoped::RegKey opened;
    return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

std::vector<std::string> RegistryTree(HKEY root, const std::string& key)
{
    std::vector<std::string> lines;
    scoped::RegKey opened;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, opened.put()) != ERROR_SUCCESS)
        return lines;
    std::string lowered = key;
    for (char& c : lowered)
        c = char(::tolower(static_cast<unsigned char>(c)));
    lines.push_back(lowered);
    char name[256];
    BYTE data[1024];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        DWORD dataSize = sizeof data - 1;
        DWORD type = 0;
        if (::RegEnumValueA(opened.get(), index, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        data[dataSize] = 0;
        lines.push_back(lowered + "\\" + name + "=" + reinterpret_cast<const char*>(data));
    }
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        if (::RegEnumKeyExA(opened.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        for (std::string& line : RegistryTree(root, key + "\\" + name))
            lines.push_back(std::move(line));
    }
    return lines;
}

void StoreSetting(const char* value, const std::string& text)
{
    ::SHSetValueA(HKEY_CURRENT_USER, kSettingsKey, value, REG_SZ, text.c_str(), DWORD(text.size() + 1));
}

std::map<std::string, std::string> FolderFiles(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            files[entry.path().filename().string()] = ReadFileBytes(entry.path());
    return files;
}

} // namespace installed
