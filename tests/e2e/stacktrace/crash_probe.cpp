// Imports StackTrace.dll as the launcher does; "crash" makes it crash on purpose after
// writing where its crashing function and that function's caller lie (module offsets),
// "crash-after-thread" the same once a thread of its own has ended.
#include "stacktrace/stack_trace.h"

#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

int* volatile nowhere = nullptr;

__attribute__((noinline)) int One()
{
    return 1;
}

// Not a leaf, so that it keeps a frame of its own (leaves run without one).
__attribute__((noinline)) void WriteNowhere()
{
    *nowhere = One();
}

__attribute__((noinline)) void CallWriteNowhere()
{
    WriteNowhere();
    nowhere = nullptr;  // keeps the call from becoming a tail jump
}

unsigned Offset(void (*function)())
{
    return static_cast<unsigned>(reinterpret_cast<UINT_PTR>(function) -
                                 reinterpret_cast<UINT_PTR>(::GetModuleHandleA(nullptr)));
}

DWORD WINAPI EndAtOnce(void*)
{
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    InitStackTraceLibrary();
    if (argc < 2)
        return 0;
    // A thread of the program's that has ended before the crash.
    if (std::strcmp(argv[1], "crash-after-thread") == 0) {
        if (HANDLE thread = ::CreateThread(nullptr, 0, &EndAtOnce, nullptr, 0, nullptr)) {
            ::WaitForSingleObject(thread, INFINITE);
            ::CloseHandle(thread);
        }
    } else if (std::strcmp(argv[1], "crash") != 0) {
        return 0;
    }
    if (FILE* offsets = std::fopen("offsets.txt", "w")) {
        std::fprintf(offsets, "%x %x\n", Offset(&WriteNowhere), Offset(&CallWriteNowhere));
        std::fclose(offsets);
    }
    CallWriteNowhere();
    return 0;
}
