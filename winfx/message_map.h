// Message maps: per class a static table from a message (or a command id and notification
// code) to a typed member handler, chained to the base class's table.
//
//   const MessageMap CMyWnd::messageMap{&CWnd::messageMap, {
//       MessageEntry<WM_CREATE, &CMyWnd::OnCreate>,
//       RegisteredMessageEntry<&someRegisteredMessage, &CMyWnd::OnSomething>,
//       CommandEntry<ID_SOMETHING, &CMyWnd::OnSomething>,
//   }};
//
// A handler that wants the default processing as well calls Default() or its base
// class's handler.
#pragma once

#include <windows.h>

#include <initializer_list>
#include <type_traits>

class CCmdTarget;

struct MessageMapEntry {
    UINT message;            // WM_COMMAND for command entries
    const UINT* registered;  // a registered message, whose number is known only at run time
    UINT id;                 // command entries: the menu or control id
    UINT code;               // command entries: the notification code (0 for menus)
    LRESULT (*call)(CCmdTarget& target, WPARAM wParam, LPARAM lParam);
};

struct MessageMap {
    const MessageMap* base;
    std::initializer_list<MessageMapEntry> entries;

    // Search this table, then the base classes' tables.
    const MessageMapEntry* FindMessage(UINT message) const;
    const MessageMapEntry* FindCommand(UINT id, UINT code) const;
    // A control's entry for a notification that its parent received (code: WM_COMMAND's).
    const MessageMapEntry* FindReflected(UINT message, UINT code) const;
};

// Notifications that a parent receives from a control are offered first to the control's
// own map, under the message number plus this base (reflection).
constexpr UINT WM_REFLECT_BASE = 0xBC00;

// How a message's parameters reach its handler; the handler's signature stands in each.
// Messages without a cracker of their own pass both parameters as they are.
struct RawCracker {
    template <typename T> using Handler = LRESULT (T::*)(WPARAM wParam, LPARAM lParam);
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM wParam, LPARAM lParam)
    {
        return (t.*h)(wParam, lParam);
    }
};

template <UINT Message>
struct MessageCracker : RawCracker {};

template <>
struct MessageCracker<WM_CREATE> {
    // Returns 0 to go on, -1 to fail the creation.
    template <typename T> using Handler = int (T::*)(CREATESTRUCTA& cs);
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM, LPARAM lParam)
    {
        return (t.*h)(*reinterpret_cast<CREATESTRUCTA*>(lParam));
    }
};

template <>
struct MessageCracker<WM_SETFOCUS> {
    template <typename T> using Handler = void (T::*)(HWND previousFocus);
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM wParam, LPARAM)
    {
        (t.*h)(reinterpret_cast<HWND>(wParam));
        return 0;
    }
};

template <>
struct MessageCracker<WM_PAINT> {
    template <typename T> using Handler = void (T::*)();
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM, LPARAM)
    {
        (t.*h)();
        return 0;
    }
};

template <>
struct MessageCracker<WM_SETCURSOR> {
    // True when the handler has set the cursor.
    template <typename T> using Handler = bool (T::*)(HWND window, UINT hitTest, UINT message);
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM wParam, LPARAM lParam)
    {
        return (t.*h)(reinterpret_cast<HWND>(wParam), LOWORD(lParam), HIWORD(lParam)) ? TRUE : FALSE;
    }
};

// A static's colouring request, reflected to the static: the brush to paint its background
// with, or null to leave the colouring to the parent.
template <>
struct MessageCracker<WM_REFLECT_BASE + WM_CTLCOLORSTATIC> {
    template <typename T> using Handler = HBRUSH (T::*)(HDC dc, UINT ctlColor);
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM wParam, LPARAM)
    {
        return reinterpret_cast<LRESULT>((t.*h)(reinterpret_cast<HDC>(wParam), CTLCOLOR_STATIC));
    }
};

// Command handlers take nothing and return nothing: void OnSomething().
struct CommandCracker {
    template <typename T> using Handler = void (T::*)();
    template <typename T> static LRESULT Call(T& t, Handler<T> h, WPARAM, LPARAM)
    {
        (t.*h)();
        return 0;
    }
};

namespace winfx_detail {

template <typename> struct MemberOf;
template <typename T, typename F> struct MemberOf<F T::*> { using type = T; };

template <typename Cracker, auto Handler>
LRESULT CallHandler(CCmdTarget& target, WPARAM wParam, LPARAM lParam)
{
    using T = typename MemberOf<decltype(Handler)>::type;
    static_assert(std::is_same_v<decltype(Handler), typename Cracker::template Handler<T>>,
                  "the handler's signature does not match its message");
    return Cracker::Call(static_cast<T&>(target), Handler, wParam, lParam);
}

} // namespace winfx_detail

template <UINT Message, auto Handler>
inline constexpr MessageMapEntry MessageEntry{
    Message, nullptr, 0, 0, &winfx_detail::CallHandler<MessageCracker<Message>, Handler>};

// Handler: LRESULT OnSomething(WPARAM, LPARAM).
template <const UINT* Message, auto Handler>
inline constexpr MessageMapEntry RegisteredMessageEntry{
    0, Message, 0, 0, &winfx_detail::CallHandler<RawCracker, Handler>};

template <UINT Id, auto Handler, UINT Code = 0>
inline constexpr MessageMapEntry CommandEntry{
    WM_COMMAND, nullptr, Id, Code, &winfx_detail::CallHandler<CommandCracker, Handler>};

// A control's own handler for a notification its parent received: the message's handler
// signature, as for MessageEntry.
template <UINT Message, auto Handler>
inline constexpr MessageMapEntry ReflectedMessageEntry{
    WM_REFLECT_BASE + Message, nullptr, 0, 0,
    &winfx_detail::CallHandler<MessageCracker<WM_REFLECT_BASE + Message>, Handler>};

// A control's own handler for one of its WM_COMMAND notifications (STN_CLICKED, ...).
template <UINT Code, auto Handler>
inline constexpr MessageMapEntry ReflectedCommandEntry{
    WM_REFLECT_BASE + WM_COMMAND, nullptr, 0, Code, &winfx_detail::CallHandler<CommandCracker, Handler>};
