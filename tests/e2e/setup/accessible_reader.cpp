#include "accessible_reader.h"

#include "scoped_win.h"

#include <oleacc.h>

namespace {

std::string Narrow(BSTR text)
{
    if (!text)
        return {};
    const int length = ::WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, -1, narrow.data(), length, nullptr, nullptr);
    narrow.resize(static_cast<std::size_t>(length > 0 ? length - 1 : 0));
    ::SysFreeString(text);
    return narrow;
}

scoped::ComPtr<IAccessible> ClientObject(HWND control)
{
    scoped::ComPtr<IAccessible> object;
    ::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, object.put_void());
    return object;
}

VARIANT Self()
{
    VARIANT self{};
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    return self;
}

} // namespace

AccessibleControl ReadAccessible(HWND control)
{
    AccessibleControl read;
    read.id = ::GetDlgCtrlID(control);
    const scoped::ComPtr<IAccessible> object = ClientObject(control);
    if (!object)
        return read;
    BSTR text = nullptr;
    if (object->get_accName(Self(), &text) == S_OK)
        read.name = Narrow(text);
    if (object->get_accKeyboardShortcut(Self(), &text) == S_OK)
        read.shortcut = Narrow(text);
    if (object->get_accDefaultAction(Self(), &text) == S_OK)
        read.defaultAction = Narrow(text);
    VARIANT role{};
    if (object->get_accRole(Self(), &role) == S_OK && role.vt == VT_I4)
        read.role = role.lVal;
    return read;
}

std::vector<AccessibleControl> ReadTabStops(HWND window)
{
    std::vector<AccessibleControl> controls;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const LONG style = ::GetWindowLongA(child, GWL_STYLE);
        if ((style & WS_TABSTOP) && ::IsWindowVisible(child))
            controls.push_back(ReadAccessible(child));
    }
    return controls;
}

bool DoDefaultAction(HWND control)
{
    const scoped::ComPtr<IAccessible> object = ClientObject(control);
    return object && object->accDoDefaultAction(Self()) == S_OK;
}
