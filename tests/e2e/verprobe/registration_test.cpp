// regsvr32 registers and unregisters verprobe.dll as an installer would; the
// registry is then read back entry by entry.
#include "vp_test_support.h"

#include <comcat.h>

#include <map>

namespace {

constexpr char kClsid[] = "{C4F1B7D2-5E38-4A6C-B0D9-3E7A15F2864B}";
constexpr char kAppId[] = "{0D3A8E51-7C24-4B96-8F13-A2E5C6D7B049}";
constexpr char kIid[] = "{6B0E2C4A-3D51-4F7B-9A28-1C5E7D903F62}";
constexpr char kCatidInsertable[] = "{40FC6ED3-2438-11CF-A3DB-080036F12502}";
constexpr char kCatidControl[] = "{40FC6ED4-2438-11CF-A3DB-080036F12502}";

// "key\" for a key, "key\:name" for a value (name empty for the default) -> data.
using Snapshot = std::map<std::string, std::string>;

void ReadTree(HKEY parent, const std::string& path, Snapshot& snapshot)
{
    scoped::RegKey key;
    if (::RegOpenKeyExA(parent, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    snapshot[path + "\\"] = "";
    char name[256];
    BYTE data[1024];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        DWORD dataLength = sizeof data;
        DWORD type = 0;
        if (::RegEnumValueA(key.get(), i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        std::string text(reinterpret_cast<char*>(data), dataLength);
        if (type == REG_SZ && !text.empty() && text.back() == '\0')
            text.pop_back();
        else
            text = "<type " + std::to_string(type) + ">" + text;
        snapshot[path + "\\:" + name] = text;
    }
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof name;
        if (::RegEnumKeyExA(key.get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        ReadTree(parent, path + "\\" + name, snapshot);
    }
}

Snapshot RegisteredEntries(HKEY classes = HKEY_CLASSES_ROOT)
{
    Snapshot snapshot;
    for (const std::string& root : {std::string("AppID\\") + kAppId, std::string("AppID\\Verprobe.DLL"),
                                   std::string("Ostrand.Verprobe.2"), std::string("Ostrand.Verprobe"),
                                   std::string("CLSID\\") + kClsid})
        ReadTree(classes, root, snapshot);
    return snapshot;
}

Snapshot ExpectedEntries(const std::string& dllPath)
{
    const std::string cls = std::string("CLSID\\") + kClsid;
    return {
        {std::string("AppID\\") + kAppId + "\\", ""},
        {std::string("AppID\\") + kAppId + "\\:", "Verprobe"},
        {"AppID\\Verprobe.DLL\\", ""},
        {"AppID\\Verprobe.DLL\\:AppID", kAppId},
        {"Ostrand.Verprobe.2\\", ""},
        {"Ostrand.Verprobe.2\\:", "CVerprobeObj Object"},
        {"Ostrand.Verprobe.2\\CLSID\\", ""},
        {"Ostrand.Verprobe.2\\CLSID\\:", kClsid},
        {"Ostrand.Verprobe\\", ""},
        {"Ostrand.Verprobe\\:", "CVerprobeObj Object"},
        {"Ostrand.Verprobe\\CLSID\\", ""},
        {"Ostrand.Verprobe\\CLSID\\:", kClsid},
        {"Ostrand.Verprobe\\CurVer\\", ""},
        {"Ostrand.Verprobe\\CurVer\\:", "Ostrand.Verprobe.2"},
        {cls + "\\", ""},
        {cls + "\\:", "CVerprobeObj Object"},
        {cls + "\\:AppID", kAppId},
        {cls + "\\ProgID\\", ""},
        {cls + "\\ProgID\\:", "Ostrand.Verprobe.2"},
        {cls + "\\VersionIndependentProgID\\", ""},
        {cls + "\\VersionIndependentProgID\\:", "Ostrand.Verprobe"},
        {cls + "\\InprocServer32\\", ""},
        {cls + "\\InprocServer32\\:", dllPath},
        {cls + "\\InprocServer32\\:ThreadingModel", "apartment"},
        {cls + "\\Control\\", ""},
        {cls + "\\ToolboxBitmap32\\", ""},
        {cls + "\\ToolboxBitmap32\\:", dllPath + ", 1"},
        {cls + "\\MiscStatus\\", ""},
        {cls + "\\MiscStatus\\:", "0"},
        {cls + "\\MiscStatus\\1\\", ""},
        {cls + "\\MiscStatus\\1\\:", "131473"},
        {cls + "\\TypeLib\\", ""},
        {cls + "\\TypeLib\\:", kAppId},
        {cls + "\\Version\\", ""},
        {cls + "\\Version\\:", "1.0"},
        {cls + "\\Implemented Categories\\", ""},
        {cls + "\\Implemented Categories\\" + kCatidInsertable + "\\", ""},
        {cls + "\\Implemented Categories\\" + kCatidControl + "\\", ""},
    };
}

bool KeyExists(const std::string& path, HKEY classes = HKEY_CLASSES_ROOT)
{
    scoped::RegKey key;
    return ::RegOpenKeyExA(classes, path.c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void CreateKey(const std::string& path, const char* valueName = nullptr)
{
    scoped::RegKey key;
    ::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    if (valueName)
        ::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>("old"), 4);
}

std::wstring Widened(const std::string& ascii)
{
    return std::wstring(ascii.begin(), ascii.end());
}

// regsvr32's exit code: 0 when the DLL's entry point succeeded.
DWORD Regsvr32(const std::string& options, const std::wstring& dll = Widened(TestDirectory() + "verprobe.dll"))
{
    std::wstring commandLine = L"regsvr32.exe /s " + Widened(options) + L" \"" + dll + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return ::GetLastError();
    scoped::Kernel processHandle(process.hProcess);
    scoped::Kernel threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

bool ImplementsBothCategories()
{
    scoped::ComPtr<ICatInformation> categories;
    if (FAILED(::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_ICatInformation, categories.put_void())))
        return false;
    CATID implemented[] = {CATID_Insertable, CATID_Control};
    return categories->IsClassOfCategories(CLSID_CVerprobeObj, 2, implemented, 0, nullptr)
           == S_OK;
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HR(S_OK, ::CoInitialize(nullptr));
        ASSERT_EQ(0u, Regsvr32("/u"));
        ASSERT_EQ(0u, Regsvr32(""));
    }
    void TearDown() override
    {
        EXPECT_EQ(0u, Regsvr32("/u"));
        ::CoUninitialize();
    }

    const std::string m_dllPath = TestDirectory() + "verprobe.dll";
};

TEST_F(RegistrationTest, WritesEveryEntryWithItsExactData)
{
    EXPECT_EQ(ExpectedEntries(m_dllPath), RegisteredEntries());
    EXPECT_TRUE(ImplementsBothCategories());
}

TEST_F(RegistrationTest, RegisteringAgainLeavesOneCopyAndReplacesStaleClassKeys)
{
    const std::string cls = std::string("CLSID\\") + kClsid;
    CreateKey(cls + "\\Stale");
    CreateKey(cls + "\\Control\\Stale");
    CreateKey(cls + "\\ToolboxBitmap32", "Stale");
    ASSERT_EQ(0u, Regsvr32(""));
    EXPECT_EQ(ExpectedEntries(m_dllPath), RegisteredEntries());
    EXPECT_TRUE(ImplementsBothCategories());
}

TEST_F(RegistrationTest, RegistersTheTypeLibraryFromTheDll)
{
    scoped::ComPtr<ITypeLib> library;
    ASSERT_HR(S_OK, ::LoadRegTypeLib(LIBID_Verprobe, 1, 0, 0x409, library.put()));
    BSTR path = nullptr;
    ASSERT_HR(S_OK, ::QueryPathOfRegTypeLib(LIBID_Verprobe, 1, 0, 0x409, &path));
    EXPECT_STRCASEEQ(m_dllPath.c_str(), Narrow(path).c_str());
    ::SysFreeString(path);
    EXPECT_TRUE(KeyExists(std::string("Interface\\") + kIid));
}

TEST_F(RegistrationTest, CreatableByEitherProgIdWithTheRegisteredMiscStatus)
{
    CLSID current = {};
    CLSID versioned = {};
    ASSERT_HR(S_OK, ::CLSIDFromProgID(L"Ostrand.Verprobe", &current));
    ASSERT_HR(S_OK, ::CLSIDFromProgID(L"Ostrand.Verprobe.2", &versioned));
    EXPECT_TRUE(IsEqualGUID(CLSID_CVerprobeObj, current));
    EXPECT_TRUE(IsEqualGUID(CLSID_CVerprobeObj, versioned));

    scoped::ComPtr<IOleObject> object;
    ASSERT_HR(S_OK, ::CoCreateInstance(current, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject, object.put_void()));
    DWORD status = 0;
    EXPECT_HR(S_OK, object->GetMiscStatus(DVASPECT_CONTENT, &status));
    EXPECT_EQ(0x20191u, status);
    LPOLESTR userType = nullptr;
    ASSERT_HR(S_OK, object->GetUserType(USERCLASSTYPE_FULL, &userType));
    EXPECT_EQ(std::wstring(L"CVerprobeObj Object"), userType);
    ::CoTaskMemFree(userType);

    // The control reports its own version once it is registered.
    scoped::ComPtr<IVerprobe> verprobe;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IVerprobe, verprobe.put_void()));
    scoped::Bstr progId(::SysAllocString(L"Ostrand.Verprobe"));
    BSTR version = nullptr;
    ASSERT_HR(S_OK, verprobe->get_SpecificVersion(progId.get(), &version));
    EXPECT_EQ("2, 0, 0, 3", Narrow(version));
    ::SysFreeString(version);
}

TEST(VersionResourceTest, FileAndProductVersionAre2003)
{
    const std::string path = TestDirectory() + "verprobe.dll";
    DWORD ignored = 0;
    std::string block(::GetFileVersionInfoSizeA(path.c_str(), &ignored), '\0');
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(0x00020000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00020000u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000003u, fixed->dwProductVersionLS);
}

TEST(ExportTableTest, ExportsTheInProcessServerEntryPointsByName)
{
    const scoped::Module dll(::LoadLibraryA((TestDirectory() + "verprobe.dll").c_str()));
    ASSERT_TRUE(dll);
    for (const char* name : {"DllMain", "DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                             "DllUnregisterServer", "DllInstall"})
        EXPECT_NE(nullptr, reinterpret_cast<void*>(::GetProcAddress(dll.get(), name))) << name;
}

TEST_F(RegistrationTest, UnregisteringRemovesEverythingButTheSharedParents)
{
    ASSERT_EQ(0u, Regsvr32("/u"));
    EXPECT_EQ(Snapshot(), RegisteredEntries());
    EXPECT_FALSE(ImplementsBothCategories());
    EXPECT_FALSE(KeyExists(std::string("TypeLib\\") + kAppId));
    EXPECT_FALSE(KeyExists(std::string("Interface\\") + kIid));
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_TRUE(KeyExists("AppID"));

    // Nothing left to remove is not a failure.
    EXPECT_EQ(0u, Regsvr32("/u"));
}

TEST_F(RegistrationTest, RegistersForTheUserAloneUnderTheUsersClasses)
{
    scoped::RegKey user, machine;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, nullptr, 0, KEY_READ,
                                               nullptr, user.put(), nullptr));
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Classes", 0, KEY_READ, machine.put()));
    const std::string typeLib = std::string("TypeLib\\") + kAppId;
    ASSERT_EQ(0u, Regsvr32("/u"));

    ASSERT_EQ(0u, Regsvr32("/n /i:user"));
    EXPECT_EQ(ExpectedEntries(m_dllPath), RegisteredEntries(user.get()));
    EXPECT_TRUE(KeyExists(typeLib, user.get()));
    EXPECT_EQ(Snapshot(), RegisteredEntries(machine.get()));
    EXPECT_FALSE(KeyExists(typeLib, machine.get()));

    ASSERT_EQ(0u, Regsvr32("/n /u /i:user"));
    EXPECT_EQ(Snapshot(), RegisteredEntries(user.get()));
    EXPECT_FALSE(KeyExists(typeLib, user.get()));

    // From a folder whose name the ANSI code page cannot spell: the path as it is.
    const std::wstring folder = Widened(TestDirectory()) + L"\u0416\u0443\u043a";
    const std::wstring dll = folder + L"\\verprobe.dll";
    ::CreateDirectoryW(folder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileW(Widened(m_dllPath).c_str(), dll.c_str(), FALSE));
    ASSERT_EQ(0u, Regsvr32("/n /i:user", dll));
    wchar_t server[MAX_PATH] = {};
    DWORD size = sizeof server;
    EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(user.get(), (L"CLSID\\" + Widened(kClsid) + L"\\InprocServer32").c_str(),
                                            nullptr, RRF_RT_REG_SZ, nullptr, server, &size));
    EXPECT_EQ(dll, server);
    ASSERT_EQ(0u, Regsvr32("/n /u /i:user", dll));
    EXPECT_EQ(Snapshot(), RegisteredEntries(user.get()));
}

} // namespace
