// The text of a crash report, built without the heap (which may be what crashed).
#pragma once

#include <windows.h>

#include <cstddef>

class CrashReport {
public:
    void Build(const EXCEPTION_POINTERS& crash);

    const char* Text() const { return m_text; }
    std::size_t Length() const { return m_length; }

private:
    void Append(const char* text);
    void AppendHex(ULONG_PTR value, int digitCount);
    void AppendLocation(ULONG_PTR address);  // module+0xoffset, or the bare address
    void AppendFrameChain(const CONTEXT& context);

    char m_text[4096] = {};
    std::size_t m_length = 0;
};

// The file name part of a path, stepping over double-byte characters.
const char* FileNamePart(const char* path);
