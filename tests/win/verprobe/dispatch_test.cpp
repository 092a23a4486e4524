// The automation surface as script engines use it: name lookup, Invoke's
// argument and error rules, and the type information from the DLL itself.
#include "vp_test_support.h"

#include <algorithm>
#include <vector>

namespace {

constexpr char kProductText[] = "7.1 build 22 (beta)";

class DispatchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_HR(S_OK, ::CoInitialize(nullptr));
        scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
        ASSERT_TRUE(object);
        ASSERT_HR(S_OK, object->QueryInterface(IID_IDispatch, m_dispatch.put_void()));
        m_component.SetInprocServerFile("product_text.dll");
        m_number.SetInprocServerFile("second_translation.dll");
        m_bare.SetInprocServerFile("no_version.dll");
        ::VariantInit(&m_result);
    }
    void TearDown() override
    {
        ::VariantClear(&m_result);
        m_dispatch.reset();
        ::CoUninitialize();
    }

    // Invoke with the arguments in script order (DISPPARAMS holds them reversed).
    HRESULT Call(DISPID id, std::initializer_list<VARIANT> arguments, WORD flags = DISPATCH_METHOD)
    {
        std::vector<VARIANT> reversed(arguments.begin(), arguments.end());
        std::reverse(reversed.begin(), reversed.end());
        DISPPARAMS params = {reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
        ::VariantClear(&m_result);
        m_argError = 99;
        return m_dispatch->Invoke(id, IID_NULL, 0, flags, &params, &m_result, nullptr, &m_argError);
    }

    // A BSTR argument; the fixture frees it at the end.
    VARIANT Text(const wchar_t* text)
    {
        m_texts.emplace_back(::SysAllocString(text));
        VARIANT v;
        V_VT(&v) = VT_BSTR;
        V_BSTR(&v) = m_texts.back().get();
        return v;
    }
    static VARIANT Number(LONG value)
    {
        VARIANT v;
        V_VT(&v) = VT_I4;
        V_I4(&v) = value;
        return v;
    }

    std::string ResultText() const { return V_VT(&m_result) == VT_BSTR ? Narrow(V_BSTR(&m_result)) : "<not a BSTR>"; }

    VerprobeDll m_dll;
    scoped::ComPtr<IDispatch> m_dispatch;
    TestComponent m_component{"VerprobeTest.Component", "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D01}"};
    TestComponent m_number{"4242", "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D03}"};
    TestComponent m_bare{"VerprobeTest.Bare", "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D04}"};
    std::vector<scoped::Bstr> m_texts;
    VARIANT m_result;
    UINT m_argError = 99;
};

TEST_F(DispatchTest, NamesResolveInAnyLetterCase)
{
    const struct {
        const wchar_t* name;
        DISPID id;
    } cases[] = {
        {L"Version", 1}, {L"VERSION", 1}, {L"version", 1}, {L"get_Version", 1}, {L"GET_VERSION", 1},
        {L"SpecificVersion", 2}, {L"specificVERSION", 2}, {L"get_SpecificVersion", 2}, {L"Get_specificversion", 2},
    };
    for (const auto& c : cases) {
        LPOLESTR name = const_cast<LPOLESTR>(c.name);
        DISPID id = 77;
        EXPECT_HR(S_OK, m_dispatch->GetIDsOfNames(IID_NULL, &name, 1, 0x409, &id));
        EXPECT_EQ(c.id, id) << Narrow(name);
    }
}

TEST_F(DispatchTest, OneUnknownNameFailsTheWholeLookup)
{
    LPOLESTR names[] = {const_cast<LPOLESTR>(L"Version"), const_cast<LPOLESTR>(L"Versions"),
                        const_cast<LPOLESTR>(L"SpecificVersion")};
    DISPID ids[3] = {77, 77, 77};
    EXPECT_HR(DISP_E_UNKNOWNNAME, m_dispatch->GetIDsOfNames(IID_NULL, names, 3, 0x409, ids));
    EXPECT_EQ(1, ids[0]);
    EXPECT_EQ(DISPID_UNKNOWN, ids[1]);
    EXPECT_EQ(2, ids[2]);
}

