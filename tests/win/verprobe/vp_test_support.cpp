#include "vp_test_support.h"

#include <shlwapi.h>

#include <cstdio>
#include <stdexcept>

::testing::AssertionResult HrEquals(const char* expectedText, const char* actualText, HRESULT expected,
                                    HRESULT actual)
{
    if (expected == actual)
        return ::testing::AssertionSuccess();
    char message[160];
    std::snprintf(message, sizeof message, "%s is 0x%08lx, expected %s = 0x%08lx", actualText,
                  static_cast<unsigned long>(actual), expectedText, static_cast<unsigned long>(expected));
    return ::testing::AssertionFailure() << message;
}

std::string TestDirectory()
{
    char path[MAX_PATH];
    const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string directory(path, length);
    return directory.substr(0, directory.find_last_of('\\') + 1);
}

std::string Narrow(BSTR text)
{
    if (!text)
        return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, ::SysStringLen(text), nullptr, 0, nullptr, nullptr);
    std::string narrow(length, '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, ::SysStringLen(text), narrow.data(), length, nullptr, nullptr);
    return narrow;
}

VerprobeDll::VerprobeDll() : m_module(::LoadLibraryA((TestDirectory() + "verprobe.dll").c_str()))
{
    if (!m_module)
        throw std::runtime_error("verprobe.dll did not load");
    m_pGetClassObject = reinterpret_cast<decltype(m_pGetClassObject)>(
        reinterpret_cast<void*>(::GetProcAddress(m_module.get(), "DllGetClassObject")));
    m_pCanUnloadNow = reinterpret_cast<decltype(m_pCanUnloadNow)>(
        reinterpret_cast<void*>(::GetProcAddress(m_module.get(), "DllCanUnloadNow")));
    if (!m_pGetClassObject || !m_pCanUnloadNow)
        throw std::runtime_error("verprobe.dll lacks its exports");
}

HRESULT VerprobeDll::GetClassObject(REFCLSID clsid, REFIID riid, void** ppv) const
{
    return m_pGetClassObject(clsid, riid, ppv);
}

HRESULT VerprobeDll::CanUnloadNow() const
{
    return m_pCanUnloadNow();
}

scoped::ComPtr<IVerprobe> VerprobeDll::CreateObject() const
{
    scoped::ComPtr<IClassFactory> factory;
    scoped::ComPtr<IVerprobe> object;
    if (SUCCEEDED(GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, factory.put_void())))
        factory->CreateInstance(nullptr, IID_IVerprobe, object.put_void());
    return object;
}

TestComponent::TestComponent(std::string progId, std::string clsid)
    : m_progId(std::move(progId)), m_clsid(std::move(clsid))
{
    scoped::RegKey key;
    ::RegCreateKeyExA(HKEY_CLASSES_ROOT, (m_progId + "\\CLSID").c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                      key.put(), nullptr);
    ::RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_clsid.c_str()),
                     static_cast<DWORD>(m_clsid.size() + 1));
    CreateClassSubkey(nullptr);
}

TestComponent::~TestComponent()
{
    ::SHDeleteKeyA(HKEY_CLASSES_ROOT, m_progId.c_str());
    ::SHDeleteKeyA(HKEY_CLASSES_ROOT, ("CLSID\\" + m_clsid).c_str());
}

scoped::RegKey TestComponent::CreateClassSubkey(const char* name)
{
    std::string path = "CLSID\\" + m_clsid;
    if (name)
        path += std::string("\\") + name;
    scoped::RegKey key;
    ::RegCreateKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr);
    return key;
}

void TestComponent::SetInprocServerValue(DWORD type, const std::string& bytes)
{
    scoped::RegKey key = CreateClassSubkey("InprocServer32");
    ASSERT_EQ(ERROR_SUCCESS, ::RegSetValueExA(key.get(), nullptr, 0, type,
                                              reinterpret_cast<const BYTE*>(bytes.data()),
                                              static_cast<DWORD>(bytes.size())));
}

void TestComponent::SetInprocServerFile(const std::string& fileName)
{
    const std::string path = TestDirectory() + fileName;
    SetInprocServerValue(REG_SZ, std::string(path.c_str(), path.size() + 1));
}

void TestComponent::SetEmptyInprocServerKey()
{
    CreateClassSubkey("InprocServer32");
}

void TestComponent::SetLocalServerOnly(const std::string& fileName)
{
    scoped::RegKey key = CreateClassSubkey("LocalServer32");
    const std::string path = TestDirectory() + fileName;
    ::RegSetValueExA(key.get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>(path.size() + 1));
}
