// comctl32, loaded with the first dialog, property sheet or tooltip rather than at start:
// it registers all its window classes as it loads, which would cost a tray program a fifth
// of its time to the icon and 3 MiB of memory it may never use.
#pragma once

#include "winfx/late_library.h"

#include <commctrl.h>

struct CommonControlsApi {
    static constexpr char kFileName[] = "comctl32.dll";

    decltype(&::InitCommonControls) InitCommonControls = nullptr;
    decltype(&::PropertySheetA) PropertySheetA = nullptr;

    bool Bind(LateLibrary& library)
    {
        return library.Bind(InitCommonControls, "InitCommonControls") &&
               library.Bind(PropertySheetA, "PropertySheetA");
    }
};

// The common controls with their window classes registered; null when they cannot be had.
const CommonControlsApi* CommonControls();

// The same for a window about to open: when they cannot be had, the user is told why the
// window does not open.
const CommonControlsApi* CommonControlsForWindow();
