#include "tests/tools/launcher_frame.h"

#include "tests/tools/window_driver.h"

namespace {

constexpr UINT kExitCommand = 32798;

} // namespace

HWND LauncherFrame(DWORD processId)
{
    // Its message boxes carry the same title.
    for (HWND hWnd : TopLevelWindowsOf(processId))
        if (WindowText(hWnd) == "kelvlaunch" && WindowClassName(hWnd) != "#32770")
            return hWnd;
    return nullptr;
}

bool SendLauncherCommand(DWORD processId, UINT id, DWORD timeoutMs)
{
    const HWND frame = LauncherFrame(processId);
    DWORD_PTR result = 0;
    return frame && ::SendMessageTimeoutA(frame, WM_COMMAND, MAKEWPARAM(id, 0), 0, SMTO_NORMAL,
                                          timeoutMs, &result) != 0;
}

bool PostLauncherExit(DWORD processId)
{
    const HWND frame = LauncherFrame(processId);
    return frame && ::PostMessageA(frame, WM_COMMAND, MAKEWPARAM(kExitCommand, 0), 0);
}
