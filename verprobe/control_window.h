// The control's own window while a container has it active in place. It keeps
// no state: all it does is paint.
#pragma once

#include <windows.h>

// A visible child of parent at position (parent's client coordinates), clipped to clip.
HWND CreateControlWindow(HWND parent, const RECT& position, const RECT& clip);
void PlaceControlWindow(HWND window, const RECT& position, const RECT& clip);

// DLL_PROCESS_DETACH: the class belongs to the DLL's instance.
void UnregisterControlWindowClass();
