// What a screen reader learns of a control beyond what the system's own accessible object
// tells from the control's class and text: a name, a role, a default action and what it
// does, answered from the control's WM_GETOBJECT. The accessibility library is loaded with
// the first request, never at start.
#pragma once

#include <windows.h>

#include <string>

struct AccessibleDescription {
    // Each left empty (0) keeps the system's answer.
    std::string name;
    LONG role = 0;
    LONG addedState = 0;
    std::string defaultAction;
    // The default action: this message posted to the window, as the user's own action
    // would arrive (no action when the window is null).
    HWND actionWindow = nullptr;
    UINT actionMessage = 0;
    WPARAM actionWParam = 0;
    LPARAM actionLParam = 0;
};

// The answer to WM_GETOBJECT: for the client object, the system's object with the
// description laid over it; 0 for any other request (or when the library cannot be had),
// which leaves the answer to the system.
LRESULT AnswerGetObject(HWND window, WPARAM flags, LPARAM objectId,
                        const AccessibleDescription& description);
