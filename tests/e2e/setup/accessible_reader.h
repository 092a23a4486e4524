// A screen reader's view of a window, through the system's accessibility interface: what
// it would say for each control.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct AccessibleControl {
    int id = 0;                // the control's id, to tell which one it is
    std::string name;          // empty when it has none
    std::string shortcut;      // "Alt+N", or empty
    long role = 0;
    std::string defaultAction;
};

// The control's client object as a screen reader gets it (AccessibleObjectFromWindow).
AccessibleControl ReadAccessible(HWND control);
// Every visible child control of the window that takes the focus, in tab order.
std::vector<AccessibleControl> ReadTabStops(HWND window);
// Asks the control to do its default action, as a screen reader's command would.
bool DoDefaultAction(HWND control);
