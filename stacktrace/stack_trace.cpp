#include "stacktrace/stack_trace.h"

#include "stacktrace/crash_report.h"

#include "scoped_win.h"

#include <cstring>

namespace {

LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;
bool installed = false;
LONG reported = 0;
CrashReport report;  // static, not on the stack: the crash may be a stack overflow

void WriteReport(const CrashReport& report)
{
    char path[MAX_PATH + 1] = {};
    const DWORD folderLength = ::GetTempPathA(MAX_PATH, path);
    if (folderLength == 0 || folderLength >= MAX_PATH)
        return;

    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    const char* name = FileNamePart(program);
    if (folderLength + std::strlen(name) + sizeof(".crash.txt") > sizeof path)
        return;
    char* fileName = std::strcat(path, name) + folderLength;
    if (char* extension = std::strrchr(fileName, '.'))
        *extension = '\0';
    std::strcat(path, ".crash.txt");

    scoped::File file(::CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (file)
        ::WriteFile(file.get(), report.Text(), static_cast<DWORD>(report.Length()), &written,
                    nullptr);
}

LONG WINAPI ReportCrash(EXCEPTION_POINTERS* crash)
{
    if (::InterlockedExchange(&reported, 1) == 0) {  // the first crashing thread only
        report.Build(*crash);
        WriteReport(report);
    }
    return previousFilter ? previousFilter(crash) : EXCEPTION_CONTINUE_SEARCH;
}

} // namespace

extern "C" void InitStackTraceLibrary(void)
{
    if (installed)
        return;
    installed = true;
    previousFilter = ::SetUnhandledExceptionFilter(&ReportCrash);
}
