// Stands in for the web browser in the test prefix: records how it was started.
#include "browser_recorder.h"
#include "scoped_win.h"

namespace {

// The parameters: the command line after the program name, as the C runtime splits it.
std::string Parameters(const char* commandLine)
{
    const char* p = commandLine;
    if (*p == '"') {
        for (++p; *p && *p != '"'; ++p) {}
        if (*p)
            ++p;
    } else {
        for (; *p && *p != ' ' && *p != '\t'; ++p) {}
    }
    for (; *p == ' ' || *p == '\t'; ++p) {}
    return p;
}

} // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int showState = (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1;

    char path[MAX_PATH] = {};
    if (::GetEnvironmentVariableA(browser_recorder::kRecordVariable, path, MAX_PATH) == 0)
        return 1;
    {
        std::ofstream record(path, std::ios::binary | std::ios::app);
        record << showState << ' ' << Parameters(::GetCommandLineA()) << '\n';
    }
    scoped::Kernel recorded(::OpenEventA(EVENT_MODIFY_STATE, FALSE, browser_recorder::kRecordedEvent));
    if (recorded)
        ::SetEvent(recorded.get());
    return 0;
}
