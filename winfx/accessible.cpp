#include "winfx/accessible.h"

#include "winfx/late_library.h"

#include "scoped_win.h"

#include <oleacc.h>

#include <utility>

namespace {

struct OleaccApi {
    static constexpr char kFileName[] = "oleacc.dll";

    decltype(&::CreateStdAccessibleObject) CreateStdAccessibleObject = nullptr;
    decltype(&::LresultFromObject) LresultFromObject = nullptr;

    bool Bind(LateLibrary& library)
    {
        return library.Bind(CreateStdAccessibleObject, "CreateStdAccessibleObject") &&
               library.Bind(LresultFromObject, "LresultFromObject");
    }
};

struct OleAutomationApi {
    static constexpr char kFileName[] = "oleaut32.dll";

    decltype(&::SysAllocStringLen) SysAllocStringLen = nullptr;

    bool Bind(LateLibrary& library) { return library.Bind(SysAllocStringLen, "SysAllocStringLen"); }
};

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// Stands in for the system's object, answering from the description where it has an answer.
// It holds the window's handle only: a client may keep it after the window is gone.
class AccessibleOverride final : public IAccessible {
public:
    AccessibleOverride(scoped::ComPtr<IAccessible> standard, AccessibleDescription description,
                       const OleAutomationApi& automation)
        : m_standard(std::move(standard)), m_description(std::move(description)), m_automation(automation)
    {
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (!out)
            return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs)); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        const LONG refs = ::InterlockedDecrement(&m_nRefs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override
    {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override
    {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override
    {
        return m_standard->Invoke(id, iid, locale, flags, parameters, result, exception, badArgument);
    }

    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override
    {
        if (IsSelf(child) && !m_description.name.empty())
            return Answer(m_description.name, name);
        return m_standard->get_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override
    {
        if (!IsSelf(child) || !m_description.role)
            return m_standard->get_accRole(child, role);
        if (!role)
            return E_POINTER;
        role->vt = VT_I4;
        role->lVal = m_description.role;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override
    {
        const HRESULT hr = m_standard->get_accState(child, state);
        if (SUCCEEDED(hr) && IsSelf(child) && state->vt == VT_I4)
            state->lVal |= m_description.addedState;
        return hr;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override
    {
        if (IsSelf(child) && !m_description.defaultAction.empty())
            return Answer(m_description.defaultAction, action);
        return m_standard->get_accDefaultAction(child, action);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override
    {
        if (!IsSelf(child) || !m_description.actionWindow)
            return m_standard->accDoDefaultAction(child);
        return ::PostMessageA(m_description.actionWindow, m_description.actionMessage,
                              m_description.actionWParam, m_description.actionLParam)
                   ? S_OK
                   : HRESULT_FROM_WIN32(::GetLastError());
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return m_standard->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override
    {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) override
    {
        return m_standard->get_accDescription(child, text);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override { return m_standard->get_accHelp(child, help); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override
    {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override
    {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override
    {
        return m_standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override { return m_standard->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override
    {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override
    {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG left, LONG top, VARIANT* child) override
    {
        return m_standard->accHitTest(left, top, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return m_standard->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_standard->put_accValue(child, value);
    }

private:
    ~AccessibleOverride() = default;

    HRESULT Answer(const std::string& text, BSTR* out) const
    {
        if (!out)
            return E_POINTER;
        const int length = ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
        *out = m_automation.SysAllocStringLen(nullptr, static_cast<UINT>(length));
        if (!*out)
            return E_OUTOFMEMORY;
        ::MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), *out, length);
        return S_OK;
    }

    LONG m_nRefs = 1;
    scoped::ComPtr<IAccessible> m_standard;
    AccessibleDescription m_description;
    const OleAutomationApi& m_automation;
};

} // namespace

LRESULT AnswerGetObject(HWND window, WPARAM flags, LPARAM objectId, const AccessibleDescription& description)
{
    if (static_cast<LONG>(objectId) != OBJID_CLIENT)
        return 0;
    const OleaccApi* oleacc = LateApi<OleaccApi>();
    const OleAutomationApi* automation = LateApi<OleAutomationApi>();
    if (!oleacc || !automation)
        return 0;
    scoped::ComPtr<IAccessible> standard;
    if (FAILED(oleacc->CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible), standard.put_void())))
        return 0;
    auto* answer = new AccessibleOverride(std::move(standard), description, *automation);
    const LRESULT result = oleacc->LresultFromObject(__uuidof(IAccessible), flags, answer);
    answer->Release();
    return result < 0 ? 0 : result;
}
