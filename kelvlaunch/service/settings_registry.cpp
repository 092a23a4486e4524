#include "service/settings_registry.h"

#include <algorithm>
#include <vector>

namespace {

constexpr REGSAM kReadWrite = KEY_READ | KEY_WRITE;

scoped::RegKey CreateSubkey(HKEY parent, const char* name)
{
    scoped::RegKey key;
    if (::RegCreateKeyExA(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kReadWrite, nullptr, key.put(), nullptr) != ERROR_SUCCESS)
        key.release();   // don't trust what a failed call left in the out-parameter
    return key;
}

} // namespace

scoped::RegKey OpenSettingsKey()
{
    scoped::RegKey software;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, kReadWrite, software.put()) != ERROR_SUCCESS) {
        software.release();
        return {};
    }
    scoped::RegKey vendor = CreateSubkey(software.get(), "Ostrand");
    if (!vendor)
        return {};
    return CreateSubkey(vendor.get(), "LumetraAgent");
}

std::string ReadRegistryString(const char* valueName)
{
    scoped::RegKey key = OpenSettingsKey();
    if (!key)
        return {};
    // Most values fit the first buffer; a longer one is read again at its reported size,
    // in a loop because it may grow in between.
    std::vector<char> buffer(128);
    for (;;) {
        DWORD size = static_cast<DWORD>(buffer.size());
        const LONG status = ::RegQueryValueExA(key.get(), valueName, nullptr, nullptr,
                                               reinterpret_cast<BYTE*>(buffer.data()), &size);
        if (status == ERROR_MORE_DATA && size > buffer.size()) {
            buffer.resize(size);
            continue;
        }
        if (status != ERROR_SUCCESS)
            return {};
        // The data need not end in a NUL: stop at the first one or at the byte count.
        const auto end = buffer.begin() + std::min<std::size_t>(size, buffer.size());
        return std::string(buffer.begin(), std::find(buffer.begin(), end, '\0'));
    }
}

void WriteRegistryString(const char* valueName, const std::string& text)
{
    scoped::RegKey key = OpenSettingsKey();
    if (!key)
        return;
    ::RegSetValueExA(key.get(), valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
}
