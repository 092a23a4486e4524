// Base for the server's heap objects: they come from the process heap, so that
// allocation failure is a null pointer and the C++ runtime's exception support
// stays out of the DLL.
#pragma once

#include <windows.h>

#include <cstddef>
#include <new>

struct HeapAllocated {
    static void* operator new(std::size_t size, const std::nothrow_t&) noexcept
    {
        return ::HeapAlloc(::GetProcessHeap(), 0, size);
    }
    static void operator delete(void* pointer) noexcept { ::HeapFree(::GetProcessHeap(), 0, pointer); }
    static void operator delete(void* pointer, const std::nothrow_t&) noexcept { operator delete(pointer); }
    static void* operator new(std::size_t) = delete;
};
