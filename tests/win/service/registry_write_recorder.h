// Records the names of the registry values that this program writes, in order, by
// redirecting its import of RegSetValueExA while the recorder lives.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

class RegistryWriteRecorder {
public:
    RegistryWriteRecorder() : m_slot(FindImportSlot("advapi32.dll", "RegSetValueExA"))
    {
        if (m_slot) {
            Original() = reinterpret_cast<SetValueFn>(*m_slot);
            Patch(reinterpret_cast<void*>(&Record));
        }
        Names().clear();
    }
    ~RegistryWriteRecorder()
    {
        if (m_slot)
            Patch(reinterpret_cast<void*>(Original()));
    }
    RegistryWriteRecorder(const RegistryWriteRecorder&) = delete;
    RegistryWriteRecorder& operator=(const RegistryWriteRecorder&) = delete;

    bool Installed() const { return m_slot != nullptr; }
    const std::vector<std::string>& ValueNames() const { return Names(); }

private:
    using SetValueFn = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, DWORD, const BYTE*, DWORD);

    static SetValueFn& Original()
    {
        static SetValueFn original = nullptr;
        return original;
    }
    static std::vector<std::string>& Names()
    {
        static std::vector<std::string> names;
        return names;
    }

    static LONG WINAPI Record(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size)
    {
        Names().push_back(name ? name : "");
        return Original()(key, name, reserved, type, data, size);
    }

    // The program's import address table entry for dll!function.
    static void** FindImportSlot(const char* dll, const char* function)
    {
        auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
            if (lstrcmpiA(reinterpret_cast<char*>(base + d->Name), dll) != 0)
                continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Patch(void* function)
    {
        DWORD protection = 0;
        ::VirtualProtect(m_slot, sizeof *m_slot, PAGE_READWRITE, &protection);
        *m_slot = function;
        ::VirtualProtect(m_slot, sizeof *m_slot, protection, &protection);
    }

    void** m_slot;
};
