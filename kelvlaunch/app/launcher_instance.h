// One launcher per logon session and working folder. Two launchers on one folder would
// each keep their own copy of the lists, and the next save of one would undo what the
// other stored; so a later start hands over to the running launcher and ends.
#pragma once

#include "scoped_win.h"

#include <windows.h>

#include <string>

class CLauncherInstance {
public:
    // Takes the working folder's mutex; false when another launcher holds it. The mutex
    // goes with the process.
    bool Claim();
    // Marks the frame as the folder's launcher, for later starts to find; the mark comes
    // off again before the window goes.
    void Publish(HWND frame) const;
    void Withdraw(HWND frame) const;
    // From a later start: asks the running launcher for its icon and menu, and lets it
    // take the foreground that this start was given.
    void WakeRunning() const;

private:
    std::string m_name;  // from the folder: the mutex's in Local\, and the frame's mark
    scoped::Kernel m_mutex;
};
