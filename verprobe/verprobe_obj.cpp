#include "verprobe_obj.h"

#include "module.h"
#include "product_version.h"

#include <cwchar>
#include <new>
#include <utility>

namespace {

constexpr wchar_t kDefaultProgId[] = L"Lumetra.Presentation";
constexpr DWORD kSupportedSafety = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
constexpr DISPID kDispidVersion = 1;
constexpr DISPID kDispidSpecificVersion = 2;
constexpr LONG kHimetricPerInch = 2540;

struct DispatchName {
    const wchar_t* name;
    DISPID id;
};

// Script callers may write the property names in any letter case, or name the accessors.
constexpr DispatchName kDispatchNames[] = {
    {L"Version", kDispidVersion},
    {L"get_Version", kDispidVersion},
    {L"SpecificVersion", kDispidSpecificVersion},
    {L"get_SpecificVersion", kDispidSpecificVersion},
};

template <typename Interface, typename Via = Interface>
IUnknown* As(CVerprobeObj* object)
{
    return static_cast<Interface*>(static_cast<Via*>(object));
}

struct InterfaceEntry {
    const IID* iid;
    IUnknown* (*cast)(CVerprobeObj*);
};

const InterfaceEntry kInterfaces[] = {
    {&IID_IVerprobe, As<IVerprobe>},
    {&IID_IDispatch, As<IDispatch, IVerprobe>},
    {&IID_IOleControl, As<IOleControl>},
    {&IID_IOleObject, As<IOleObject>},
    {&IID_IOleInPlaceActiveObject, As<IOleInPlaceActiveObject>},
    {&IID_IOleWindow, As<IOleWindow, IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceObjectWindowless, As<IOleInPlaceObjectWindowless>},
    {&IID_IOleInPlaceObject, As<IOleInPlaceObject, IOleInPlaceObjectWindowless>},
    {&IID_IObjectSafety, As<IObjectSafety>},
    {&IID_IProvideClassInfo, As<IProvideClassInfo>},
};

// A by-reference variant is followed; anything the platform cannot turn into
// text is a type mismatch.
HRESULT ArgumentAsString(const VARIANT& argument, VARIANT& text)
{
    const VARIANT* source = &argument;
    if (V_VT(source) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(source))
        source = V_VARIANTREF(source);
    return ::VariantChangeType(&text, const_cast<VARIANT*>(source), 0, VT_BSTR);
}

bool OnlyPropertyPutNamed(const DISPPARAMS& params)
{
    return params.cNamedArgs == 0
           || (params.cNamedArgs == 1 && params.rgdispidNamedArgs
               && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT);
}

} // namespace

// ---- lifetime and identity

HRESULT CVerprobeObj::Create(IUnknown* pUnkOuter, REFIID riid, void** ppv)
{
    CVerprobeObj* object = new (std::nothrow) CVerprobeObj(pUnkOuter);
    if (!object)
        return E_OUTOFMEMORY;
    // The inner unknown's reference is the caller's; a refused interface frees the object.
    object->m_innerUnknown.AddRef();
    const HRESULT hr = object->m_innerUnknown.QueryInterface(riid, ppv);
    object->m_innerUnknown.Release();
    return hr;
}

CVerprobeObj::CVerprobeObj(IUnknown* pUnkOuter)
    : m_pControllingUnknown(pUnkOuter ? pUnkOuter : &m_innerUnknown)
    , m_sizeExtent{2 * kHimetricPerInch, 2 * kHimetricPerInch}
{
    module::Lock();
}

CVerprobeObj::~CVerprobeObj()
{
    // A container that let go without deactivating leaves the window behind.
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
    module::Unlock();
}

STDMETHODIMP CVerprobeObj::CInnerUnknown::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    *ppv = nullptr;
    IUnknown* found = nullptr;
    if (riid == IID_IUnknown) {
        found = this;
    } else {
        for (const InterfaceEntry& entry : kInterfaces) {
            if (riid == *entry.iid) {
                found = entry.cast(&m_owner);
                break;
            }
        }
    }
    if (!found)
        return E_NOINTERFACE;
    found->AddRef();
    *ppv = found;
    return S_OK;
}

STDMETHODIMP_(ULONG) CVerprobeObj::CInnerUnknown::AddRef()
{
    return ::InterlockedIncrement(&m_owner.m_refCount);
}

STDMETHODIMP_(ULONG) CVerprobeObj::CInnerUnknown::Release()
{
    const LONG count = ::InterlockedDecrement(&m_owner.m_refCount);
    if (count == 0)
        delete &m_owner;
    return count;
}

STDMETHODIMP CVerprobeObj::QueryInterface(REFIID riid, void** ppv)
{
    return m_pControllingUnknown->QueryInterface(riid, ppv);
}

STDMETHODIMP_(ULONG) CVerprobeObj::AddRef()
{
    return m_pControllingUnknown->AddRef();
}

STDMETHODIMP_(ULONG) CVerprobeObj::Release()
{
    return m_pControllingUnknown->Release();
}

// ---- IVerprobe

