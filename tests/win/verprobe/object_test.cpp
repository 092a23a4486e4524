// The COM object's identity and lifetime: the interfaces it answers to and
// refuses, IObjectSafety, the class factory, aggregation and DllCanUnloadNow.
#include "vp_test_support.h"

#include <objsafe.h>
#include <ocidl.h>

#include <cstring>

namespace {

class ObjectTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_HR(S_OK, ::CoInitialize(nullptr)); }
    void TearDown() override { ::CoUninitialize(); }

    VerprobeDll m_dll;
};

scoped::ComPtr<IUnknown> Identity(IUnknown* any)
{
    scoped::ComPtr<IUnknown> identity;
    any->QueryInterface(IID_IUnknown, identity.put_void());
    return identity;
}

TEST_F(ObjectTest, AnswersToItsInterfacesWithOneIdentity)
{
    scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
    ASSERT_TRUE(object);
    const scoped::ComPtr<IUnknown> identity = Identity(object.get());
    const IID* answered[] = {&IID_IUnknown, &IID_IVerprobe, &IID_IDispatch, &IID_IOleControl, &IID_IOleObject,
                             &IID_IOleInPlaceActiveObject, &IID_IOleWindow, &IID_IOleInPlaceObjectWindowless,
                             &IID_IOleInPlaceObject, &IID_IObjectSafety, &IID_IProvideClassInfo};
    for (const IID* iid : answered) {
        scoped::ComPtr<IUnknown> found;
        ASSERT_HR(S_OK, object->QueryInterface(*iid, found.put_void()));
        EXPECT_EQ(identity.get(), Identity(found.get()).get());
    }
}

TEST_F(ObjectTest, RefusesPersistenceViewAndOtherControlInterfaces)
{
    scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
    ASSERT_TRUE(object);
    const IID* refused[] = {&IID_IPersist, &IID_IPersistStreamInit, &IID_IPersistStorage, &IID_IPersistPropertyBag,
                            &IID_IViewObject, &IID_IViewObject2, &IID_IViewObjectEx, &IID_IDataObject,
                            &IID_IConnectionPointContainer, &IID_IQuickActivate, &IID_ISpecifyPropertyPages,
                            &IID_IProvideClassInfo2, &IID_IOleCache, &IID_IRunnableObject, &IID_IClassFactory};
    for (const IID* iid : refused) {
        void* found = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5a5a));
        EXPECT_HR(E_NOINTERFACE, object->QueryInterface(*iid, &found));
        EXPECT_EQ(nullptr, found);
    }
    EXPECT_HR(E_POINTER, object->QueryInterface(IID_IDispatch, nullptr));
}

TEST_F(ObjectTest, SafetyOptionsGetAndSet)
{
    scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
    ASSERT_TRUE(object);
    scoped::ComPtr<IObjectSafety> safety;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IObjectSafety, safety.put_void()));
    DWORD supported = 0xff;
    DWORD enabled = 0xff;

    EXPECT_HR(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled));
    EXPECT_HR(E_POINTER, safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, nullptr));
    EXPECT_HR(E_NOINTERFACE, safety->GetInterfaceSafetyOptions(IID_IPersistStreamInit, &supported, &enabled));
    EXPECT_EQ(0u, supported);
    EXPECT_EQ(0u, enabled);
    EXPECT_HR(S_OK, safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled));
    EXPECT_EQ(3u, supported);
    EXPECT_EQ(0u, enabled);

    EXPECT_HR(E_NOINTERFACE, safety->SetInterfaceSafetyOptions(IID_IPersistStreamInit, 1, 1));
    EXPECT_HR(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IDispatch, 4, 4));
    EXPECT_HR(E_FAIL, safety->SetInterfaceSafetyOptions(IID_IDispatch, 7, 1));

    const struct {
        DWORD mask;
        DWORD requested;
        DWORD after;
    } steps[] = {{3, 1, 1}, {2, 3, 3}, {1, 0, 2}, {0, 3, 2}, {3, 0, 0}};
    for (const auto& step : steps) {
        EXPECT_HR(S_OK, safety->SetInterfaceSafetyOptions(IID_IVerprobe, step.mask, step.requested));
        EXPECT_HR(S_OK, safety->GetInterfaceSafetyOptions(IID_IOleObject, &supported, &enabled));
        EXPECT_EQ(step.after, enabled) << "mask " << step.mask << " requested " << step.requested;
    }
}

TEST_F(ObjectTest, ClassFactoryIsSharedAndServesOnlyItsClass)
{
    void* factory = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(CLASS_E_CLASSNOTAVAILABLE, m_dll.GetClassObject(IID_IVerprobe, IID_IClassFactory, &factory));
    EXPECT_EQ(nullptr, factory);
    EXPECT_HR(E_POINTER, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, nullptr));

    scoped::ComPtr<IClassFactory> first;
    scoped::ComPtr<IClassFactory> second;
    ASSERT_HR(S_OK, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, first.put_void()));
    ASSERT_HR(S_OK, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IUnknown, second.put_void()));
    EXPECT_EQ(static_cast<IUnknown*>(first.get()), static_cast<IUnknown*>(second.get()));
    EXPECT_HR(E_NOINTERFACE, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IDispatch, &factory));

    scoped::ComPtr<IOleObject> object;
    EXPECT_HR(S_OK, first->CreateInstance(nullptr, IID_IOleObject, object.put_void()));
    void* refused = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(E_NOINTERFACE, first->CreateInstance(nullptr, IID_IPersistStreamInit, &refused));
    EXPECT_EQ(nullptr, refused);
}

