#include "module.h"

#include <utility>

namespace module {
namespace {

HINSTANCE g_instance;
wchar_t g_path[MAX_PATH];
LONG g_lockCount;
CRITICAL_SECTION g_criticalSection;
bool g_initialised;
// Loaded with the first request for type information. A plain pointer: no static
// destructor releases it at process exit, when the library's code may be gone.
ITypeLib* g_typeLib;

} // namespace

bool Initialise(HINSTANCE instance)
{
    g_instance = instance;
    // Wide: a folder whose name the ANSI code page cannot spell is still found again.
    const DWORD length = ::GetModuleFileNameW(instance, g_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    g_initialised = ::InitializeCriticalSectionAndSpinCount(&g_criticalSection, 0) != FALSE;
    return g_initialised;
}

bool Initialised() { return g_initialised; }

void Terminate()
{
    if (!std::exchange(g_initialised, false))
        return;
    if (g_typeLib)
        std::exchange(g_typeLib, nullptr)->Release();
    ::DeleteCriticalSection(&g_criticalSection);
}

HINSTANCE Instance() { return g_instance; }
const wchar_t* Path() { return g_path; }

void Lock() { ::InterlockedIncrement(&g_lockCount); }
void Unlock() { ::InterlockedDecrement(&g_lockCount); }
LONG LockCount() { return ::InterlockedCompareExchange(&g_lockCount, 0, 0); }

CriticalSectionLock::CriticalSectionLock() { ::EnterCriticalSection(&g_criticalSection); }
CriticalSectionLock::~CriticalSectionLock() { ::LeaveCriticalSection(&g_criticalSection); }

HRESULT OwnTypeInfo(REFGUID guid, ITypeInfo** ppTypeInfo)
{
    if (!ppTypeInfo)
        return E_POINTER;
    *ppTypeInfo = nullptr;
    CriticalSectionLock lock;
    if (!g_typeLib) {
        const HRESULT hr = ::LoadTypeLibEx(Path(), REGKIND_NONE, &g_typeLib);
        if (FAILED(hr))
            return hr;
    }
    return g_typeLib->GetTypeInfoOfGuid(guid, ppTypeInfo);
}

} // namespace module
