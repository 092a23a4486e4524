#include "registration.h"

#include "module.h"
#include "registration_table.h"
#include "scoped_win.h"
#include "user_classes.h"
#include "verprobe_idl.h"

#include <comcat.h>
#include <shlwapi.h>

#include <cstring>

namespace {

using namespace registration_table;

// Key paths and data are short: a GUID or two, or the module path and a suffix.
constexpr size_t kTextSize = MAX_PATH + 128;

struct Variable {
    const char* name;
    const char* value;
};

class Variables {
public:
    HRESULT Initialise()
    {
        HRESULT hr = FormatGuid(CLSID_CVerprobeObj, m_clsid);
        if (SUCCEEDED(hr))
            hr = FormatGuid(LIBID_Verprobe, m_appId);
        if (SUCCEEDED(hr))
            hr = FormatGuid(CATID_Insertable, m_insertable);
        if (SUCCEEDED(hr))
            hr = FormatGuid(CATID_Control, m_control);
        return hr;
    }

    // Copies pattern into out with every %NAME% replaced; false when it does not fit.
    bool Expand(const char* pattern, char (&out)[kTextSize]) const
    {
        const Variable variables[] = {{"%CLSID%", m_clsid}, {"%APPID%", m_appId}, {"%MODULE%", module::Path()},
                                      {"%CATID_INSERTABLE%", m_insertable}, {"%CATID_CONTROL%", m_control}};
        size_t used = 0;
        while (*pattern) {
            const char* piece = pattern;
            size_t pieceLength = 1;
            for (const Variable& variable : variables) {
                const size_t nameLength = std::strlen(variable.name);
                if (std::strncmp(pattern, variable.name, nameLength) == 0) {
                    piece = variable.value;
                    pieceLength = std::strlen(variable.value);
                    pattern += nameLength - 1;
                    break;
                }
            }
            ++pattern;
            if (used + pieceLength >= kTextSize)
                return false;
            std::memcpy(out + used, piece, pieceLength);
            used += pieceLength;
        }
        out[used] = '\0';
        return true;
    }

private:
    static HRESULT FormatGuid(REFGUID guid, char (&text)[40])
    {
        wchar_t wide[40];
        if (!::StringFromGUID2(guid, wide, 40)
            || !::WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr))
            return E_UNEXPECTED;
        return S_OK;
    }

    char m_clsid[40] = {};
    char m_appId[40] = {};
    char m_insertable[40] = {};
    char m_control[40] = {};
};

// Where the entries go: HKEY_CLASSES_ROOT for the machine, the user's Software\Classes for one user.
struct Target {
    RegistrationScope scope;
    HKEY classes;
    Variables variables;
};

HRESULT DeleteKeyTree(HKEY classes, const char* key)
{
    const DWORD status = ::SHDeleteKeyA(classes, key);
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(status);
}

HRESULT WriteEntry(const RegistryEntry& entry, const Target& target)
{
    char key[kTextSize];
    if (!target.variables.Expand(entry.key, key))
        return E_UNEXPECTED;
    if (entry.flags & kReplaceWhole) {
        const HRESULT hr = DeleteKeyTree(target.classes, key);
        if (FAILED(hr))
            return hr;
    }
    scoped::RegKey opened;
    LONG status = ::RegCreateKeyExA(target.classes, key, 0, nullptr, 0, KEY_WRITE, nullptr, opened.put(), nullptr);
    if (status != ERROR_SUCCESS)
        return HRESULT_FROM_WIN32(status);
    if (!entry.data)
        return S_OK;
    char data[kTextSize];
    if (!target.variables.Expand(entry.data, data))
        return E_UNEXPECTED;
    status = ::RegSetValueExA(opened.get(), entry.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                              static_cast<DWORD>(std::strlen(data) + 1));
    return HRESULT_FROM_WIN32(status);
}

HRESULT RemoveEntry(const RegistryEntry& entry, const Target& target)
{
    if (entry.flags & kKeptOnUnregister)
        return S_OK;
    char key[kTextSize];
    if (!target.variables.Expand(entry.key, key))
        return E_UNEXPECTED;
    return DeleteKeyTree(target.classes, key);
}

template <size_t N>
HRESULT ForEachEntry(const RegistryEntry (&entries)[N], const Target& target,
                     HRESULT (*apply)(const RegistryEntry&, const Target&))
{
    for (const RegistryEntry& entry : entries) {
        const HRESULT hr = apply(entry, target);
        if (FAILED(hr))
            return hr;
    }
    return S_OK;
}