TEST_F(DispatchTest, PropertiesAnswerAsPropertyOrMethodAlike)
{
    TestComponent lumetra("Lumetra.Presentation", "{5A1C0E37-9B42-4D68-8E15-3F7B2A6C9D02}");
    lumetra.SetInprocServerFile("product_text.dll");
    for (WORD flags : {WORD(DISPATCH_PROPERTYGET), WORD(DISPATCH_METHOD), WORD(DISPATCH_PROPERTYPUT), WORD(0)}) {
        EXPECT_HR(S_OK, Call(1, {}, flags));
        EXPECT_EQ(kProductText, ResultText());
        EXPECT_HR(S_OK, Call(2, {Text(L"VerprobeTest.Component")}, flags));
        EXPECT_EQ(kProductText, ResultText());
    }
}

TEST_F(DispatchTest, ArgumentIsConvertedToTextFollowingReferences)
{
    EXPECT_HR(S_OK, Call(2, {Number(4242)}));
    EXPECT_EQ("second", ResultText());

    BSTR progId = ::SysAllocString(L"VerprobeTest.Component");
    VARIANT byRefText;
    V_VT(&byRefText) = VT_BYREF | VT_BSTR;
    V_BSTRREF(&byRefText) = &progId;
    EXPECT_HR(S_OK, Call(2, {byRefText}));
    EXPECT_EQ(kProductText, ResultText());

    VARIANT inner = Number(4242);
    VARIANT byRefVariant;
    V_VT(&byRefVariant) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&byRefVariant) = &inner;
    EXPECT_HR(S_OK, Call(2, {byRefVariant}));
    EXPECT_EQ("second", ResultText());
    ::SysFreeString(progId);
}

TEST_F(DispatchTest, UnconvertibleArgumentIsATypeMismatchAtIndexZero)
{
    VARIANT null;
    V_VT(&null) = VT_NULL;
    EXPECT_HR(DISP_E_TYPEMISMATCH, Call(2, {null}));
    EXPECT_EQ(0u, m_argError);

    SAFEARRAY* array = ::SafeArrayCreateVector(VT_I4, 0, 2);
    VARIANT list;
    V_VT(&list) = VT_ARRAY | VT_I4;
    V_ARRAY(&list) = array;
    EXPECT_HR(DISP_E_TYPEMISMATCH, Call(2, {list}));
    EXPECT_EQ(0u, m_argError);
    ::SafeArrayDestroy(array);
}

TEST_F(DispatchTest, ResultIsAlwaysABstrAfterTheCall)
{
    EXPECT_HR(CO_E_CLASSSTRING, Call(2, {Text(L"VerprobeTest.NotRegistered")}));
    EXPECT_EQ(VT_BSTR, V_VT(&m_result));
    EXPECT_EQ(nullptr, V_BSTR(&m_result));

    EXPECT_HR(S_OK, Call(2, {Text(L"VerprobeTest.Bare")}));
    EXPECT_EQ(VT_BSTR, V_VT(&m_result));
    EXPECT_EQ(nullptr, V_BSTR(&m_result));

    VARIANT argument = Text(L"VerprobeTest.Component");
    DISPPARAMS params = {&argument, nullptr, 1, 0};
    EXPECT_HR(S_OK, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr));
}

