// kelvlaunch.exe through many rounds of each user action, its working set and handle
// count read from outside as it goes. A leak shows as growth that does not level off.
//
//   soak           the full run: every loop's full count of rounds, a reading every 100;
//                  after the first 100 rounds no reading may grow 1 % or more beyond it.
//   soak --short   100 rounds of every loop, a reading every 10; fails on steady growth
//                  (a rise at every reading after the first two).
//
// The fake service plays the server (KV_FAKE_SERVICE_ADDRESS, KV_FAKE_SERVICE_DIR), a
// stand-in notification area takes the launcher's icon.
#include "process_usage.h"
#include "soak_loops.h"

#include "fake_service_control.h"
#include "scoped_win.h"
#include "tests/tools/tray_stand_in.h"

#include <shlwapi.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

const char kSettingsKey[] = "Software\\Ostrand\\LumetraAgent";
const char kLauncherDefaultsKey[] = "Software\\Wine\\AppDefaults\\kelvlaunch.exe";
const char kLauncherX11Key[] = "Software\\Wine\\AppDefaults\\kelvlaunch.exe\\X11 Driver";

// The launcher reads its server from the settings at every command.
bool SetServer(const std::string& server)
{
    scoped::RegKey key;
    return ::RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                             nullptr) == ERROR_SUCCESS
           && ::RegSetValueExA(key.get(), "server", 0, REG_SZ, reinterpret_cast<const BYTE*>(server.c_str()),
                               DWORD(server.size() + 1)) == ERROR_SUCCESS;
}

struct Plan {
    bool bShort;
    int Rounds(const SoakLoop& loop) const { return bShort ? 100 : loop.fullRounds; }
    int RoundsPerReading() const { return bShort ? 10 : 100; }
};

double Growth(double from, double to)
{
    return from > 0 ? (to - from) / from : 0;
}

// Full run: no reading after the first may exceed it by 1 % or more.
bool GrewBeyondOnePercent(const std::vector<double>& values)
{
    for (double value : values)
        if (Growth(values.front(), value) >= 0.01)
            return true;
    return false;
}

// Short run: a rise at every reading after the first two (which settle caches and heaps).
bool GrewSteadily(const std::vector<double>& values)
{
    if (values.size() < 4)
        return false;
    for (std::size_t i = 3; i < values.size(); ++i)
        if (values[i] <= values[i - 1])
            return false;
    return true;
}

bool Judge(const char* what, const std::vector<double>& values, const Plan& plan)
{
    const bool grew = plan.bShort ? GrewSteadily(values) : GrewBeyondOnePercent(values);
    std::printf("  %-12s first %12.0f  last %12.0f  growth %+6.2f %%  %s\n", what, values.front(), values.back(),
                100 * Growth(values.front(), values.back()), grew ? "GROWS" : "steady");
    return !grew;
}

bool Soak(const LauncherRun& run, const SoakLoop& loop, const Plan& plan)
{
    std::vector<double> workingSet, handles;
    const int rounds = plan.Rounds(loop);
    for (int round = 1; round <= rounds; ++round) {
        if (!loop.round(run)) {
            std::printf("%s: the launcher did not respond in round %d\n", loop.name, round);
            return false;
        }
        if (round % plan.RoundsPerReading() != 0)
            continue;
        ProcessUsage usage;
        if (!ReadProcessUsage(run.Process().Id(), usage)) {
            std::printf("%s: cannot read the launcher's usage\n", loop.name);
            return false;
        }
        workingSet.push_back(double(usage.workingSetBytes));
        handles.push_back(double(usage.handles));
    }
    std::printf("%s: %d rounds, a reading every %d\n", loop.name, rounds, plan.RoundsPerReading());
    const bool steadyMemory = Judge("working set", workingSet, plan);
    const bool steadyHandles = Judge("handles", handles, plan);
    return steadyMemory && steadyHandles;
}

} // namespace

int main(int argc, char** argv)
{
    const Plan plan{argc > 1 && std::strcmp(argv[1], "--short") == 0};
    const FakeServiceControl service;
    service.Script(R"({"replies": [{"body": "<records>)"
                   R"(<record><MEETING_NAME>Soak one</MEETING_NAME><MEETING_PIN>9001</MEETING_PIN></record>)"
                   R"(<record><MEETING_NAME>Soak two</MEETING_NAME><MEETING_PIN>9002</MEETING_PIN></record>)"
                   R"(</records>"}]})");
    if (service.Address().empty() || !SetServer(service.Address())) {
        std::printf("soak: no fake service address, or the settings cannot be written\n");
        return 2;
    }

    // The launcher's windows unmanaged: on a display without a window manager, Wine would
    // otherwise wait about 2 s for one each time the sheet is hidden.
    ::SHSetValueA(HKEY_CURRENT_USER, kLauncherX11Key, "Managed", REG_SZ, "N", 2);
    bool steady = true;
    {
        const TrayStandIn tray;
        LauncherRun run(KV_KELVLAUNCH_EXE, KV_STACKTRACE_DLL);
        if (!run.Start()) {
            std::printf("soak: the launcher did not start\n");
            return 2;
        }
        for (int i = 0; i < kSoakLoopCount; ++i)
            steady = Soak(run, kSoakLoops[i], plan) && steady;
        DWORD exitCode = 0;
        if (!run.Exit(exitCode) || exitCode != 0) {
            std::printf("soak: the launcher did not exit cleanly\n");
            steady = false;
        }
    }
    SetServer("");
    ::SHDeleteKeyA(HKEY_CURRENT_USER, kLauncherDefaultsKey);
    std::printf("soak: %s\n", steady ? "no growth" : "FAILED");
    return steady ? 0 : 1;
}
