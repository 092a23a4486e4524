// Shared helpers of the verprobe tests: the DLL loaded straight from the test's
// directory, stand-in components registered under HKCR, HRESULT assertions.
#pragma once

#include "scoped_win.h"
#include "verprobe_idl.h"

#include <gtest/gtest.h>

#include <string>

// Compares HRESULTs and prints both in hexadecimal on failure.
::testing::AssertionResult HrEquals(const char* expectedText, const char* actualText, HRESULT expected,
                                    HRESULT actual);
#define EXPECT_HR(expected, actual) EXPECT_PRED_FORMAT2(HrEquals, expected, actual)
#define ASSERT_HR(expected, actual) ASSERT_PRED_FORMAT2(HrEquals, expected, actual)

// The directory of the running test program, where verprobe.dll and the stand-in
// components are built (with a trailing backslash).
std::string TestDirectory();

// BSTR to ANSI text, for comparisons.
std::string Narrow(BSTR text);

// verprobe.dll loaded from the test directory, without any registration.
class VerprobeDll {
public:
    VerprobeDll();
    HRESULT GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const;
    HRESULT CanUnloadNow() const;
    // A new object through the class factory.
    scoped::ComPtr<IVerprobe> CreateObject() const;

private:
    scoped::Module m_module;
    HRESULT(STDAPICALLTYPE* m_pGetClassObject)(REFCLSID, REFIID, void**) = nullptr;
    HRESULT(STDAPICALLTYPE* m_pCanUnloadNow)() = nullptr;
};

// A stand-in component registered for the life of the object: HKCR\<progId>\CLSID
// and HKCR\CLSID\{clsid}, both deleted again at the end.
class TestComponent {
public:
    TestComponent(std::string progId, std::string clsid);
    ~TestComponent();
    TestComponent(const TestComponent&) = delete;
    TestComponent& operator=(const TestComponent&) = delete;

    // The InprocServer32 default value as exactly these bytes of this type.
    void SetInprocServerValue(DWORD type, const std::string& bytes);
    // A REG_SZ path to a file in the test directory.
    void SetInprocServerFile(const std::string& fileName);
    // A key without the default value, or only a local server.
    void SetEmptyInprocServerKey();
    void SetLocalServerOnly(const std::string& fileName);

private:
    scoped::RegKey CreateClassSubkey(const char* name);

    std::string m_progId;
    std::string m_clsid;
};
