#include "tests/tools/launcher_run.h"

#include "tests/tools/window_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr UINT kExitCommand = 32798;

} // namespace

LauncherRun::LauncherRun(const std::string& program, const std::string& stackTraceDll)
    : m_root(fs::absolute("run"))
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
    // Message boxes carry the same title.
    for (HWND hWnd : TopLevelWindowsOf(m_process.Id()))
        if (WindowText(hWnd) == "kelvlaunch" && WindowClassName(hWnd) != "#32770")
            return hWnd;
    return nullptr;
}

bool LauncherRun::Command(UINT id) const
{
    const HWND frame = Frame();
    DWORD_PTR result = 0;
    return frame && ::SendMessageTimeoutA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL,
                                          kTimeoutMs, &result) != 0;
}

bool LauncherRun::Exit(DWORD& exitCode) const
{
    // Posted: the frame is destroyed while handling it, so no reply would come back.
    const HWND frame = Frame();
    return frame && ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0) &&
           WaitForExit(exitCode);
}

bool LauncherRun::WaitForExit(DWORD& exitCode) const
{
    return m_process.WaitForExit(kTimeoutMs, exitCode);
}
