#include "app/launcher_instance.h"

#include "app/kelvlaunch_app.h"
#include "service/md5.h"

namespace {

// The text that fill (GetCurrentDirectoryA, GetLongPathNameA) writes: once into room for
// a path, and again only for a longer one, as each call can cost a look at every folder on
// the path. Empty when the call fails, or when the text grew again in between.
template <typename Fill>
std::string FilledText(Fill fill)
{
    std::string text(MAX_PATH, '\0');
    DWORD length = fill(text.data(), static_cast<DWORD>(text.size()));
    if (length >= text.size()) {  // the size it needs, with the NUL
        text.resize(length);
        length = fill(text.data(), static_cast<DWORD>(text.size()));
        if (length >= text.size())
            length = 0;
    }
    text.resize(length);
    return text;
}

// The working folder as every start names it alike: its full long path, case-folded.
std::string FoldedWorkingFolder()
{
    std::string folder = FilledText([](char* buffer, DWORD size) { return ::GetCurrentDirectoryA(size, buffer); });
    const std::string longPath = FilledText(
        [&folder](char* buffer, DWORD size) { return ::GetLongPathNameA(folder.c_str(), buffer, size); });
    if (!longPath.empty())
        folder = longPath;
    ::CharUpperBuffA(folder.data(), static_cast<DWORD>(folder.size()));
    return folder;
}

struct FrameSearch {
    const char* mark;
    HWND frame;
};

BOOL CALLBACK FindMarkedFrame(HWND window, LPARAM lParam)
{
    FrameSearch& search = *reinterpret_cast<FrameSearch*>(lParam);
    if (!::GetPropA(window, search.mark))
        return TRUE;
    search.frame = window;
    return FALSE;
}

} // namespace

bool CLauncherInstance::Claim()
{
    // A digest: a path holds backslashes and can be longer than an object's name may be.
    const CMD5 digest(FoldedWorkingFolder().c_str());
    m_name = std::string("Kelvara launcher ") + (digest.GetHexDigest() ? digest.GetHexDigest() : "");
    m_mutex.reset(::CreateMutexA(nullptr, FALSE, ("Local\\" + m_name).c_str()));
    // Without a mutex (the name taken by another kind of object) the launcher runs as before.
    if (!m_mutex)
        return true;
    // Abandoned: the launcher that held it ended without letting it go.
    const DWORD wait = ::WaitForSingleObject(m_mutex.get(), 0);
    return wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED;
}

void CLauncherInstance::Publish(HWND frame) const
{
    ::SetPropA(frame, m_name.c_str(), frame);
}

void CLauncherInstance::Withdraw(HWND frame) const
{
    ::RemovePropA(frame, m_name.c_str());
}

void CLauncherInstance::WakeRunning() const
{
    FrameSearch search{m_name.c_str(), nullptr};
    ::EnumWindows(&FindMarkedFrame, reinterpret_cast<LPARAM>(&search));
    // A launcher still starting has no frame yet: its icon comes without being asked for.
    if (!search.frame)
        return;
    DWORD processId = 0;
    ::GetWindowThreadProcessId(search.frame, &processId);
    ::AllowSetForegroundWindow(processId);
    ::PostMessageA(search.frame, launchedAgainMessage, 0, 0);
}
