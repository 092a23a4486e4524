#include "process_usage.h"

#include "scoped_win.h"

#include <psapi.h>

#include <algorithm>
#include <vector>

namespace {

// The system's handle table, as NtQuerySystemInformation gives it.
constexpr ULONG kSystemHandleInformation = 16;
struct SystemHandleEntry {
    ULONG ownerProcessId;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};
struct SystemHandleTable {
    ULONG count;
    SystemHandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);

// Wine answers GetProcessHandleCount for another process with 0; its system handle
// table has every process's handles.
bool CountHandlesInSystemTable(DWORD processId, DWORD& handles)
{
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void (*)()>(::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query)
        return false;
    std::vector<BYTE> buffer(1 << 20);
    ULONG needed = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const LONG status = query(kSystemHandleInformation, buffer.data(), ULONG(buffer.size()), &needed);
        if (status >= 0)
            break;
        if (attempt == 3)
            return false;
        buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
    }
    const auto* table = reinterpret_cast<const SystemHandleTable*>(buffer.data());
    handles = 0;
    for (ULONG i = 0; i < table->count; ++i)
        handles += table->entries[i].ownerProcessId == processId;
    return true;
}

} // namespace

bool ReadProcessUsage(DWORD processId, ProcessUsage& usage)
{
    scoped::Kernel process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process || !::GetProcessMemoryInfo(process.get(), &counters, sizeof counters)
        || !::GetProcessHandleCount(process.get(), &usage.handles))
        return false;
    usage.workingSetBytes = counters.WorkingSetSize;
    return usage.handles != 0 || CountHandlesInSystemTable(processId, usage.handles);
}
