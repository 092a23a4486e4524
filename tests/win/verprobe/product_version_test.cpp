// SpecificVersion and Version through the vtable, one case per row of the
// lookup's outcomes, against stand-in components with crafted version resources.
#include "vp_test_support.h"

#include <vector>

namespace {

constexpr char kProductText[] = "7.1 build 22 (beta)";
constexpr char kComponentClsid[] = "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D01}";
const BSTR kNotTouched = reinterpret_cast<BSTR>(static_cast<INT_PTR>(0x5a5a));

class ProductVersionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HR(S_OK, ::CoInitialize(nullptr));
        m_object = m_dll.CreateObject();
        ASSERT_TRUE(m_object);
    }
    void TearDown() override
    {
        m_object.reset();
        ::CoUninitialize();
    }

    // SpecificVersion for progId; the text lands in m_text, m_null says whether it was null.
    HRESULT Ask(const wchar_t* progId)
    {
        scoped::Bstr name(progId ? ::SysAllocString(progId) : nullptr);
        BSTR result = kNotTouched;
        const HRESULT hr = m_object->get_SpecificVersion(name.get(), &result);
        EXPECT_NE(kNotTouched, result) << "the output was left uninitialised";
        if (result == kNotTouched)
            result = nullptr;
        m_null = result == nullptr;
        m_text = Narrow(result);
        ::SysFreeString(result);
        return hr;
    }

    VerprobeDll m_dll;
    scoped::ComPtr<IVerprobe> m_object;
    TestComponent m_component{"VerprobeTest.Component", kComponentClsid};
    std::string m_text;
    bool m_null = false;
};

TEST_F(ProductVersionTest, NullOutputIsEPointerForBothProperties)
{
    scoped::Bstr name(::SysAllocString(L"VerprobeTest.Component"));
    EXPECT_HR(E_POINTER, m_object->get_SpecificVersion(name.get(), nullptr));
    EXPECT_HR(E_POINTER, m_object->get_Version(nullptr));
}

TEST_F(ProductVersionTest, UnregisteredOrMalformedProgIdPassesTheLookupFailureOn)
{
    for (const wchar_t* progId : {L"VerprobeTest.NotRegistered", L"", L"{not a progid", static_cast<const wchar_t*>(nullptr)}) {
        scoped::Bstr name(progId ? ::SysAllocString(progId) : nullptr);
        CLSID ignored;
        const HRESULT expected = ::CLSIDFromProgID(name.get(), &ignored);
        ASSERT_TRUE(FAILED(expected));
        EXPECT_HR(expected, Ask(progId));
        EXPECT_TRUE(m_null);
    }
    EXPECT_HR(CO_E_CLASSSTRING, Ask(L"VerprobeTest.NotRegistered"));
}

TEST_F(ProductVersionTest, ReturnsTheProductVersionTextNotTheFileVersion)
{
    m_component.SetInprocServerFile("product_text.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_EQ(kProductText, m_text);
}

TEST_F(ProductVersionTest, FirstTranslationCarryingProductVersionWins)
{
    m_component.SetInprocServerFile("second_translation.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_EQ("second", m_text);
}

TEST_F(ProductVersionTest, EmptyProductVersionIsAnEmptyStringNotNull)
{
    m_component.SetInprocServerFile("empty_product_version.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_FALSE(m_null);
    EXPECT_EQ("", m_text);
}

TEST_F(ProductVersionTest, RegisteredWithoutVersionInformationIsSuccessWithNull)
{
    for (const char* file : {"no_version.dll", "no_translation.dll", "missing_component.dll"}) {
        SCOPED_TRACE(file);
        m_component.SetInprocServerFile(file);
        EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
        EXPECT_TRUE(m_null);
    }
}

TEST_F(ProductVersionTest, TranslationTableIsReadOnlyAsFarAsTheVersionResourceGoes)
{
    // The fixture really makes the claim: its table says it is longer than its whole file's
    // version information.
    const std::string path = TestDirectory() + "overlong_translation.dll";
    DWORD ignored = 0;
    std::vector<BYTE> block(::GetFileVersionInfoSizeA(path.c_str(), &ignored));
    ASSERT_FALSE(block.empty());
    ASSERT_TRUE(::GetFileVersionInfoA(path.c_str(), 0, DWORD(block.size()), block.data()));
    void* table = nullptr;
    UINT claimed = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &table, &claimed));
    ASSERT_GT(claimed, block.size());

    // Its one real entry has no strings: a registered component without a version.
    m_component.SetInprocServerFile("overlong_translation.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);
}

TEST_F(ProductVersionTest, NoUsableInprocServerValueIsEFail)
{
    m_component.SetLocalServerOnly("product_text.dll");
    EXPECT_HR(E_FAIL, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);

    m_component.SetEmptyInprocServerKey();
    EXPECT_HR(E_FAIL, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);
}

TEST_F(ProductVersionTest, ValueThatDoesNotFitTheBufferIsEFail)
{
    // Longer than 260 bytes with its terminator, and exactly 260 bytes with none:
    // neither leaves room to end the path inside the buffer.
    m_component.SetInprocServerValue(REG_SZ, std::string(300, 'a') + '\0');
    EXPECT_HR(E_FAIL, Ask(L"VerprobeTest.Component"));
    m_component.SetInprocServerValue(REG_SZ, std::string(260, 'b'));
    EXPECT_HR(E_FAIL, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);

    // 259 characters and the terminator fit; no such file.
    m_component.SetInprocServerValue(REG_SZ, std::string(259, 'c') + '\0');
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);
}

TEST_F(ProductVersionTest, ValueTypeIsNotTestedAndTheBytesAreTerminatedInside)
{
    m_component.SetInprocServerValue(REG_BINARY, TestDirectory() + "product_text.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_EQ(kProductText, m_text);
}

TEST_F(ProductVersionTest, ExpandableValueIsNotExpanded)
{
    ::SetEnvironmentVariableA("VERPROBE_TEST_DIR", TestDirectory().c_str());
    const std::string unexpanded = "%VERPROBE_TEST_DIR%product_text.dll";
    m_component.SetInprocServerValue(REG_EXPAND_SZ, std::string(unexpanded.c_str(), unexpanded.size() + 1));
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_TRUE(m_null);
}

TEST_F(ProductVersionTest, EveryCallReadsTheRegistryAfresh)
{
    m_component.SetInprocServerFile("product_text.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_EQ(kProductText, m_text);
    m_component.SetInprocServerFile("second_translation.dll");
    EXPECT_HR(S_OK, Ask(L"VerprobeTest.Component"));
    EXPECT_EQ("second", m_text);
}

TEST_F(ProductVersionTest, VersionAsksAboutLumetraPresentation)
{
    BSTR result = kNotTouched;
    EXPECT_HR(CO_E_CLASSSTRING, m_object->get_Version(&result));
    EXPECT_EQ(nullptr, result);

    TestComponent lumetra("Lumetra.Presentation", "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D02}");
    lumetra.SetInprocServerFile("product_text.dll");
    ASSERT_HR(S_OK, m_object->get_Version(&result));
    EXPECT_EQ(kProductText, Narrow(result));
    ::SysFreeString(result);
}

} // namespace
