#include "user_classes.h"

namespace user_classes {
namespace {

// Older systems lack these functions: looked up when needed, so that the DLL still loads there
// and only per-user registration fails. Both modules are imported by the DLL, so loaded.
template <typename Function>
Function Lookup(const char* module, const char* name)
{
    const HMODULE loaded = ::GetModuleHandleA(module);
    return reinterpret_cast<Function>(loaded ? reinterpret_cast<void*>(::GetProcAddress(loaded, name)) : nullptr);
}

using OverridePredefKey = LONG(WINAPI*)(HKEY, HKEY);
using RegisterTypeLibForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnRegisterTypeLibForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// HKEY_CLASSES_ROOT means the user's classes, for the whole process, while this lives.
class ClassesRootRedirect {
public:
    explicit ClassesRootRedirect(HKEY userClasses)
        : m_override(Lookup<OverridePredefKey>("advapi32.dll", "RegOverridePredefKey")),
          m_status(m_override ? m_override(HKEY_CLASSES_ROOT, userClasses) : ERROR_PROC_NOT_FOUND)
    {
    }
    ~ClassesRootRedirect()
    {
        if (m_status == ERROR_SUCCESS)
            m_override(HKEY_CLASSES_ROOT, nullptr);
    }
    ClassesRootRedirect(const ClassesRootRedirect&) = delete;
    ClassesRootRedirect& operator=(const ClassesRootRedirect&) = delete;

    HRESULT Status() const { return HRESULT_FROM_WIN32(m_status); }

private:
    OverridePredefKey m_override;
    LONG m_status;
};

template <typename Function, typename... Arguments>
HRESULT CallRedirected(HKEY userClasses, const char* name, Arguments... arguments)
{
    const auto function = Lookup<Function>("oleaut32.dll", name);
    if (!function)
        return HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
    const ClassesRootRedirect redirect(userClasses);
    const HRESULT hr = redirect.Status();
    return FAILED(hr) ? hr : function(arguments...);
}

} // namespace

HRESULT Open(scoped::RegKey& key)
{
    return HRESULT_FROM_WIN32(::RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Classes", 0, nullptr, 0,
                                                KEY_READ | KEY_WRITE, nullptr, key.put(), nullptr));
}

HRESULT RegisterTypeLib(HKEY userClasses, ITypeLib* typeLib, const wchar_t* path)
{
    return CallRedirected<RegisterTypeLibForUser>(userClasses, "RegisterTypeLibForUser", typeLib,
                                                  const_cast<wchar_t*>(path), static_cast<wchar_t*>(nullptr));
}

HRESULT UnregisterTypeLib(HKEY userClasses, REFGUID libId, WORD major, WORD minor, LCID lcid, SYSKIND sysKind)
{
    return CallRedirected<UnRegisterTypeLibForUser>(userClasses, "UnRegisterTypeLibForUser", libId, major, minor,
                                                    lcid, sysKind);
}

} // namespace user_classes
