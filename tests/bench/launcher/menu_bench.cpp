// The tray menu as the icon's click builds it before showing it: the menu loaded from the
// program's resources and the planned-session submenu filled by the frame's own builder,
// with full lists (49 host and 49 guest entries). Prints the median microseconds per build.
//
//   menu_bench <builds>
#include "app/kelvlaunch_app.h"
#include "app/main_frame.h"
#include "res/resource.h"
#include "scoped_win.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// The frame's builder is reached from the icon object only; the benchmark calls it directly.
class MenuBenchFrame : public CMainFrame {
public:
    using CMainFrame::BuildPlannedSessionMenu;
};

void FillList(SessionTable& table, const char* prefix)
{
    for (std::size_t i = 0; i < kMaxSessions; ++i) {
        table.m_entries[i].m_strDescription = std::string(prefix) + " planned session " + std::to_string(i + 1);
        table.m_entries[i].m_strAccessCode = std::to_string(100000 + i);
    }
}

double NowMicroseconds()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return 1e6 * double(counter.QuadPart) / double(frequency.QuadPart);
}

} // namespace

int main(int argc, char** argv)
{
    const int builds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    CKelvlaunchApp& app = KelvlaunchApp();
    FillList(*app.m_pHostSessions, "Host");
    FillList(*app.m_pGuestSessions, "Guest");

    MenuBenchFrame frame;
    std::vector<double> times;
    times.reserve(builds);
    for (int i = 0; i < builds; ++i) {
        const double start = NowMicroseconds();
        const scoped::Menu menu(::LoadMenuA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(trayMenuId)));
        if (!menu) {
            std::fprintf(stderr, "menu_bench: the tray menu resource is missing\n");
            return 1;
        }
        frame.BuildPlannedSessionMenu(menu.get());
        times.push_back(NowMicroseconds() - start);
        if (i == 0 && ::GetMenuItemCount(::GetSubMenu(::GetSubMenu(menu.get(), 0), 2)) != 2 * int(kMaxSessions) + 3) {
            std::fprintf(stderr, "menu_bench: the planned-session submenu is not full\n");
            return 1;
        }
    }
    std::nth_element(times.begin(), times.begin() + builds / 2, times.end());
    std::printf("%.0f\n", times[builds / 2]);
    return 0;
}
