#include "verprobe_obj.h"

#include "control_window.h"
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

template <typename T>
void Keep(scoped::ComPtr<T>& holder, T* pointer)
{
    if (pointer)
        pointer->AddRef();
    *holder.put() = pointer;
}

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
    *pctinfo = SUCCEEDED(module::LoadOwnTypeInfo(IID_IVerprobe, typeInfo.put())) ? 1 : 0;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetTypeInfo(UINT iTInfo, LCID, ITypeInfo** ppTInfo)
{
    if (!ppTInfo)
        return E_POINTER;
    *ppTInfo = nullptr;
    if (iTInfo != 0)
        return DISP_E_BADINDEX;
    return module::LoadOwnTypeInfo(IID_IVerprobe, ppTInfo);
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
    return module::LoadOwnTypeInfo(CLSID_CVerprobeObj, ppTI);
}

// ---- IOleObject

STDMETHODIMP CVerprobeObj::SetClientSite(IOleClientSite* pClientSite)
{
    Keep(m_pClientSite, pClientSite);
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetClientSite(IOleClientSite** ppClientSite)
{
    if (!ppClientSite)
        return E_POINTER;
    *ppClientSite = m_pClientSite.get();
    if (*ppClientSite)
        (*ppClientSite)->AddRef();
    return S_OK;
}

STDMETHODIMP CVerprobeObj::SetHostNames(LPCOLESTR, LPCOLESTR)
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::Close(DWORD)
{
    InPlaceDeactivate();
    if (m_pAdviseHolder)
        m_pAdviseHolder->SendOnClose();
    return S_OK;
}

STDMETHODIMP CVerprobeObj::SetMoniker(DWORD, IMoniker*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (!ppmk)
        return E_POINTER;
    *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::InitFromData(IDataObject*, BOOL, DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::GetClipboardData(DWORD, IDataObject** ppDataObject)
{
    if (!ppDataObject)
        return E_POINTER;
    *ppDataObject = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::DoVerb(LONG iVerb, LPMSG, IOleClientSite* pActiveSite, LONG, HWND, LPCRECT)
{
    switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_UIACTIVATE:
        return ActivateInPlace(true, pActiveSite);
    case OLEIVERB_INPLACEACTIVATE:
        return ActivateInPlace(false, pActiveSite);
    case OLEIVERB_HIDE:
        UIDeactivate();
        if (m_hWnd)
            ::ShowWindow(m_hWnd, SW_HIDE);
        return S_OK;
    case OLEIVERB_DISCARDUNDOSTATE:
        return S_OK;
    default:
        if (iVerb > 0) {
            // Unknown positive verbs act as the primary one.
            const HRESULT hr = ActivateInPlace(true, pActiveSite);
            return SUCCEEDED(hr) ? OLEOBJ_S_INVALIDVERB : hr;
        }
        return E_NOTIMPL;
    }
}

STDMETHODIMP CVerprobeObj::EnumVerbs(IEnumOLEVERB** ppEnumOleVerb)
{
    if (!ppEnumOleVerb)
        return E_POINTER;
    *ppEnumOleVerb = nullptr;
    return ::OleRegEnumVerbs(CLSID_CVerprobeObj, ppEnumOleVerb);
}

STDMETHODIMP CVerprobeObj::Update()
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::IsUpToDate()
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetUserClassID(CLSID* pClsid)
{
    if (!pClsid)
        return E_POINTER;
    *pClsid = CLSID_CVerprobeObj;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType)
{
    if (!pszUserType)
        return E_POINTER;
    *pszUserType = nullptr;
    return ::OleRegGetUserType(CLSID_CVerprobeObj, dwFormOfType, pszUserType);
}

STDMETHODIMP CVerprobeObj::SetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (dwDrawAspect != DVASPECT_CONTENT)
        return DV_E_DVASPECT;
    if (!psizel)
        return E_POINTER;
    m_sizeExtent = *psizel;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::GetExtent(DWORD dwDrawAspect, SIZEL* psizel)
{
    if (!psizel)
        return E_POINTER;
    if (dwDrawAspect != DVASPECT_CONTENT) {
        *psizel = {};
        return DV_E_DVASPECT;
    }
    *psizel = m_sizeExtent;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection)
{
    if (!pdwConnection)
        return E_POINTER;
    *pdwConnection = 0;
    if (!m_pAdviseHolder) {
        const HRESULT hr = ::CreateOleAdviseHolder(m_pAdviseHolder.put());
        if (FAILED(hr))
            return hr;
    }
    return m_pAdviseHolder->Advise(pAdvSink, pdwConnection);
}

STDMETHODIMP CVerprobeObj::Unadvise(DWORD dwConnection)
{
    return m_pAdviseHolder ? m_pAdviseHolder->Unadvise(dwConnection) : OLE_E_NOCONNECTION;
}

STDMETHODIMP CVerprobeObj::EnumAdvise(IEnumSTATDATA** ppenumAdvise)
{
    if (!ppenumAdvise)
        return E_POINTER;
    *ppenumAdvise = nullptr;
    return m_pAdviseHolder ? m_pAdviseHolder->EnumAdvise(ppenumAdvise) : E_FAIL;
}

STDMETHODIMP CVerprobeObj::GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus)
{
    if (!pdwStatus)
        return E_POINTER;
    *pdwStatus = 0;
    return ::OleRegGetMiscStatus(CLSID_CVerprobeObj, dwAspect, pdwStatus);
}

STDMETHODIMP CVerprobeObj::SetColorScheme(LOGPALETTE*)
{
    return E_NOTIMPL;
}

// ---- in-place activation. The control has no view interface for a windowless
// container to draw it through, so it always takes a window of its own.

HRESULT CVerprobeObj::ActivateInPlace(bool uiActivate, IOleClientSite* pActiveSite)
{
    if (!m_pClientSite)
        Keep(m_pClientSite, pActiveSite);
    if (!m_pClientSite)
        return E_UNEXPECTED;

    if (!m_pInPlaceSite) {
        scoped::ComPtr<IOleInPlaceSite> site;
        HRESULT hr = m_pClientSite->QueryInterface(IID_IOleInPlaceSite, site.put_void());
        if (FAILED(hr))
            return hr;
        hr = site->CanInPlaceActivate();
        if (hr != S_OK)
            return FAILED(hr) ? hr : E_FAIL;
        hr = site->OnInPlaceActivate();
        if (FAILED(hr))
            return hr;

        scoped::ComPtr<IOleInPlaceFrame> frame;
        scoped::ComPtr<IOleInPlaceUIWindow> document;
        RECT position = {};
        RECT clip = {};
        OLEINPLACEFRAMEINFO frameInfo = {};
        frameInfo.cb = sizeof frameInfo;
        HWND parent = nullptr;
        hr = site->GetWindowContext(frame.put(), document.put(), &position, &clip, &frameInfo);
        if (SUCCEEDED(hr))
            hr = site->GetWindow(&parent);
        if (SUCCEEDED(hr)) {
            m_hWnd = CreateControlWindow(parent, position, clip);
            if (!m_hWnd)
                hr = E_FAIL;
        }
        if (FAILED(hr)) {
            site->OnInPlaceDeactivate();
            return hr;
        }
        m_pInPlaceSite = std::move(site);
        m_pInPlaceFrame = std::move(frame);
        m_pInPlaceDocument = std::move(document);
    }

    ::ShowWindow(m_hWnd, SW_SHOWNA);
    if (uiActivate && !m_bUIActive) {
        m_bUIActive = true;
        m_pInPlaceSite->OnUIActivate();
        ::SetFocus(m_hWnd);
        IOleInPlaceActiveObject* active = this;
        if (m_pInPlaceFrame) {
            m_pInPlaceFrame->SetActiveObject(active, nullptr);
            m_pInPlaceFrame->SetBorderSpace(nullptr);
        }
        if (m_pInPlaceDocument) {
            m_pInPlaceDocument->SetActiveObject(active, nullptr);
            m_pInPlaceDocument->SetBorderSpace(nullptr);
        }
    }
    m_pClientSite->ShowObject();
    return S_OK;
}

// ---- IOleWindow

STDMETHODIMP CVerprobeObj::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_hWnd;
    return m_hWnd ? S_OK : E_FAIL;
}

STDMETHODIMP CVerprobeObj::ContextSensitiveHelp(BOOL)
{
    return E_NOTIMPL;
}

// ---- IOleInPlaceObject, IOleInPlaceObjectWindowless

STDMETHODIMP CVerprobeObj::InPlaceDeactivate()
{
    if (!m_pInPlaceSite)
        return S_OK;
    UIDeactivate();
    if (m_hWnd)
        ::DestroyWindow(std::exchange(m_hWnd, nullptr));
    m_pInPlaceFrame.reset();
    m_pInPlaceDocument.reset();
    scoped::ComPtr<IOleInPlaceSite> site = std::move(m_pInPlaceSite);
    site->OnInPlaceDeactivate();
    return S_OK;
}

STDMETHODIMP CVerprobeObj::UIDeactivate()
{
    if (!m_bUIActive)
        return S_OK;
    m_bUIActive = false;
    if (m_pInPlaceFrame)
        m_pInPlaceFrame->SetActiveObject(nullptr, nullptr);
    if (m_pInPlaceDocument)
        m_pInPlaceDocument->SetActiveObject(nullptr, nullptr);
    m_pInPlaceSite->OnUIDeactivate(FALSE);
    return S_OK;
}

STDMETHODIMP CVerprobeObj::SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect)
{
    if (!lprcPosRect || !lprcClipRect)
        return E_POINTER;
    if (m_hWnd)
        PlaceControlWindow(m_hWnd, *lprcPosRect, *lprcClipRect);
    return S_OK;
}

