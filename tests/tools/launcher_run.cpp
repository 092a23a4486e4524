#include "tests/tools/launcher_run.h"

#include "tests/tools/launcher_frame.h"
#include "tests/tools/window_driver.h"

namespace fs = std::filesystem;

LauncherRun::LauncherRun(const std::string& program, const std::string& stackTraceDll, const std::string& folder)
    : m_root(fs::absolute(folder))
{
    fs::remove_all(m_root);
    for (const fs::path& folder : {Bin(), Work(), Temp()})
        fs::create_directories(folder);
    fs::copy_file(program, Bin() / "kelvlaunch.exe");
    fs::copy_file(stackTraceDll, Bin() / "StackTrace.dll");
}

bool LauncherRun::Launch()
{
    const std::string temp = Temp().string();
    return m_process.Start((Bin() / "kelvlaunch.exe").string(), "", Work().string(),
                           {{"TMP", temp}, {"TEMP", temp}});
}

bool LauncherRun::Start()
{
    // Under load Wine can report the start idle before the frame exists: wait for both.
    return Launch() && m_process.WaitForInputIdle(kTimeoutMs) &&
           WaitUntil([this] { return Frame() != nullptr; }, kTimeoutMs);
}

HWND LauncherRun::Frame() const
{
    return LauncherFrame(m_process.Id());
}

bool LauncherRun::Command(UINT id) const
{
    return SendLauncherCommand(m_process.Id(), id, kTimeoutMs);
}

bool LauncherRun::Exit(DWORD& exitCode) const
{
    return PostLauncherExit(m_process.Id()) && WaitForExit(exitCode);
}

bool LauncherRun::WaitForExit(DWORD& exitCode) const
{
    return m_process.WaitForExit(kTimeoutMs, exitCode);
}
