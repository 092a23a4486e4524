#include "soak_loops.h"

#include "res/resource.h"
#include "tests/e2e/setup/sheet_driver.h"
#include "tests/tools/menu_reading.h"
#include "tests/tools/window_driver.h"

namespace {

// The frame's tray-icon callback message; the icon id is the menu's resource id.
constexpr UINT WM_TRAY_NOTIFY = WM_APP + 10;

// The tray menu's "Import Planned Sessions": request, merge and write of the host list.
bool ImportPlannedSessions(const LauncherRun& run)
{
    return run.Command(ID_IMPORT_PLANNED);
}

// A right click on the icon as the shell reports it, the menu built and tracked, then
// closed with Escape as a user would.
bool OpenTrayMenu(const LauncherRun& run)
{
    const DWORD pid = run.Process().Id();
    const HWND frame = run.Frame();
    if (!frame || !::PostMessageA(frame, WM_TRAY_NOTIFY, IDR_TRAY_MENU, WM_RBUTTONUP))
        return false;
    if (!WaitUntil([pid] { return TrackedMenuWindow(pid) != nullptr; }, LauncherRun::kTimeoutMs))
        return false;
    PostMenuKey(::GetWindowThreadProcessId(frame, nullptr), VK_ESCAPE);
    return WaitUntil([pid] { return TrackedMenuWindow(pid) == nullptr; }, LauncherRun::kTimeoutMs);
}

// The menu's "Setup...": the sheet opened, then closed with its close box.
bool OpenSetupSheet(const LauncherRun& run)
{
    const HWND frame = run.Frame();
    if (!frame || !::PostMessageA(frame, WM_COMMAND, ID_SETUP, 0))
        return false;
    const HWND sheet = WaitForVisibleWindow(run.Process().Id(), kSheetCaption);
    if (!sheet)
        return false;
    ::PostMessageA(sheet, WM_SYSCOMMAND, SC_CLOSE, 0);
    // Destroyed, not just hidden: the next round's command must not reach the sheet's loop.
    return WaitUntil([sheet] { return !::IsWindow(sheet); }, LauncherRun::kTimeoutMs);
}

} // namespace

const SoakLoop kSoakLoops[] = {
    {"import planned sessions", 1000, ImportPlannedSessions},
    {"tray menu openings", 1000, OpenTrayMenu},
    {"Setup sheet openings", 200, OpenSetupSheet},
};
const int kSoakLoopCount = sizeof kSoakLoops / sizeof kSoakLoops[0];
