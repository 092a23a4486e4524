// Resource and command ids of the launcher.
#pragma once

#define IDR_MAINFRAME 128          // the application icon; also the main frame's resource id
#define IDR_TRAY_MENU 142          // the full tray menu
#define IDR_TRAY_MENU_REDUCED 143  // the tray menu of an account with a skin

#define ID_APP_EXIT 32798
