// Self-registration of the control: the registry entries, the component
// categories and the type library, added and removed from one table.
#pragma once

#include <windows.h>

HRESULT RegisterServer();
HRESULT UnregisterServer();
