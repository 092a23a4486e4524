// Registration for the current user alone: the user's classes key, and the type-library
// calls that write there.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "scoped_win.h"

namespace user_classes {

// HKEY_CURRENT_USER\Software\Classes, created when missing.
HRESULT Open(scoped::RegKey& key);

// RegisterTypeLibForUser / UnRegisterTypeLibForUser with HKEY_CLASSES_ROOT redirected to
// userClasses for the call: not every system's versions redirect it themselves.
HRESULT RegisterTypeLib(HKEY userClasses, ITypeLib* typeLib, const wchar_t* path);
HRESULT UnregisterTypeLib(HKEY userClasses, REFGUID libId, WORD major, WORD minor, LCID lcid, SYSKIND sysKind);

} // namespace user_classes
