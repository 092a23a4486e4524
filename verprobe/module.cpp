#include "module.h"

#include "scoped_win.h"

namespace module {
namespace {

HINSTANCE g_instance;
char g_path[MAX_PATH];
wchar_t g_widePath[MAX_PATH];
LONG g_lockCount;
CRITICAL_SECTION g_criticalSection;

} // namespace

bool Initialise(HINSTANCE instance)
{
    g_instance = instance;
    const DWORD length = ::GetModuleFileNameA(instance, g_path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    if (!::MultiByteToWideChar(CP_ACP, 0, g_path, -1, g_widePath, MAX_PATH))
        return false;
    return ::InitializeCriticalSectionAndSpinCount(&g_criticalSection, 0) != FALSE;
}

void Terminate()
{
    ::DeleteCriticalSection(&g_criticalSection);
}

HINSTANCE Instance() { return g_instance; }
const char* Path() { return g_path; }
const wchar_t* WidePath() { return g_widePath; }

void Lock() { ::InterlockedIncrement(&g_lockCount); }
void Unlock() { ::InterlockedDecrement(&g_lockCount); }
LONG LockCount() { return ::InterlockedCompareExchange(&g_lockCount, 0, 0); }

CriticalSectionLock::CriticalSectionLock() { ::EnterCriticalSection(&g_criticalSection); }
CriticalSectionLock::~CriticalSectionLock() { ::LeaveCriticalSection(&g_criticalSection); }

HRESULT LoadOwnTypeInfo(REFGUID guid, ITypeInfo** ppTypeInfo)
{
    if (!ppTypeInfo)
        return E_POINTER;
    *ppTypeInfo = nullptr;
    scoped::ComPtr<ITypeLib> typeLib;
    const HRESULT hr = ::LoadTypeLibEx(WidePath(), REGKIND_NONE, typeLib.put());
    if (FAILED(hr))
        return hr;
    return typeLib->GetTypeInfoOfGuid(guid, ppTypeInfo);
}

} // namespace module
