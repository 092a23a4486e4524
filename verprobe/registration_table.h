// The control's registry entries under a classes root: what registration writes and
// unregistration removes, and what the build turns into the MSI's registry rows. This is the
// one place they are written down. The build reads it as data: one entry a line, strings
// without escapes other than \\.
#pragma once

namespace registration_table {

enum EntryFlags : unsigned {
    kKeptOnUnregister = 1u << 0,   // shared parent keys other servers live under
    kReplaceWhole = 1u << 1,       // stale subkeys of an older registration go first
};

// One key under the classes root and, when data is given, one REG_SZ value in it.
// %CLSID%, %APPID%, %MODULE% and the %CATID_...% are filled in at registration time.
struct RegistryEntry {
    const char* key;
    const char* valueName;   // nullptr: the default value
    const char* data;        // nullptr: the key alone
    unsigned flags;
};

constexpr RegistryEntry kAppIdEntries[] = {
    {"AppID", nullptr, nullptr, kKeptOnUnregister},
    {"AppID\\%APPID%", nullptr, "Verprobe", 0},
    {"AppID\\Verprobe.DLL", "AppID", "%APPID%", 0},
};

constexpr RegistryEntry kClassEntries[] = {
    {"Ostrand.Verprobe.2", nullptr, "CVerprobeObj Object", 0},
    {"Ostrand.Verprobe.2\\CLSID", nullptr, "%CLSID%", 0},
    {"Ostrand.Verprobe", nullptr, "CVerprobeObj Object", 0},
    {"Ostrand.Verprobe\\CLSID", nullptr, "%CLSID%", 0},
    {"Ostrand.Verprobe\\CurVer", nullptr, "Ostrand.Verprobe.2", 0},
    {"CLSID", nullptr, nullptr, kKeptOnUnregister},
    {"CLSID\\%CLSID%", nullptr, "CVerprobeObj Object", kReplaceWhole},
    {"CLSID\\%CLSID%\\ProgID", nullptr, "Ostrand.Verprobe.2", 0},
    {"CLSID\\%CLSID%\\VersionIndependentProgID", nullptr, "Ostrand.Verprobe", 0},
    {"CLSID\\%CLSID%\\InprocServer32", nullptr, "%MODULE%", 0},
    {"CLSID\\%CLSID%\\InprocServer32", "ThreadingModel", "apartment", 0},
    {"CLSID\\%CLSID%\\Control", nullptr, nullptr, kReplaceWhole},
    // The DLL holds no bitmap; containers fall back to a default picture.
    {"CLSID\\%CLSID%\\ToolboxBitmap32", nullptr, "%MODULE%, 1", kReplaceWhole},
    {"CLSID\\%CLSID%\\MiscStatus", nullptr, "0", 0},
    // OLEMISC_SETCLIENTSITEFIRST | ACTIVATEWHENVISIBLE | INSIDEOUT | CANTLINKINSIDE | RECOMPOSEONRESIZE
    {"CLSID\\%CLSID%\\MiscStatus\\1", nullptr, "131473", 0},
    {"CLSID\\%CLSID%", "AppID", "%APPID%", 0},
    {"CLSID\\%CLSID%\\TypeLib", nullptr, "%APPID%", 0},
    {"CLSID\\%CLSID%\\Version", nullptr, "1.0", 0},
};

// What the component-category manager writes for the machine. For the user these are written
// by hand: the manager writes machine-wide even while HKEY_CLASSES_ROOT is redirected.
constexpr RegistryEntry kUserCategoryEntries[] = {
    {"CLSID\\%CLSID%\\Implemented Categories\\%CATID_INSERTABLE%", nullptr, nullptr, 0},
    {"CLSID\\%CLSID%\\Implemented Categories\\%CATID_CONTROL%", nullptr, nullptr, 0},
};

} // namespace registration_table
