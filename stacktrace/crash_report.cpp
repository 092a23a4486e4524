#include "stacktrace/crash_report.h"

namespace {

constexpr int kMaxFrames = 64;

} // namespace

const char* FileNamePart(const char* path)
{
    const char* name = path;
    for (const char* p = path; *p; ++p) {
        if (::IsDBCSLeadByte(static_cast<BYTE>(*p)) && p[1])
            ++p;
        else if (*p == '\\' || *p == '/')
            name = p + 1;
    }
    return name;
}

void CrashReport::Build(const EXCEPTION_POINTERS& crash)
{
    m_length = 0;
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    Append(FileNamePart(program));
    Append(" crashed\r\nexception code: ");
    AppendHex(crash.ExceptionRecord->ExceptionCode);
    Append("\r\naddress: ");
    AppendLocation(reinterpret_cast<DWORD>(crash.ExceptionRecord->ExceptionAddress));
    Append("\r\nreturn addresses:\r\n");
    AppendFrameChain(*crash.ContextRecord);
}

void CrashReport::Append(const char* text)
{
    while (*text && m_length + 1 < sizeof m_text)
        m_text[m_length++] = *text++;
    m_text[m_length] = '\0';
}

void CrashReport::AppendHex(DWORD value)
{
    char digits[] = "0x00000000";
    for (int i = 9; i >= 2; --i, value >>= 4)
        digits[i] = "0123456789ABCDEF"[value & 0xF];
    Append(digits);
}

void CrashReport::AppendLocation(DWORD address)
{
    HMODULE module = nullptr;
    char path[MAX_PATH] = {};
    if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(address), &module) &&
        ::GetModuleFileNameA(module, path, MAX_PATH)) {
        Append(FileNamePart(path));
        Append("+");
        address -= reinterpret_cast<DWORD>(module);
    }
    AppendHex(address);
}

// Follows the saved frame pointers (EBP) from the faulting frame up the stack; each frame
// holds the caller's frame pointer and the return address above it. Only addresses inside
// the stack, rising from frame to frame, are followed.
void CrashReport::AppendFrameChain(const CONTEXT& context)
{
    // The filter runs on the crashed thread, below the crashed frames: the committed stack
    // from here up holds them all.
    MEMORY_BASIC_INFORMATION stack{};
    if (!::VirtualQuery(&stack, &stack, sizeof stack))
        return;
    const DWORD low = reinterpret_cast<DWORD>(&stack);
    const DWORD high = reinterpret_cast<DWORD>(stack.BaseAddress) + stack.RegionSize;
    DWORD frame = context.Ebp;
    for (int depth = 0; depth < kMaxFrames; ++depth) {
        if (frame < low || frame > high - 2 * sizeof(DWORD) || frame % sizeof(DWORD) != 0)
            break;
        const DWORD* words = reinterpret_cast<const DWORD*>(frame);
        if (!words[1])
            break;
        Append("  ");
        AppendLocation(words[1]);
        Append("\r\n");
        if (words[0] <= frame)
            break;
        frame = words[0];
    }
}
