// Tray programs measured from outside, against a stand-in notification area: a hidden
// window of the class the shell's tray has, to which Wine's Shell_NotifyIcon sends each
// request as WM_COPYDATA.
//
//   tray_bench start <runs> <program>...   per program: median milliseconds from process
//                                          creation to its NIM_ADD ("none" when it adds no
//                                          icon), median working set after start, KiB, and
//                                          the median of its per-run ratios to the last
//                                          program's start in the same run
//   tray_bench idle <seconds> <program>... per program, all running at once: CPU
//                                          milliseconds used while idle for that long
//   tray_bench open <runs> <command> <caption> <program>...
//                                          per program: median milliseconds from posting
//                                          the command to its icon's window until a window
//                                          with that caption shows, at the first opening
//                                          after start and at a later one, then the medians
//                                          of their per-run ratios to the last program's
#include "scoped_win.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr DWORD kNoIconWaitMs = 5000;

double Now()
{
    LARGE_INTEGER frequency, counter;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) * 1000 / double(frequency.QuadPart);
}

// The stand-in tray: remembers when each process first added an icon.
class StandInTray {
public:
    StandInTray()
    {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = WindowProc;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "Shell_TrayWnd";
        ::RegisterClassA(&windowClass);
        m_hWnd = ::CreateWindowA("Shell_TrayWnd", "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                 windowClass.hInstance, nullptr);
        ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    }
    ~StandInTray() { ::DestroyWindow(m_hWnd); }

    // Pumps messages until the process has added an icon or the time is up; the time of
    // the NIM_ADD, or a negative number.
    double WaitForIcon(DWORD processId, DWORD timeoutMs)
    {
        const double deadline = Now() + timeoutMs;
        while (Now() < deadline) {
            for (const Added& added : m_added)
                if (added.processId == processId)
                    return added.time;
            Pump(10);
        }
        return -1;
    }

    // The window that added the process's icon, once it has.
    HWND IconWindow(DWORD processId) const
    {
        for (const Added& added : m_added)
            if (added.processId == processId)
                return added.window;
        return nullptr;
    }

    static void Pump(DWORD milliseconds)
    {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, milliseconds, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&msg);
    }

private:
    static LRESULT CALLBACK WindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* tray = reinterpret_cast<StandInTray*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
        if (message == WM_COPYDATA && tray) {
            const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
            DWORD sender = 0;
            ::GetWindowThreadProcessId(reinterpret_cast<HWND>(wParam), &sender);
            if (data->dwData == NIM_ADD)
                tray->m_added.push_back({sender, reinterpret_cast<HWND>(wParam), Now()});
            return TRUE;
        }
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    }

    struct Added {
        DWORD processId;
        HWND window;
        double time;
    };

    HWND m_hWnd = nullptr;
    std::vector<Added> m_added;
};

class Program {
public:
    explicit Program(const std::string& path) : m_path(path) {}
    ~Program() { Stop(); }

    bool Start()
    {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info{};
        std::string commandLine = "\"" + m_path + "\"";
        m_started = Now();
        if (!::CreateProcessA(m_path.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &info))
            return false;
        ::CloseHandle(info.hThread);
        m_process.reset(info.hProcess);
        m_id = info.dwProcessId;
        return true;
    }

    // Milliseconds from creation to the first NIM_ADD, or negative when none came; then
    // the program has started either way.
    double WaitUntilStarted(StandInTray& tray, DWORD iconTimeoutMs)
    {
        const double added = tray.WaitForIcon(m_id, iconTimeoutMs);
        if (added < 0)
            ::WaitForInputIdle(m_process.get(), kNoIconWaitMs);
        return added < 0 ? added : added - m_started;
    }

    DWORD Id() const { return m_id; }

    SIZE_T WorkingSet() const
    {
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof counters;
        ::GetProcessMemoryInfo(m_process.get(), &counters, sizeof counters);
        return counters.WorkingSetSize;
    }

    double CpuMilliseconds() const
    {
        FILETIME creation, exit, kernel, user;
        if (!::GetProcessTimes(m_process.get(), &creation, &exit, &kernel, &user))
            return -1;
        auto ticks = [](const FILETIME& t) { return (ULONGLONG(t.dwHighDateTime) << 32) | t.dwLowDateTime; };
        return double(ticks(kernel) + ticks(user)) / 10000;
    }

    // The process is the bench's own child, ended through its handle.
    void Stop()
    {
        if (!m_process)
            return;
        ::TerminateProcess(m_process.get(), 0);
        ::WaitForSingleObject(m_process.get(), 10000);
        m_process.reset();
    }

private:
    std::string m_path;
    scoped::Kernel m_process;
    DWORD m_id = 0;
    double m_started = 0;
};

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}

// The programs take turns, run after run, so a slow spell of the machine falls on all
// of them alike; each run begins with the next one, so none always starts right after the
// same other program has been ended.
template <typename Measure>
bool InTurn(int run, std::size_t programCount, Measure measure)
{
    for (std::size_t k = 0; k < programCount; ++k)
        if (!measure((run + k) % programCount))
            return false;
    return true;
}

// The system's clean-up of an ended program is done before the next one starts.
void LetEndSettle()
{
    StandInTray::Pump(200);
}

// The ratio of two programs' times, run by run, then the median of those: runs next to
// each other share the machine's slow spells, which a ratio of medians would not cancel.
double MedianPairedRatio(const std::vector<double>& ms, const std::vector<double>& baselineMs)
{
    std::vector<double> ratios;
    for (std::size_t run = 0; run < ms.size(); ++run)
        if (ms[run] > 0 && baselineMs[run] > 0)
            ratios.push_back(ms[run] / baselineMs[run]);
    return Median(ratios);
}

