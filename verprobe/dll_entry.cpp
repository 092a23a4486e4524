// The in-process server's exported entry points.
#include "class_factory.h"
#include "control_window.h"
#include "module.h"
#include "registration.h"
#include "verprobe_idl.h"

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        ::DisableThreadLibraryCalls(instance);
        return module::Initialise(instance);
    case DLL_PROCESS_DETACH:
        // At process exit (reserved != null) other threads are gone and so is
        // any point in tidying up; after a failed attach there is nothing to tidy.
        if (!reserved && module::Initialised()) {
            UnregisterControlWindowClass();
            module::Terminate();
        }
        return TRUE;
    default:
        return TRUE;
    }
}

STDAPI DllCanUnloadNow()
{
    return module::LockCount() == 0 ? S_OK : S_FALSE;
}

STDAPI DllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    if (rclsid != CLSID_CVerprobeObj)
        return CLASS_E_CLASSNOTAVAILABLE;
    return GetVerprobeClassObject(riid, ppv);
}

STDAPI DllRegisterServer()
{
    return RegisterServer(RegistrationScope::Machine);
}

STDAPI DllUnregisterServer()
{
    return UnregisterServer(RegistrationScope::Machine);
}

// regsvr32 /n /i:user (and per-user setup programs): "user" registers or unregisters for the
// current user alone; no command line means the whole machine, as DllRegisterServer.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine)
{
    RegistrationScope scope = RegistrationScope::Machine;
    if (commandLine && *commandLine) {
        if (::lstrcmpiW(commandLine, L"user") != 0)
            return E_INVALIDARG;
        scope = RegistrationScope::User;
    }
    return install ? RegisterServer(scope) : UnregisterServer(scope);
}