TEST_F(DispatchTest, ErrorCodesInTheirOrder)
{
    EXPECT_HR(DISP_E_BADVARTYPE, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, nullptr, &m_result, nullptr, nullptr));

    // Too many arguments is found before the result is touched.
    V_VT(&m_result) = VT_I4;
    VARIANT three[3] = {Number(1), Number(2), Number(3)};
    DISPPARAMS params = {three, nullptr, 3, 0};
    EXPECT_HR(DISP_E_BADPARAMCOUNT, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, &m_result, nullptr, nullptr));
    EXPECT_EQ(VT_I4, V_VT(&m_result));

    // A named argument other than the property-put one; the result is emptied first.
    DISPID named = 5;
    VARIANT one = Text(L"VerprobeTest.Component");
    params = {&one, &named, 1, 1};
    V_VT(&m_result) = VT_I4;
    EXPECT_HR(DISP_E_NONAMEDARGS, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, &m_result, nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&m_result));
    DISPID two[2] = {DISPID_PROPERTYPUT, DISPID_PROPERTYPUT};
    VARIANT pair[2] = {one, one};
    params = {pair, two, 2, 2};
    EXPECT_HR(DISP_E_NONAMEDARGS, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_METHOD, &params, &m_result, nullptr, nullptr));

    named = DISPID_PROPERTYPUT;
    params = {&one, &named, 1, 1};
    EXPECT_HR(S_OK, m_dispatch->Invoke(2, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, &m_result, nullptr, nullptr));
    EXPECT_EQ(kProductText, ResultText());

    EXPECT_HR(DISP_E_BADPARAMCOUNT, Call(1, {Number(1)}));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, Call(2, {}));
    EXPECT_HR(DISP_E_BADPARAMCOUNT, Call(2, {Text(L"VerprobeTest.Component"), Text(L"x")}));
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, Call(3, {}));
    EXPECT_HR(DISP_E_MEMBERNOTFOUND, Call(DISPID_VALUE, {}));
}

TEST_F(DispatchTest, TypeInformationComesFromTheDllsOwnLibrary)
{
    UINT count = 7;
    EXPECT_HR(S_OK, m_dispatch->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);

    scoped::ComPtr<ITypeInfo> info;
    ITypeInfo* untouched = reinterpret_cast<ITypeInfo*>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(DISP_E_BADINDEX, m_dispatch->GetTypeInfo(1, 0x409, &untouched));
    EXPECT_EQ(nullptr, untouched);
    ASSERT_HR(S_OK, m_dispatch->GetTypeInfo(0, 0x409, info.put()));

    TYPEATTR* attributes = nullptr;
    ASSERT_HR(S_OK, info->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(IID_IVerprobe, attributes->guid));
    info->ReleaseTypeAttr(attributes);
    LPOLESTR name = const_cast<LPOLESTR>(L"SpecificVersion");
    MEMBERID id = 0;
    EXPECT_HR(S_OK, info->GetIDsOfNames(&name, 1, &id));
    EXPECT_EQ(2, id);

    scoped::ComPtr<ITypeLib> library;
    UINT index = 0;
    ASSERT_HR(S_OK, info->GetContainingTypeLib(library.put(), &index));
    TLIBATTR* libraryAttributes = nullptr;
    ASSERT_HR(S_OK, library->GetLibAttr(&libraryAttributes));
    EXPECT_TRUE(IsEqualGUID(LIBID_Verprobe, libraryAttributes->guid));
    EXPECT_EQ(1, libraryAttributes->wMajorVerNum);
    EXPECT_EQ(0, libraryAttributes->wMinorVerNum);
    EXPECT_EQ(0x409u, libraryAttributes->lcid);
    library->ReleaseTLibAttr(libraryAttributes);

    scoped::ComPtr<IProvideClassInfo> classInfo;
    ASSERT_HR(S_OK, m_dispatch->QueryInterface(IID_IProvideClassInfo, classInfo.put_void()));
    scoped::ComPtr<ITypeInfo> coclass;
    ASSERT_HR(S_OK, classInfo->GetClassInfo(coclass.put()));
    ASSERT_HR(S_OK, coclass->GetTypeAttr(&attributes));
    EXPECT_TRUE(IsEqualGUID(CLSID_CVerprobeObj, attributes->guid));
    EXPECT_EQ(TKIND_COCLASS, attributes->typekind);
    EXPECT_EQ(2, attributes->wMajorVerNum);
    coclass->ReleaseTypeAttr(attributes);
}

} // namespace
