#include "class_factory.h"

#include "module.h"
#include "verprobe_obj.h"

namespace {

// One factory for the module's whole life, static like its code: a client's reference
// keeps the module loaded as an object would.
class CVerprobeFactory final : public IClassFactory {
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
        module::Lock();
        return 2;
    }

    STDMETHODIMP_(ULONG) Release() override
    {
        module::Unlock();
        return 1;
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
};

CVerprobeFactory g_factory;

} // namespace

HRESULT GetVerprobeClassObject(REFIID riid, void** ppv)
{
    return g_factory.QueryInterface(riid, ppv);
}
