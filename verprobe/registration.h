// Self-registration of the control: the registry entries, the component
// categories and the type library, added and removed from one table, for the
// whole machine (HKEY_CLASSES_ROOT) or the current user (HKCU\Software\Classes).
#pragma once

#include <windows.h>

enum class RegistrationScope { Machine, User };

HRESULT RegisterServer(RegistrationScope scope);
HRESULT UnregisterServer(RegistrationScope scope);
