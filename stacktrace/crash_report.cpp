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
    AppendHex(crash.ExceptionRecord->ExceptionCode, 8);
    Append("\r\naddress: ");
    AppendLocation(reinterpret_cast<ULONG_PTR>(crash.ExceptionRecord->ExceptionAddress));
    Append("\r\nreturn addresses:\r\n");
    AppendFrameChain(*crash.ContextRecord);
}

void CrashReport::Append(const char* text)
{
    while (*text && m_length + 1 < sizeof m_text)
        m_text[m_length++] = *text++;
    m_text[m_length] = '\0';
}

void CrashReport::AppendHex(ULONG_PTR value, int digitCount)
{
    char digits[2 + 2 * sizeof value + 1] = "0x";
    for (int i = digitCount + 1; i >= 2; --i, value >>= 4)
        digits[i] = "0123456789ABCDEF"[value & 0xF];
    digits[digitCount + 2] = '\0';
    Append(digits);
}

void CrashReport::AppendLocation(ULONG_PTR address)
{
    HMODULE module = nullptr;
    char path[MAX_PATH] = {};
    if (::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                 GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                             reinterpret_cast<LPCSTR>(address), &module) &&
        ::GetModuleFileNameA(module, path, MAX_PATH)) {
        Append(FileNamePart(path));
        Append("+");
        // An offset inside a module fits in 32 bits, whatever the build.
        AppendHex(address - reinterpret_cast<ULONG_PTR>(module), 8);
        return;
    }
    AppendHex(address, 2 * sizeof address);
}

// Follows the saved frame pointers (EBP, or RBP in a 64-bit build) from the faulting frame up the stack; each frame
// holds the caller's frame pointer and the return address above it. Only addresses inside
// the stack, rising from frame to frame, are followed.
void CrashReport::AppendFrameChain(const CONTEXT& context)
{
    // The filter runs on the crashed thread, below the crashed frames: the committed stack
    // from here up holds them all.
    MEMORY_BASIC_INFORMATION stack{};
    if (!::VirtualQuery(&stack, &stack, sizeof stack))
        return;
    const ULONG_PTR low = reinterpret_cast<ULONG_PTR>(&stack);
    const ULONG_PTR high = reinterpret_cast<ULONG_PTR>(stack.BaseAddress) + stack.RegionSize;
#ifdef _WIN64
    ULONG_PTR frame = context.Rbp;
#else
    ULONG_PTR frame = context.Ebp;
#endif
    for (int depth = 0; depth < kMaxFrames; ++depth) {
        if (frame < low || frame > high - 2 * sizeof(ULONG_PTR) || frame % sizeof(ULONG_PTR) != 0)
            break;
        const ULONG_PTR* words = reinterpret_cast<const ULONG_PTR*>(frame);
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
