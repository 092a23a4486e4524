// The class object of CVerprobeObj, created once and shared.
#pragma once

#include <windows.h>
#include <unknwn.h>

// The shared factory's riid interface; created on first use under the module's
// critical section.
HRESULT GetVerprobeClassObject(REFIID riid, void** ppv);

// DLL_PROCESS_DETACH: drops the module's own reference to the factory.
void ReleaseVerprobeClassObject();
