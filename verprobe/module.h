// Process-wide state of the DLL: its handle and path, the lock count that
// DllCanUnloadNow reports, and the critical section that serialises module work.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace module {

// DLL_PROCESS_ATTACH / DLL_PROCESS_DETACH. Initialise fails when the DLL
// cannot know its own path (registration and type information need it); the loader then
// detaches a module that Initialised() says was never set up.
bool Initialise(HINSTANCE instance);
bool Initialised();
void Terminate();

HINSTANCE Instance();
const wchar_t* Path();   // full path of the DLL file

// Objects alive plus server locks.
void Lock();
void Unlock();
LONG LockCount();

// Holds the module's critical section for one scope.
class CriticalSectionLock {
public:
    CriticalSectionLock();
    ~CriticalSectionLock();
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;
};

// Type information for guid from the type library inside this DLL (resource TYPELIB 1),
// which is loaded once.
HRESULT OwnTypeInfo(REFGUID guid, ITypeInfo** ppTypeInfo);

} // namespace module
