// CVerprobeObj as an OLE control: the object, its in-place activation in a window of its
// own, and the control interface.
#include "verprobe_obj.h"

#include "control_window.h"

namespace {

template <typename T>
void Keep(scoped::ComPtr<T>& holder, T* pointer)
{
    if (pointer)
        pointer->AddRef();
    *holder.put() = pointer;
}

} // namespace

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
