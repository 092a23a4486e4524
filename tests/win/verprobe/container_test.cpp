// In-place activation in a minimal container: the calls the control makes on
// its site, its own window, and the text it paints there.
#include "test_container.h"
#include "vp_test_support.h"

namespace {

using Calls = std::vector<std::string>;

// One container window serves every test: creating and destroying top-level
// windows is slow under Wine.
class ContainerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { s_container = new CTestContainer({0, 0, 400, 300}, {40, 30, 340, 230}); }
    static void TearDownTestSuite()
    {
        delete s_container;
        s_container = nullptr;
    }

    void SetUp() override
    {
        m_container.TakeCalls();
        m_container.RefuseActivation(false);
        ASSERT_HR(S_OK, ::CoInitialize(nullptr));
        scoped::ComPtr<IVerprobe> object = m_dll.CreateObject();
        ASSERT_TRUE(object);
        ASSERT_HR(S_OK, object->QueryInterface(IID_IOleObject, m_object.put_void()));
        ASSERT_HR(S_OK, object->QueryInterface(IID_IOleInPlaceObject, m_inPlace.put_void()));
        ASSERT_HR(S_OK, m_object->SetClientSite(&m_container));
    }
    void TearDown() override
    {
        if (m_object) {
            EXPECT_HR(S_OK, m_object->Close(OLECLOSE_NOSAVE));
            EXPECT_HR(S_OK, m_object->SetClientSite(nullptr));
        }
        m_inPlace.reset();
        m_object.reset();
        EXPECT_EQ(1u, m_container.References()) << "the control kept a reference to its container";
        ::CoUninitialize();
    }

    HRESULT DoVerb(LONG verb)
    {
        RECT position = m_container.ControlRect();
        return m_object->DoVerb(verb, nullptr, &m_container, 0, m_container.Window(), &position);
    }

    HWND ControlWindow()
    {
        HWND window = nullptr;
        m_inPlace->GetWindow(&window);
        return window;
    }

    static CTestContainer* s_container;
    VerprobeDll m_dll;
    CTestContainer& m_container = *s_container;
    scoped::ComPtr<IOleObject> m_object;
    scoped::ComPtr<IOleInPlaceObject> m_inPlace;
};

CTestContainer* ContainerTest::s_container;

TEST_F(ContainerTest, ActivatesInPlaceInAChildWindowAtTheSitesRectangle)
{
    ASSERT_HR(S_OK, DoVerb(OLEIVERB_INPLACEACTIVATE));
    EXPECT_EQ((Calls{"CanInPlaceActivate", "OnInPlaceActivate", "GetWindowContext", "GetWindow", "ShowObject"}),
              m_container.TakeCalls());

    HWND window = ControlWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(m_container.Window(), ::GetParent(window));
    EXPECT_TRUE(::IsWindowVisible(window));
    RECT placed;
    ::GetWindowRect(window, &placed);
    ::MapWindowPoints(nullptr, m_container.Window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(::EqualRect(&placed, &m_container.ControlRect()));

    ASSERT_HR(S_OK, m_inPlace->InPlaceDeactivate());
    EXPECT_EQ((Calls{"OnInPlaceDeactivate"}), m_container.TakeCalls());
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(ContainerTest, PaintsItsTextCentredOnTheBaselineAtTheCentre)
{
    ASSERT_HR(S_OK, DoVerb(OLEIVERB_INPLACEACTIVATE));
    PumpMessages();
    const RECT ink = InkBounds(ControlWindow());
    ASSERT_FALSE(::IsRectEmpty(&ink)) << "nothing was drawn";
    const RECT& bounds = m_container.ControlRect();
    const LONG centreX = (bounds.right - bounds.left) / 2;
    const LONG centreY = (bounds.bottom - bounds.top) / 2;
    // Centred horizontally; "ATL 7.0" has no descenders, so its ink ends on the baseline.
    EXPECT_NEAR(centreX, (ink.left + ink.right) / 2, 2);
    EXPECT_NEAR(centreY, ink.bottom, 1);
    EXPECT_GT(ink.right - ink.left, 20) << "narrower than seven characters";
    EXPECT_LT(ink.bottom - ink.top, 40);
}

TEST_F(ContainerTest, UiActivationMakesItTheFramesActiveObjectUntilDeactivated)
{
    ASSERT_HR(S_OK, DoVerb(OLEIVERB_INPLACEACTIVATE));
    m_container.TakeCalls();
    ASSERT_HR(S_OK, DoVerb(OLEIVERB_UIACTIVATE));
    EXPECT_EQ((Calls{"OnUIActivate", "SetActiveObject(object)", "SetBorderSpace", "ShowObject"}),
              m_container.TakeCalls());
    scoped::ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_HR(S_OK, m_object->QueryInterface(IID_IOleInPlaceActiveObject, active.put_void()));
    EXPECT_EQ(active.get(), m_container.ActiveObject());
    EXPECT_HR(S_FALSE, active->TranslateAccelerator(nullptr));

    ASSERT_HR(S_OK, m_inPlace->UIDeactivate());
    EXPECT_EQ((Calls{"SetActiveObject(null)", "OnUIDeactivate"}), m_container.TakeCalls());
    EXPECT_EQ(nullptr, m_container.ActiveObject());
    EXPECT_TRUE(::IsWindow(ControlWindow()));
}

TEST_F(ContainerTest, FollowsNewRectanglesAndHidesOnRequest)
{
    ASSERT_HR(S_OK, DoVerb(OLEIVERB_SHOW));
    HWND window = ControlWindow();
    RECT moved = {10, 20, 110, 70};
    ASSERT_HR(S_OK, m_inPlace->SetObjectRects(&moved, &moved));
    RECT placed;
    ::GetWindowRect(window, &placed);
    ::MapWindowPoints(nullptr, m_container.Window(), reinterpret_cast<POINT*>(&placed), 2);
    EXPECT_TRUE(::EqualRect(&placed, &moved));
    EXPECT_HR(E_POINTER, m_inPlace->SetObjectRects(nullptr, &moved));

    ASSERT_HR(S_OK, DoVerb(OLEIVERB_HIDE));
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(nullptr, m_container.ActiveObject());
}

TEST_F(ContainerTest, SiteThatRefusesActivationGetsNoWindow)
{
    m_container.RefuseActivation(true);
    EXPECT_HR(E_FAIL, DoVerb(OLEIVERB_INPLACEACTIVATE));
    EXPECT_EQ((Calls{"CanInPlaceActivate"}), m_container.TakeCalls());
    EXPECT_EQ(nullptr, ControlWindow());
}

TEST_F(ContainerTest, HandsBackItsClientSite)
{
    scoped::ComPtr<IOleClientSite> site;
    ASSERT_HR(S_OK, m_object->GetClientSite(site.put()));
    EXPECT_EQ(static_cast<IOleClientSite*>(&m_container), site.get());
}

} // namespace