bool KeyIsMissing(HKEY classes, const char* key)
{
    scoped::RegKey opened;
    return ::RegOpenKeyExA(classes, key, 0, KEY_READ, opened.put()) == ERROR_FILE_NOT_FOUND;
}

HRESULT ChangeImplementedCategories(const Target& target, bool add)
{
    if (target.scope == RegistrationScope::User)
        return ForEachEntry(kUserCategoryEntries, target, add ? WriteEntry : RemoveEntry);
    scoped::ComPtr<ICatRegister> categories;
    HRESULT hr = ::CoCreateInstance(CLSID_StdComponentCategoriesMgr, nullptr, CLSCTX_INPROC_SERVER,
                                    IID_ICatRegister, categories.put_void());
    if (FAILED(hr))
        return hr;
    CATID implemented[] = {CATID_Insertable, CATID_Control};
    return add ? categories->RegisterClassImplCategories(CLSID_CVerprobeObj, 2, implemented)
               : categories->UnRegisterClassImplCategories(CLSID_CVerprobeObj, 2, implemented);
}

// A class that is not registered has no categories left to remove.
HRESULT RemoveImplementedCategories(const Target& target)
{
    char key[kTextSize];
    if (!target.variables.Expand("CLSID\\%CLSID%", key))
        return E_UNEXPECTED;
    return KeyIsMissing(target.classes, key) ? S_OK : ChangeImplementedCategories(target, false);
}

HRESULT RegisterTypeLibrary(const Target& target)
{
    scoped::ComPtr<ITypeLib> typeLib;
    const HRESULT hr = ::LoadTypeLibEx(module::WidePath(), REGKIND_NONE, typeLib.put());
    if (FAILED(hr))
        return hr;
    if (target.scope == RegistrationScope::User)
        return user_classes::RegisterTypeLib(target.classes, typeLib.get(), module::WidePath());
    return ::RegisterTypeLib(typeLib.get(), const_cast<wchar_t*>(module::WidePath()), nullptr);
}

// A type library that is not registered is already removed.
HRESULT UnregisterTypeLibrary(const Target& target)
{
    char key[kTextSize];
    if (!target.variables.Expand("TypeLib\\%APPID%\\1.0", key))
        return E_UNEXPECTED;
    if (KeyIsMissing(target.classes, key))
        return S_OK;
    // The library is registered under the system kind it was compiled for.
    const SYSKIND sysKind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
    if (target.scope == RegistrationScope::User)
        return user_classes::UnregisterTypeLib(target.classes, LIBID_Verprobe, 1, 0, 0x409, sysKind);
    return ::UnRegisterTypeLib(LIBID_Verprobe, 1, 0, 0x409, sysKind);
}

// The category manager is a COM object; regsvr32 and installers do not all
// initialise COM before calling in.
class ComApartment {
public:
    ComApartment() : m_hr(::CoInitialize(nullptr)) {}
    ~ComApartment()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    HRESULT m_hr;
};

// Runs step on the target of scope, under the module's lock and in an apartment.
HRESULT WithTarget(RegistrationScope scope, HRESULT (*step)(const Target&))
{
    module::CriticalSectionLock lock;
    ComApartment apartment;
    Target target{scope, HKEY_CLASSES_ROOT, {}};
    scoped::RegKey userClasses;
    HRESULT hr = target.variables.Initialise();
    if (SUCCEEDED(hr) && scope == RegistrationScope::User) {
        hr = user_classes::Open(userClasses);
        target.classes = userClasses.get();
    }
    return SUCCEEDED(hr) ? step(target) : hr;
}

HRESULT Register(const Target& target)
{
    HRESULT hr = ForEachEntry(kAppIdEntries, target, WriteEntry);
    if (SUCCEEDED(hr))
        hr = ForEachEntry(kClassEntries, target, WriteEntry);
    if (SUCCEEDED(hr))
        hr = ChangeImplementedCategories(target, true);
    if (SUCCEEDED(hr))
        hr = RegisterTypeLibrary(target);
    return hr;
}

HRESULT Unregister(const Target& target)
{
    HRESULT hr = RemoveImplementedCategories(target);
    if (SUCCEEDED(hr))
        hr = ForEachEntry(kClassEntries, target, RemoveEntry);
    if (SUCCEEDED(hr))
        hr = UnregisterTypeLibrary(target);
    if (SUCCEEDED(hr))
        hr = ForEachEntry(kAppIdEntries, target, RemoveEntry);
    return hr;
}

} // namespace

HRESULT RegisterServer(RegistrationScope scope)
{
    return WithTarget(scope, Register);
}

HRESULT UnregisterServer(RegistrationScope scope)
{
    return WithTarget(scope, Unregister);
}
