// CVerprobeObj: the scriptable control that reports the ProductVersion of the
// component registered for a ProgID, and the container-facing interfaces of a
// control that activates in place in a window of its own.
#pragma once

#include "heap_allocated.h"
#include "scoped_win.h"
#include "verprobe_idl.h"

#include <objsafe.h>
#include <ocidl.h>
#include <oleidl.h>

class CVerprobeObj final
    : public IVerprobe
    , public IObjectSafety
    , public IProvideClassInfo
    , public IOleObject
    , public IOleInPlaceObjectWindowless
    , public IOleInPlaceActiveObject
    , public IOleControl
    , public HeapAllocated {
public:
    // The class factory's CreateInstance; pUnkOuter non-null means aggregation
    // (the caller has checked that riid is IUnknown then).
    static HRESULT Create(IUnknown* pUnkOuter, REFIID riid, void** ppv);

    CVerprobeObj(const CVerprobeObj&) = delete;
    CVerprobeObj& operator=(const CVerprobeObj&) = delete;

    // IUnknown: every interface delegates to the controlling unknown.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                        VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

    // IVerprobe
    STDMETHODIMP get_Version(BSTR* pVal) override;
    STDMETHODIMP get_SpecificVersion(BSTR bstrProgId, BSTR* pVal) override;

    // IObjectSafety
    STDMETHODIMP GetInterfaceSafetyOptions(REFIID riid, DWORD* pdwSupportedOptions,
                                           DWORD* pdwEnabledOptions) override;
    STDMETHODIMP SetInterfaceSafetyOptions(REFIID riid, DWORD dwOptionSetMask, DWORD dwEnabledOptions) override;

    // IProvideClassInfo
    STDMETHODIMP GetClassInfo(ITypeInfo** ppTI) override;

    // IOleObject
    STDMETHODIMP SetClientSite(IOleClientSite* pClientSite) override;
    STDMETHODIMP GetClientSite(IOleClientSite** ppClientSite) override;
    STDMETHODIMP SetHostNames(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) override;
    STDMETHODIMP Close(DWORD dwSaveOption) override;
    STDMETHODIMP SetMoniker(DWORD dwWhichMoniker, IMoniker* pmk) override;
    STDMETHODIMP GetMoniker(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) override;
    STDMETHODIMP InitFromData(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) override;
    STDMETHODIMP GetClipboardData(DWORD dwReserved, IDataObject** ppDataObject) override;
    STDMETHODIMP DoVerb(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                        LPCRECT lprcPosRect) override;
    STDMETHODIMP EnumVerbs(IEnumOLEVERB** ppEnumOleVerb) override;
    STDMETHODIMP Update() override;
    STDMETHODIMP IsUpToDate() override;
    STDMETHODIMP GetUserClassID(CLSID* pClsid) override;
    STDMETHODIMP GetUserType(DWORD dwFormOfType, LPOLESTR* pszUserType) override;
    STDMETHODIMP SetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP GetExtent(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHODIMP Advise(IAdviseSink* pAdvSink, DWORD* pdwConnection) override;
    STDMETHODIMP Unadvise(DWORD dwConnection) override;
    STDMETHODIMP EnumAdvise(IEnumSTATDATA** ppenumAdvise) override;
    STDMETHODIMP GetMiscStatus(DWORD dwAspect, DWORD* pdwStatus) override;
    STDMETHODIMP SetColorScheme(LOGPALETTE* pLogpal) override;

    // IOleWindow (shared by the in-place object and the active object)
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL fEnterMode) override;

    // IOleInPlaceObject, IOleInPlaceObjectWindowless
    STDMETHODIMP InPlaceDeactivate() override;
    STDMETHODIMP UIDeactivate() override;
    STDMETHODIMP SetObjectRects(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    STDMETHODIMP ReactivateAndUndo() override;
    STDMETHODIMP OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* plResult) override;
    STDMETHODIMP GetDropTarget(IDropTarget** ppDropTarget) override;

    // IOleInPlaceActiveObject
    STDMETHODIMP TranslateAccelerator(LPMSG lpmsg) override;
    STDMETHODIMP OnFrameWindowActivate(BOOL fActivate) override;
    STDMETHODIMP OnDocWindowActivate(BOOL fActivate) override;
    STDMETHODIMP ResizeBorder(LPCRECT prcBorder, IOleInPlaceUIWindow* pUIWindow, BOOL fFrameWindow) override;
    STDMETHODIMP EnableModeless(BOOL fEnable) override;

    // IOleControl
    STDMETHODIMP GetControlInfo(CONTROLINFO* pCI) override;
    STDMETHODIMP OnMnemonic(MSG* pMsg) override;
    STDMETHODIMP OnAmbientPropertyChange(DISPID dispID) override;
    STDMETHODIMP FreezeEvents(BOOL bFreeze) override;

private:
    // The object's own identity, which never delegates (needed for aggregation).
    class CInnerUnknown final : public IUnknown {
    public:
        explicit CInnerUnknown(CVerprobeObj& owner) : m_owner(owner) {}
        STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
        STDMETHODIMP_(ULONG) AddRef() override;
        STDMETHODIMP_(ULONG) Release() override;

    private:
        CVerprobeObj& m_owner;
    };

    explicit CVerprobeObj(IUnknown* pUnkOuter);
    ~CVerprobeObj();

    HRESULT ActivateInPlace(bool uiActivate, IOleClientSite* pActiveSite);

    CInnerUnknown m_innerUnknown{*this};
    IUnknown* m_pControllingUnknown;   // the outer object, or m_innerUnknown
    LONG m_refCount = 0;
    DWORD m_dwCurrentSafety = 0;

    // Container state, held only while a container uses the object.
    scoped::ComPtr<IOleClientSite> m_pClientSite;
    scoped::ComPtr<IOleAdviseHolder> m_pAdviseHolder;
    scoped::ComPtr<IOleInPlaceSite> m_pInPlaceSite;
    scoped::ComPtr<IOleInPlaceFrame> m_pInPlaceFrame;
    scoped::ComPtr<IOleInPlaceUIWindow> m_pInPlaceDocument;
    HWND m_hWnd = nullptr;
    bool m_bUIActive = false;
    SIZEL m_sizeExtent;
};
