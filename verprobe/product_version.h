// The ProductVersion text of the in-process server registered for a class.
#pragma once

#include <windows.h>
#include <oleauto.h>

// *pVal must be null on entry. E_FAIL when HKCR\CLSID\{clsid}\InprocServer32 has
// no usable default value; S_OK with *pVal still null when the file or its
// version information lacks a ProductVersion; S_OK with the text otherwise.
HRESULT LookUpProductVersion(REFCLSID clsid, BSTR* pVal);
