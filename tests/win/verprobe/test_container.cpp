#include "test_container.h"

#include <algorithm>
#include <utility>

namespace {

constexpr char kClassName[] = "VerprobeTestContainer";

void EnsureClassRegistered()
{
    WNDCLASSA existing;
    if (::GetClassInfoA(::GetModuleHandleA(nullptr), kClassName, &existing))
        return;
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = ::DefWindowProcA;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.hbrBackground = static_cast<HBRUSH>(::GetStockObject(GRAY_BRUSH));
    windowClass.lpszClassName = kClassName;
    ::RegisterClassA(&windowClass);
}

} // namespace

CTestContainer::CTestContainer(const RECT& windowRect, const RECT& controlRect) : m_controlRect(controlRect)
{
    EnsureClassRegistered();
    m_window = ::CreateWindowExA(WS_EX_TOOLWINDOW, kClassName, "verprobe container", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN,
                                 windowRect.left, windowRect.top, windowRect.right - windowRect.left,
                                 windowRect.bottom - windowRect.top, nullptr, nullptr, ::GetModuleHandleA(nullptr),
                                 nullptr);
    PumpMessages();
}

CTestContainer::~CTestContainer()
{
    ::DestroyWindow(m_window);
}

std::vector<std::string> CTestContainer::TakeCalls()
{
    return std::exchange(m_calls, {});
}

HRESULT CTestContainer::Record(const char* call)
{
    m_calls.emplace_back(call);
    return S_OK;
}

STDMETHODIMP CTestContainer::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceFrame || riid == IID_IOleInPlaceUIWindow)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP CTestContainer::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP CTestContainer::GetContainer(IOleContainer** ppContainer)
{
    *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP CTestContainer::GetWindow(HWND* phwnd)
{
    Record("GetWindow");
    *phwnd = m_window;
    return S_OK;
}

STDMETHODIMP CTestContainer::CanInPlaceActivate()
{
    Record("CanInPlaceActivate");
    return m_refuseActivation ? S_FALSE : S_OK;
}

STDMETHODIMP CTestContainer::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                              LPRECT lprcPosRect, LPRECT lprcClipRect,
                                              LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    Record("GetWindowContext");
    *ppFrame = this;
    AddRef();
    *ppDoc = nullptr;
    *lprcPosRect = m_controlRect;
    *lprcClipRect = m_controlRect;
    lpFrameInfo->fMDIApp = FALSE;
    lpFrameInfo->hwndFrame = m_window;
    lpFrameInfo->haccel = nullptr;
    lpFrameInfo->cAccelEntries = 0;
    return S_OK;
}

STDMETHODIMP CTestContainer::SetActiveObject(IOleInPlaceActiveObject* pActiveObject, LPCOLESTR)
{
    Record(pActiveObject ? "SetActiveObject(object)" : "SetActiveObject(null)");
    if (pActiveObject)
        pActiveObject->AddRef();
    *m_pActiveObject.put() = pActiveObject;
    return S_OK;
}

void PumpMessages()
{
    MSG message;
    while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&message);
        ::DispatchMessageA(&message);
    }
}

RECT InkBounds(HWND window)
{
    RECT client;
    ::GetClientRect(window, &client);
    const int width = client.right;
    const int height = client.bottom;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;   // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    scoped::GdiObject bitmap(::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    RECT ink = {width, height, 0, 0};
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    ::ReleaseDC(nullptr, screen);
    if (bitmap && dc) {
        HGDIOBJ previous = ::SelectObject(dc, bitmap.get());
        ::PatBlt(dc, 0, 0, width, height, WHITENESS);
        ::SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
        ::GdiFlush();
        const auto* pixels = static_cast<const DWORD*>(bits);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const DWORD pixel = pixels[y * width + x];
                if ((pixel & 0xff) < 0x80 && ((pixel >> 8) & 0xff) < 0x80 && ((pixel >> 16) & 0xff) < 0x80) {
                    ink.left = std::min<LONG>(ink.left, x);
                    ink.top = std::min<LONG>(ink.top, y);
                    ink.right = std::max<LONG>(ink.right, x + 1);
                    ink.bottom = std::max<LONG>(ink.bottom, y + 1);
                }
            }
        }
        ::SelectObject(dc, previous);
    }
    if (dc)
        ::DeleteDC(dc);
    if (ink.right <= ink.left)
        ::SetRectEmpty(&ink);
    return ink;
}