STDMETHODIMP CVerprobeObj::ReactivateAndUndo()
{
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT* plResult)
{
    // Never windowless: the container has no messages to forward.
    if (plResult)
        *plResult = 0;
    return S_FALSE;
}

STDMETHODIMP CVerprobeObj::GetDropTarget(IDropTarget** ppDropTarget)
{
    if (!ppDropTarget)
        return E_POINTER;
    *ppDropTarget = nullptr;
    return E_NOTIMPL;
}

// ---- IOleInPlaceActiveObject: no accelerators, menus or tool space.

STDMETHODIMP CVerprobeObj::TranslateAccelerator(LPMSG)
{
    return S_FALSE;
}

STDMETHODIMP CVerprobeObj::OnFrameWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::OnDocWindowActivate(BOOL)
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL)
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::EnableModeless(BOOL)
{
    return S_OK;
}

// ---- IOleControl

STDMETHODIMP CVerprobeObj::GetControlInfo(CONTROLINFO* pCI)
{
    if (!pCI)
        return E_POINTER;
    pCI->cb = sizeof *pCI;
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

STDMETHODIMP CVerprobeObj::OnMnemonic(MSG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CVerprobeObj::OnAmbientPropertyChange(DISPID)
{
    return S_OK;
}

STDMETHODIMP CVerprobeObj::FreezeEvents(BOOL)
{
    return S_OK;
}