int MeasureStart(int runs, const std::vector<std::string>& programs)
{
    StandInTray tray;
    // Milliseconds to the icon, run by run; negative for a run without one.
    std::vector<std::vector<double>> startMs(programs.size()), workingSetKiB(programs.size());
    std::vector<DWORD> iconTimeoutMs(programs.size(), 30000);
    for (int run = 0; run < runs; ++run) {
        const bool measured = InTurn(run, programs.size(), [&](std::size_t i) {
            Program program(programs[i]);
            if (!program.Start())
                return false;
            const double ms = program.WaitUntilStarted(tray, iconTimeoutMs[i]);
            if (ms < 0)
                iconTimeoutMs[i] = kNoIconWaitMs;   // no icon: don't wait long for one again
            startMs[i].push_back(ms);
            StandInTray::Pump(500);  // let start-up settle before reading the memory
            workingSetKiB[i].push_back(double(program.WorkingSet()) / 1024);
            program.Stop();
            LetEndSettle();
            return true;
        });
        if (!measured)
            return 1;
    }
    for (std::size_t i = 0; i < programs.size(); ++i) {
        std::vector<double> added;
        std::copy_if(startMs[i].begin(), startMs[i].end(), std::back_inserter(added),
                     [](double ms) { return ms >= 0; });
        if (added.empty())
            std::printf("none %.0f\n", Median(workingSetKiB[i]));
        else
            std::printf("%.1f %.0f %.3f\n", Median(added), Median(workingSetKiB[i]),
                        MedianPairedRatio(startMs[i], startMs.back()));
    }
    return 0;
}

struct ShownWindowSearch {
    DWORD processId;
    const char* caption;
    HWND found;
};

BOOL CALLBACK FindShownWindow(HWND window, LPARAM lParam)
{
    auto& search = *reinterpret_cast<ShownWindowSearch*>(lParam);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    char caption[256] = {};
    ::GetWindowTextA(window, caption, sizeof caption);
    if (processId != search.processId || !::IsWindowVisible(window) || std::strcmp(caption, search.caption) != 0)
        return TRUE;
    search.found = window;
    return FALSE;
}

// Milliseconds from posting the command until the window shows, which is then closed again;
// negative when it did not show in time.
double TimeOpening(const Program& program, HWND iconWindow, UINT command, const char* caption)
{
    constexpr DWORD kShowTimeoutMs = 30000;
    ShownWindowSearch search{program.Id(), caption, nullptr};
    const double posted = Now();
    ::PostMessageA(iconWindow, WM_COMMAND, command, 0);
    while (!search.found && Now() < posted + kShowTimeoutMs) {
        ::EnumWindows(&FindShownWindow, reinterpret_cast<LPARAM>(&search));
        if (!search.found)
            StandInTray::Pump(1);
    }
    const double shown = Now();
    if (!search.found)
        return -1;
    ::PostMessageA(search.found, WM_SYSCOMMAND, SC_CLOSE, 0);
    while (::IsWindow(search.found) && Now() < shown + kShowTimeoutMs)
        StandInTray::Pump(10);
    StandInTray::Pump(200);  // let the program settle before it is asked again
    return shown - posted;
}

int MeasureOpening(int runs, UINT command, const char* caption, const std::vector<std::string>& programs)
{
    StandInTray tray;
    std::vector<std::vector<double>> firstMs(programs.size()), laterMs(programs.size());
    for (int run = 0; run < runs; ++run) {
        const bool measured = InTurn(run, programs.size(), [&](std::size_t i) {
            Program program(programs[i]);
            if (!program.Start() || program.WaitUntilStarted(tray, 30000) < 0)
                return false;
            StandInTray::Pump(500);  // start-up done, as when a user first clicks
            const HWND iconWindow = tray.IconWindow(program.Id());
            const double first = TimeOpening(program, iconWindow, command, caption);
            const double later = TimeOpening(program, iconWindow, command, caption);
            if (first < 0 || later < 0)
                return false;
            firstMs[i].push_back(first);
            laterMs[i].push_back(later);
            program.Stop();
            LetEndSettle();
            return true;
        });
        if (!measured)
            return 1;
    }
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("%.1f %.1f %.3f %.3f\n", Median(firstMs[i]), Median(laterMs[i]),
                    MedianPairedRatio(firstMs[i], firstMs.back()), MedianPairedRatio(laterMs[i], laterMs.back()));
    return 0;
}

int MeasureIdle(int seconds, const std::vector<std::string>& paths)
{
    StandInTray tray;
    std::vector<std::unique_ptr<Program>> programs;
    for (const std::string& path : paths) {
        programs.push_back(std::make_unique<Program>(path));
        if (!programs.back()->Start())
            return 1;
        programs.back()->WaitUntilStarted(tray, kNoIconWaitMs);
    }
    StandInTray::Pump(2000);
    std::vector<double> before;
    for (const auto& program : programs)
        before.push_back(program->CpuMilliseconds());
    const double end = Now() + seconds * 1000.0;
    while (Now() < end)
        StandInTray::Pump(100);
    for (std::size_t i = 0; i < programs.size(); ++i)
        std::printf("%.1f\n", programs[i]->CpuMilliseconds() - before[i]);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    const std::string mode = argv[1];
    const int count = std::atoi(argv[2]);
    const std::vector<std::string> programs(argv + 3, argv + argc);
    if (mode == "start")
        return MeasureStart(count, programs);
    if (mode == "idle")
        return MeasureIdle(count, programs);
    if (mode == "open" && argc >= 6)
        return MeasureOpening(count, static_cast<UINT>(std::atoi(argv[3])), argv[4],
                              std::vector<std::string>(argv + 5, argv + argc));
    return 2;
}
