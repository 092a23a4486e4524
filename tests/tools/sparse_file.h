// Files far larger than the disk could hold, made without writing their bulk: the file
// is extended past its head, which leaves a hole that reads as zero bytes.
#pragma once

#include <windows.h>

#include <string>

#include "scoped_win.h"

inline constexpr LONGLONG kBeyond4GiB = 5LL * 1024 * 1024 * 1024;

// head, then zero bytes up to totalSize.
inline bool PutSparseFile(const char* path, const std::string& head, LONGLONG totalSize)
{
    scoped::File file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    LARGE_INTEGER end;
    end.QuadPart = totalSize;
    return file && ::WriteFile(file.get(), head.data(), DWORD(head.size()), &written, nullptr)
           && written == head.size() && ::SetFilePointerEx(file.get(), end, nullptr, FILE_BEGIN)
           && ::SetEndOfFile(file.get());
}

inline LONGLONG FileSize(const char* path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data))
        return -1;
    return LONGLONG(data.nFileSizeHigh) << 32 | data.nFileSizeLow;
}
