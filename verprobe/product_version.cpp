#include "product_version.h"

#include "scoped_win.h"

#include <algorithm>
#include <cstring>

namespace {

// The registered server path is read into a buffer of this many bytes.
constexpr DWORD kServerPathBufferSize = 260;

HRESULT FormatClsid(REFCLSID clsid, char (&text)[40])
{
    wchar_t wide[40];
    if (!::StringFromGUID2(clsid, wide, 40))
        return E_UNEXPECTED;
    if (!::WideCharToMultiByte(CP_THREAD_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr))
        return HRESULT_FROM_WIN32(::GetLastError());
    return S_OK;
}

// The default value of HKCR\CLSID\{clsid}\InprocServer32 taken as a path: its
// type is not checked and environment references stay as they are. A value
// that fills the buffer without a terminator leaves no room for one, so it
// counts as too long.
bool ReadInprocServerPath(const char* clsidText, char (&path)[kServerPathBufferSize])
{
    // One open of the whole path: each open under HKEY_CLASSES_ROOT is a merged view of
    // the machine's and the user's classes, and costs a good part of the lookup.
    char keyPath[80];
    ::wsprintfA(keyPath, "CLSID\\%s\\InprocServer32", clsidText);
    scoped::RegKey serverKey;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, keyPath, 0, KEY_READ, serverKey.put()) != ERROR_SUCCESS)
        return false;

    DWORD size = sizeof path;
    if (::RegQueryValueExA(serverKey.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(path), &size)
        != ERROR_SUCCESS)
        return false;
    if (size > sizeof path)
        return false;
    if (!std::memchr(path, '\0', size)) {
        if (size == sizeof path)
            return false;
        path[size] = '\0';
    }
    return true;
}

HRESULT CopyToBstr(const char* text, int length, BSTR* pVal)
{
    const int wideLength = length ? ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, nullptr, 0) : 0;
    BSTR copy = ::SysAllocStringLen(nullptr, wideLength);
    if (!copy)
        return E_OUTOFMEMORY;
    if (wideLength)
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, length, copy, wideLength);
    *pVal = copy;
    return S_OK;
}

// Keeps a movable global block locked for one scope.
class GlobalLockScope {
public:
    explicit GlobalLockScope(HGLOBAL block) : m_block(block), m_pData(::GlobalLock(block)) {}
    ~GlobalLockScope()
    {
        if (m_pData)
            ::GlobalUnlock(m_block);
    }
    GlobalLockScope(const GlobalLockScope&) = delete;
    GlobalLockScope& operator=(const GlobalLockScope&) = delete;
    BYTE* data() const { return static_cast<BYTE*>(m_pData); }

private:
    HGLOBAL m_block;
    void* m_pData;
};

struct Translation {
    WORD language;
    WORD codePage;
};

// The first translation, in stored order, that carries a ProductVersion wins.
HRESULT ReadProductVersion(const char* path, BSTR* pVal)
{
    DWORD ignored = 0;
    const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (size == 0)
        return S_OK;
    scoped::GlobalMemory block(::GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block)
        return E_OUTOFMEMORY;
    GlobalLockScope lock(block.get());
    BYTE* const begin = lock.data();
    if (!begin)
        return E_OUTOFMEMORY;
    if (size < sizeof(WORD) || !::GetFileVersionInfoA(path, 0, size, begin))
        return S_OK;
    const BYTE* const end = begin + size;

    void* translations = nullptr;
    UINT translationBytes = 0;
    if (!::VerQueryValueA(begin, "\\VarFileInfo\\Translation", &translations, &translationBytes) || !translations)
        translationBytes = 0;
    // The table's length is the component's own claim: walk no further than the
    // version resource, whose first word gives its length.
    const BYTE* const table = static_cast<const BYTE*>(translations);
    const BYTE* const resourceEnd = begin + std::min<DWORD>(size, *reinterpret_cast<const WORD*>(begin));
    translationBytes = (table >= begin && table < resourceEnd)
                           ? std::min<UINT>(translationBytes, static_cast<UINT>(resourceEnd - table))
                           : 0;
    for (UINT offset = 0; offset + sizeof(Translation) <= translationBytes; offset += sizeof(Translation)) {
        Translation translation;
        std::memcpy(&translation, static_cast<const BYTE*>(translations) + offset, sizeof translation);
        char query[64];
        ::wsprintfA(query, "\\StringFileInfo\\%04x%04x\\ProductVersion", translation.language,
                    translation.codePage);
        void* found = nullptr;
        UINT foundLength = 0;
        if (!::VerQueryValueA(begin, query, &found, &foundLength) || !found)
            continue;
        // The text lies inside the block; never read past its end.
        const char* text = static_cast<const char*>(found);
        const BYTE* at = reinterpret_cast<const BYTE*>(text);
        const size_t available = (at >= begin && at < end) ? static_cast<size_t>(end - at) : 0;
        return CopyToBstr(text, static_cast<int>(strnlen(text, available)), pVal);
    }
    return S_OK;
}

} // namespace

HRESULT LookUpProductVersion(REFCLSID clsid, BSTR* pVal)
{
    char clsidText[40];
    const HRESULT hr = FormatClsid(clsid, clsidText);
    if (FAILED(hr))
        return hr;
    char path[kServerPathBufferSize];
    if (!ReadInprocServerPath(clsidText, path))
        return E_FAIL;
    return ReadProductVersion(path, pVal);
}