STDMETHODIMP CVerprobeObj::get_Version(BSTR* pVal)
{
    scoped::Bstr progId(::SysAllocString(kDefaultProgId));
    if (!progId)
        return E_OUTOFMEMORY;
    // Through the interface, so that the lookup has one way in.
    return static_cast<IVerprobe*>(this)->get_SpecificVersion(progId.get(), pVal);
}

STDMETHODIMP CVerprobeObj::get_SpecificVersion(BSTR bstrProgId, BSTR* pVal)
{
    if (!pVal)
        return E_POINTER;
    *pVal = nullptr;
    CLSID clsid;
    const HRESULT hr = ::CLSIDFromProgID(bstrProgId, &clsid);
    if (FAILED(hr))
        return hr;
    return LookUpProductVersion(clsid, pVal);
}

// ---- IDispatch

STDMETHODIMP CVerprobeObj::GetTypeInfoCount(UINT* pctinfo)
{
    if (!pctinfo)
        return E_POINTER;
    scoped::ComPtr<ITypeInfo> typeInfo;
    *pctinfo = SUCCEEDED(module::OwnTypeInfo(IID_IVerprobe, typeInfo.put())) ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo)
{
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return module::OwnTypeInfo(IID_IVerprobe, ppTInfo);
}

STDMETHODIMP CVerprobeObj::GetIDsOfNames(REFIID, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId)
{
    if (cNames && (!rgszNames || !rgDispId))
        return E_POINTER;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < cNames; ++i) {
        rgDispId[i] = DISPID_UNKNOWN;
        for (const DispatchName& known : kDispatchNames) {
            if (rgszNames[i] && _wcsicmp(rgszNames[i], known.name) == 0) {
                rgDispId[i] = known.id;
                break;
            }
        }
        if (rgDispId[i] == DISPID_UNKNOWN)
            hr = DISP_E_UNKNOWNNAME;
    }
    return hr;
}

// The invocation flags are not looked at: scripts may read either property as a
// property or call it as a method.
STDMETHODIMP CVerprobeObj::Invoke(DISPID dispIdMember, REFIID, LCID, WORD, DISPPARAMS* pDispParams,
                                  VARIANT* pVarResult, EXCEPINFO*, UINT* puArgErr)
{
    if (!pDispParams)
        return DISP_E_BADVARTYPE;
    if (pDispParams->cArgs >= 3)
        return DISP_E_BADPARAMCOUNT;
    if (pVarResult)
        ::VariantInit(pVarResult);
    if (!OnlyPropertyPutNamed(*pDispParams))
        return DISP_E_NONAMEDARGS;
    if (pDispParams->cArgs && !pDispParams->rgvarg)
        return E_INVALIDARG;

    BSTR result = nullptr;
    HRESULT hr;
    if (dispIdMember == kDispidVersion && pDispParams->cArgs == 0) {
        hr = get_Version(&result);
    } else if (dispIdMember == kDispidSpecificVersion && pDispParams->cArgs == 1) {
        VARIANT progId;
        ::VariantInit(&progId);
        if (FAILED(ArgumentAsString(pDispParams->rgvarg[0], progId))) {
            if (puArgErr)
                *puArgErr = 0;
            return DISP_E_TYPEMISMATCH;
        }
        hr = get_SpecificVersion(V_BSTR(&progId), &result);
        ::VariantClear(&progId);
    } else if (dispIdMember == kDispidVersion || dispIdMember == kDispidSpecificVersion) {
        return DISP_E_BADPARAMCOUNT;
    } else {
        return DISP_E_MEMBERNOTFOUND;
    }

    if (pVarResult) {
        V_VT(pVarResult) = VT_BSTR;
        V_BSTR(pVarResult) = result;
    } else {
        ::SysFreeString(result);
    }
    return hr;
}

// ---- IObjectSafety: both options are supported for every interface the object has.

STDMETHODIMP CVerprobeObj::GetInterfaceSafetyOptions(REFIID riid, DWORD* pdwSupportedOptions,
                                                     DWORD* pdwEnabledOptions)
{
    if (!pdwSupportedOptions || !pdwEnabledOptions)
        return E_POINTER;
    scoped::ComPtr<IUnknown> probe;
    const HRESULT hr = m_innerUnknown.QueryInterface(riid, probe.put_void());
    if (FAILED(hr)) {
        *pdwSupportedOptions = 0;
        *pdwEnabledOptions = 0;
        return hr;
    }
    *pdwSupportedOptions = kSupportedSafety;
    *pdwEnabledOptions = m_dwCurrentSafety;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::SetInterfaceSafetyOptions(REFIID riid, DWORD dwOptionSetMask, DWORD dwEnabledOptions)
{
    scoped::ComPtr<IUnknown> probe;
    if (FAILED(m_innerUnknown.QueryInterface(riid, probe.put_void())))
        return E_NOINTERFACE;
    if (dwOptionSetMask & ~kSupportedSafety)
        return E_FAIL;
    m_dwCurrentSafety = (m_dwCurrentSafety & ~dwOptionSetMask) | (dwEnabledOptions & dwOptionSetMask);
    return S_OK;
}

// ---- IProvideClassInfo

STDMETHODIMP CVerprobeObj::GetClassInfo(ITypeInfo** ppTI)
{
    return module::OwnTypeInfo(CLSID_CVerprobeObj, ppTI);
}
