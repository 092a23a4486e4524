// One planned-session import (request, merge, list file write) against a bare HttpGet
// of the same reply from the same server. Arguments: server, iterations.
// Prints "<import us per call> <bare GET us per call>", medians.
#include "service/http_get.h"
#include "service/server_address.h"
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

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double MicrosecondsOf(const std::function<void()>& f)
{
    LARGE_INTEGER frequency, start, end;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    f();
    ::QueryPerformanceCounter(&end);
    return double(end.QuadPart - start.QuadPart) * 1e6 / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return 2;
    CWinApp app;  // owner of the internet error box, should one be needed
    const std::string server = argv[1];
    const std::optional<ServerAddress> address = ParseServerSetting(server);
    const int calls = std::atoi(argv[2]);
    if (!address)
        return 2;
    const std::string previousServer = ReadRegistryString("server");
    WriteRegistryString("server", server);

    CUserSettings settings;
    const std::string objectName = "Control?command=getPlannedSessions&_os_app=demo&eMail=" +
                                   settings.GetUsername() + "&pAssword=" + settings.GetPassword();
    // Import and bare GET take turns, so that a slow spell of the machine falls on both
    // alike; the list file goes before each import, untimed, so that every round merges all
    // records again. Medians, so that a stray slow call does not count.
    SessionTablePtr hostSessions;
    DWORD unread = ERROR_SUCCESS;
    std::vector<double> imports, bares;
    for (int i = 0; i < calls; ++i) {
        ::DeleteFileA(kHostSessionFile);
        imports.push_back(MicrosecondsOf([&] { settings.GetPlannedSessions(hostSessions, unread); }));
        bares.push_back(MicrosecondsOf([&] { HttpGet(*address, objectName); }));
    }
    const double import = Median(imports);
    const double bare = Median(bares);

    WriteRegistryString("server", previousServer);
    const bool merged = hostSessions && hostSessions->Count() == kMaxSessions;
    std::printf("%.1f %.1f\n", import, bare);
    return merged ? 0 : 1;
}
