// A system DLL that the program loads itself, the first time it needs it, rather than at
// start: LoadLibrary plus GetProcAddress into a typed table of exactly the entry points the
// program calls. Our own code rather than the toolchain's delay-load thunks, so that every
// build runs the same loader.
#pragma once

#include <windows.h>

#include <string>

class LateLibrary {
public:
    explicit LateLibrary(const char* fileName)
        : m_module(LoadFromSystem(fileName)), m_dwError(m_module ? ERROR_SUCCESS : ::GetLastError())
    {
    }

    // The system's copy of the DLL, never one planted in the program's folder, which a bare
    // name searches first and its user can write. A name the activation context redirects
    // (comctl32 through the manifest) still takes that assembly's copy.
    static HMODULE LoadFromSystem(const char* fileName)
    {
        const HMODULE module = ::LoadLibraryExA(fileName, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
        if (module || ::GetLastError() != ERROR_INVALID_PARAMETER)
            return module;
        // A system without that flag: the system directory's full path.
        char directory[MAX_PATH] = {};
        const UINT length = ::GetSystemDirectoryA(directory, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return nullptr;
        return ::LoadLibraryA((std::string(directory, length) + "\\" + fileName).c_str());
    }

    // Points slot at the named entry point; false, with the reason kept, when there is none.
    template <typename Function>
    bool Bind(Function*& slot, const char* name)
    {
        const FARPROC entry = m_module ? ::GetProcAddress(m_module, name) : nullptr;
        if (!entry) {
            if (m_dwError == ERROR_SUCCESS)
                m_dwError = ::GetLastError();
            return false;
        }
        slot = reinterpret_cast<Function*>(reinterpret_cast<void*>(entry));
        return true;
    }

    DWORD Error() const { return m_dwError; }

private:
    // Never freed: windows of the library's classes and handles it made may outlive any
    // one caller, and the process ends soon enough.
    HMODULE m_module;
    DWORD m_dwError;
};

// The table of Api (a struct of entry points with `static constexpr char kFileName[]` and
// `bool Bind(LateLibrary&)`), resolved once, on first use. Null, with the thread's last
// error saying why, when the library or one of its entry points cannot be had.
template <typename Api>
const Api* LateApi()
{
    struct Resolved {
        Api table{};
        bool bComplete = false;
        DWORD dwError = ERROR_SUCCESS;
    };
    static const Resolved resolved = [] {
        Resolved r;
        LateLibrary library(Api::kFileName);
        r.bComplete = r.table.Bind(library);
        r.dwError = library.Error();
        return r;
    }();
    if (!resolved.bComplete) {
        ::SetLastError(resolved.dwError);
        return nullptr;
    }
    return &resolved.table;
}