// An outer object that counts its references and answers one private IID itself.
class OuterObject : public IUnknown {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override
    {
        ++m_queries;
        if (riid == IID_IUnknown) {
            *ppv = this;
            AddRef();
            return S_OK;
        }
        if (m_pInner)
            return m_pInner->QueryInterface(riid, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refCount; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refCount; }

    IUnknown* m_pInner = nullptr;
    ULONG m_refCount = 1;
    int m_queries = 0;
};

TEST_F(ObjectTest, AggregationOnlyThroughIUnknown)
{
    scoped::ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, factory.put_void()));
    OuterObject outer;
    void* refused = reinterpret_cast<void*>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IVerprobe, &refused));
    EXPECT_EQ(nullptr, refused);
    EXPECT_HR(CLASS_E_NOAGGREGATION, factory->CreateInstance(&outer, IID_IDispatch, &refused));

    scoped::ComPtr<IUnknown> inner;
    ASSERT_HR(S_OK, factory->CreateInstance(&outer, IID_IUnknown, inner.put_void()));
    EXPECT_EQ(1u, outer.m_refCount) << "the inner object must not hold its outer";
    outer.m_pInner = inner.get();

    // Interfaces of the inner object count on, and ask, the outer object.
    scoped::ComPtr<IVerprobe> verprobe;
    ASSERT_HR(S_OK, inner->QueryInterface(IID_IVerprobe, verprobe.put_void()));
    const ULONG before = outer.m_refCount;
    verprobe->AddRef();
    EXPECT_EQ(before + 1, outer.m_refCount);
    verprobe->Release();
    const int queries = outer.m_queries;
    scoped::ComPtr<IUnknown> identity;
    ASSERT_HR(S_OK, verprobe->QueryInterface(IID_IUnknown, identity.put_void()));
    EXPECT_EQ(static_cast<IUnknown*>(&outer), identity.get());
    EXPECT_EQ(queries + 1, outer.m_queries);
    identity.reset();
    // The outer releases its own reference after taking an inner interface.
    outer.Release();
    verprobe.reset();
    outer.m_pInner = nullptr;
}

TEST_F(ObjectTest, CanUnloadOnlyWithoutObjectsLocksOrHeldFactories)
{
    EXPECT_HR(S_OK, m_dll.CanUnloadNow());
    scoped::ComPtr<IClassFactory> factory;
    ASSERT_HR(S_OK, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, factory.put_void()));
    EXPECT_HR(S_FALSE, m_dll.CanUnloadNow());

    scoped::ComPtr<IVerprobe> object;
    ASSERT_HR(S_OK, factory->CreateInstance(nullptr, IID_IVerprobe, object.put_void()));
    ASSERT_HR(S_OK, factory->LockServer(TRUE));
    factory.reset();
    EXPECT_HR(S_FALSE, m_dll.CanUnloadNow());
    object.reset();
    EXPECT_HR(S_FALSE, m_dll.CanUnloadNow());

    ASSERT_HR(S_OK, m_dll.GetClassObject(CLSID_CVerprobeObj, IID_IClassFactory, factory.put_void()));
    ASSERT_HR(S_OK, factory->LockServer(FALSE));
    factory.reset();
    EXPECT_HR(S_OK, m_dll.CanUnloadNow());
}

TEST_F(ObjectTest, OleObjectBasicsNeedNoContainer)
{
    scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
    ASSERT_TRUE(object);
    scoped::ComPtr<IOleObject> ole;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IOleObject, ole.put_void()));

    CLSID clsid = {};
    EXPECT_HR(S_OK, ole->GetUserClassID(&clsid));
    EXPECT_TRUE(IsEqualGUID(CLSID_CVerprobeObj, clsid));
    SIZEL extent = {};
    EXPECT_HR(S_OK, ole->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(5080, extent.cx);
    SIZEL wanted = {1234, 567};
    EXPECT_HR(S_OK, ole->SetExtent(DVASPECT_CONTENT, &wanted));
    EXPECT_HR(DV_E_DVASPECT, ole->SetExtent(DVASPECT_ICON, &wanted));
    EXPECT_HR(S_OK, ole->GetExtent(DVASPECT_CONTENT, &extent));
    EXPECT_EQ(1234, extent.cx);
    EXPECT_EQ(567, extent.cy);

    IOleClientSite* site = reinterpret_cast<IOleClientSite*>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(S_OK, ole->GetClientSite(&site));
    EXPECT_EQ(nullptr, site);
    EXPECT_HR(E_UNEXPECTED, ole->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, nullptr, 0, nullptr, nullptr));

    scoped::ComPtr<IOleWindow> window;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IOleWindow, window.put_void()));
    HWND hwnd = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5a5a));
    EXPECT_HR(E_FAIL, window->GetWindow(&hwnd));
    EXPECT_EQ(nullptr, hwnd);

    scoped::ComPtr<IOleControl> control;
    ASSERT_HR(S_OK, object->QueryInterface(IID_IOleControl, control.put_void()));
    CONTROLINFO info;
    std::memset(&info, 0x5a, sizeof info);
    EXPECT_HR(S_OK, control->GetControlInfo(&info));
    EXPECT_EQ(sizeof info, info.cb);
    EXPECT_EQ(0, info.cAccel);
    EXPECT_EQ(nullptr, info.hAccel);
    EXPECT_HR(S_OK, ole->Close(OLECLOSE_NOSAVE));
}

} // namespace
