// The class object of CVerprobeObj: one static factory.
#pragma once

#include <windows.h>
#include <unknwn.h>

// The factory's riid interface.
HRESULT GetVerprobeClassObject(REFIID riid, void** ppv);
