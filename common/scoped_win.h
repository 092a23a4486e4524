// One small RAII owner per Win32 handle kind, used everywhere a handle is opened.
#pragma once

#include <windows.h>

#include <utility>

namespace scoped {

// Owns one handle; Traits names its "none" value and how it is released.
template <typename Traits>
class Handle {
public:
    using type = typename Traits::type;

    Handle() noexcept = default;
    explicit Handle(type h) noexcept : m_h(h) {}
    ~Handle() { reset(); }

    Handle(Handle&& other) noexcept : m_h(other.release()) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;

    type get() const noexcept { return m_h; }
    explicit operator bool() const noexcept { return m_h != Traits::none(); }

    // For APIs that return the handle through an out-parameter.
    type* put() noexcept
    {
        reset();
        return &m_h;
    }

    type release() noexcept { return std::exchange(m_h, Traits::none()); }

    void reset(type h = Traits::none()) noexcept
    {
        if (m_h != Traits::none())
            Traits::close(m_h);
        m_h = h;
    }

private:
    type m_h = Traits::none();
};

struct RegKeyTraits {
    using type = HKEY;
    static type none() { return nullptr; }
    static void close(type h) { ::RegCloseKey(h); }
};

struct FileTraits {
    using type = HANDLE;
    static type none() { return INVALID_HANDLE_VALUE; }
    static void close(type h) { ::CloseHandle(h); }
};

struct KernelTraits {
    using type = HANDLE;
    static type none() { return nullptr; }
    static void close(type h) { ::CloseHandle(h); }
};

struct MenuTraits {
    using type = HMENU;
    static type none() { return nullptr; }
    static void close(type h) { ::DestroyMenu(h); }
};

struct GdiObjectTraits {
    using type = HGDIOBJ;
    static type none() { return nullptr; }
    static void close(type h) { ::DeleteObject(h); }
};

struct ModuleTraits {
    using type = HMODULE;
    static type none() { return nullptr; }
    static void close(type h) { ::FreeLibrary(h); }
};

struct GlobalMemoryTraits {
    using type = HGLOBAL;
    static type none() { return nullptr; }
    static void close(type h) { ::GlobalFree(h); }
};

struct BstrTraits {
    using type = BSTR;
    static type none() { return nullptr; }
    static void close(type h) { ::SysFreeString(h); }
};

struct HookTraits {
    using type = HHOOK;
    static type none() { return nullptr; }
    static void close(type h) { ::UnhookWindowsHookEx(h); }
};

struct CursorTraits {
    using type = HCURSOR;
    static type none() { return nullptr; }
    static void close(type h) { ::DestroyCursor(h); }
};

struct IconTraits {
    using type = HICON;
    static type none() { return nullptr; }
    static void close(type h) { ::DestroyIcon(h); }
};

struct ScreenDcTraits {
    using type = HDC;
    static type none() { return nullptr; }
    static void close(type h) { ::ReleaseDC(nullptr, h); }
};

using RegKey = Handle<RegKeyTraits>;
using File = Handle<FileTraits>;        // CreateFile results: INVALID_HANDLE_VALUE is "none"
using Kernel = Handle<KernelTraits>;    // events, processes, threads: NULL is "none"
using Menu = Handle<MenuTraits>;
using GdiObject = Handle<GdiObjectTraits>;
using Module = Handle<ModuleTraits>;
using GlobalMemory = Handle<GlobalMemoryTraits>;
using Bstr = Handle<BstrTraits>;         // SysAllocString results
using Hook = Handle<HookTraits>;
using Cursor = Handle<CursorTraits>;     // cursors loaded without LR_SHARED
using Icon = Handle<IconTraits>;         // icons loaded without LR_SHARED
using ScreenDc = Handle<ScreenDcTraits>; // GetDC(nullptr) results

// Reference-counted COM pointer.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ~ComPtr() { reset(); }
    ComPtr(const ComPtr& other) noexcept : m_p(other.m_p)
    {
        if (m_p)
            m_p->AddRef();
    }
    ComPtr(ComPtr&& other) noexcept : m_p(std::exchange(other.m_p, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept
    {
        std::swap(m_p, other.m_p);
        return *this;
    }

    T* get() const noexcept { return m_p; }
    T* operator->() const noexcept { return m_p; }
    explicit operator bool() const noexcept { return m_p != nullptr; }

    T** put() noexcept
    {
        reset();
        return &m_p;
    }
    void** put_void() noexcept { return reinterpret_cast<void**>(put()); }

    void reset() noexcept
    {
        if (m_p)
            std::exchange(m_p, nullptr)->Release();
    }

private:
    T* m_p = nullptr;
};

} // namespace scoped
