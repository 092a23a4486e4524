// A minimal OLE container for one control: a top-level window acting as client
// site, in-place site and frame, recording the calls the control makes on it.
#pragma once

#include "scoped_win.h"

#include <ocidl.h>
#include <oleidl.h>

#include <string>
#include <vector>

class CTestContainer final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame {
public:
    // The window at windowRect (screen), the control's place inside it (client coordinates).
    CTestContainer(const RECT& windowRect, const RECT& controlRect);
    ~CTestContainer();
    CTestContainer(const CTestContainer&) = delete;
    CTestContainer& operator=(const CTestContainer&) = delete;

    HWND Window() const { return m_window; }
    const RECT& ControlRect() const { return m_controlRect; }
    // The calls made so far, taken and cleared.
    std::vector<std::string> TakeCalls();
    IOleInPlaceActiveObject* ActiveObject() const { return m_pActiveObject.get(); }
    ULONG References() const { return m_refCount; }
    void RefuseActivation(bool refuse) { m_refuseActivation = refuse; }

    // IUnknown: the test owns the object; the count only shows leaks.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refCount; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refCount; }

    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override { return Record("ShowObject"); }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

    // IOleWindow
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override;
    STDMETHODIMP OnInPlaceActivate() override { return Record("OnInPlaceActivate"); }
    STDMETHODIMP OnUIActivate() override { return Record("OnUIActivate"); }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                  LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return Record("OnUIDeactivate"); }
    STDMETHODIMP OnInPlaceDeactivate() override { return Record("OnInPlaceDeactivate"); }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

    // IOleInPlaceUIWindow, IOleInPlaceFrame
    STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return Record("SetBorderSpace"); }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR) override;
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    HRESULT Record(const char* call);

    HWND m_window = nullptr;
    RECT m_controlRect;
    ULONG m_refCount = 1;
    bool m_refuseActivation = false;
    std::vector<std::string> m_calls;
    scoped::ComPtr<IOleInPlaceActiveObject> m_pActiveObject;
};

// Pumps the thread's messages until none are left.
void PumpMessages();

// The bounding box (client coordinates) of what window paints, through
// WM_PRINTCLIENT, darker than mid-grey onto white; empty when nothing is drawn.
RECT InkBounds(HWND window);
