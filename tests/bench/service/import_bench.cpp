// One planned-session import (request, merge, list file write) against a bare HttpGet
// of the same reply from the same server. Arguments: server, iterations.
// Prints "<import us per call> <bare GET us per call>", medians.
#include "service/http_get.h"
#include "service/settings_registry.h"
#include "service/user_settings.h"
#include "sessions/session_store.h"
#include "winfx/win_app.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

// The median of the calls' times, so that a stray slow call does not count.
double MicrosecondsPerCall(int calls, const std::function<void()>& f)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    std::vector<double> times;
    for (int i = 0; i < calls; ++i) {
        LARGE_INTEGER start, end;
        ::QueryPerformanceCounter(&start);
        f();
        ::QueryPerformanceCounter(&end);
        times.push_back(double(end.QuadPart - start.QuadPart) * 1e6 / double(frequency.QuadPart));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    CWinApp app;  // owner of the internet error box, should one be needed
    const std::string server = argv[1];
    const int calls = std::atoi(argv[2]);
    const std::string previousServer = ReadRegistryString("server");
    WriteRegistryString("server", server);

    CUserSettings settings;
    const std::string objectName = "Control?command=getPlannedSessions&_os_app=demo&eMail=" +
                                   settings.GetUsername() + "&pAssword=" + settings.GetPassword();
    SessionTablePtr hostSessions;
    const double import = MicrosecondsPerCall(calls, [&] {
        ::DeleteFileA(kHostSessionFile);  // every round merges all records again
        settings.GetPlannedSessions(hostSessions);
    });
    const double bare = MicrosecondsPerCall(calls, [&] { HttpGet(server, objectName); });

    WriteRegistryString("server", previousServer);
    const bool merged = hostSessions && hostSessions->Count() == kMaxSessions;
    std::printf("%.1f %.1f\n", import, bare);
    return merged ? 0 : 1;
}
