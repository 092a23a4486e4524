#include "class_factory.h"

#include "heap_allocated.h"
#include "module.h"
#include "verprobe_obj.h"

#include <new>
#include <utility>

namespace {

// The module's cache holds one reference; every further reference, taken by a
// client, keeps the module loaded like an object would.
class CVerprobeFactory final : public IClassFactory, public HeapAllocated {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IClassFactory) {
            *ppv = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }

    STDMETHODIMP_(ULONG) AddRef() override
    {
        const LONG count = ::InterlockedIncrement(&m_refCount);
        if (count == 2)
            module::Lock();
        return count;
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        const LONG count = ::InterlockedDecrement(&m_refCount);
        if (count == 1)
            module::Unlock();
        else if (count == 0)
            delete this;
        return count;
    }

    STDMETHODIMP CreateInstance(IUnknown* pUnkOuter, REFIID riid, void** ppv) override
    {
        if (!ppv)
            return E_POINTER;
        *ppv = nullptr;
        if (pUnkOuter && riid != IID_IUnknown)
            return CLASS_E_NOAGGREGATION;
        return CVerprobeObj::Create(pUnkOuter, riid, ppv);
    }

    STDMETHODIMP LockServer(BOOL fLock) override
    {
        if (fLock)
            module::Lock();
        else
            module::Unlock();
        return S_OK;
    }

private:
    LONG m_refCount = 1;   // the module's cache
};

CVerprobeFactory* g_pFactory;

} // namespace

HRESULT GetVerprobeClassObject(REFIID riid, void** ppv)
{
    module::CriticalSectionLock lock;
    if (!g_pFactory)
        g_pFactory = new (std::nothrow) CVerprobeFactory;
    if (!g_pFactory)
        return E_OUTOFMEMORY;
    return g_pFactory->QueryInterface(riid, ppv);
}

void ReleaseVerprobeClassObject()
{
    if (g_pFactory)
        std::exchange(g_pFactory, nullptr)->Release();
}
