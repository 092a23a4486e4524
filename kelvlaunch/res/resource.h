// Resource and command ids of the launcher.
#pragma once

#define IDR_MAINFRAME 128          // the application icon; also the main frame's resource id
#define IDR_TRAY_MENU 142          // the full tray menu
#define IDR_TRAY_MENU_REDUCED 143  // the tray menu of an account with a skin

#define ID_HOST_SESSION 32789
#define ID_SUPPORT 32793           // "Help" in the full menu
#define ID_MANAGE_ACCOUNT 32797
#define ID_APP_EXIT 32798
#define ID_SUPPORT_REDUCED 32806   // "Help" in the reduced menu, same handler

// Dynamic ids of the "Join a Planned Session" submenu.
#define ID_SESSION_FIRST 10000     // one per listed session, from here up
#define ID_IMPORT_PLANNED 11000    // "Import Planned Sessions"

// The tray menu's other commands and the guest access-code dialog.
#define ID_SETUP 32791
#define ID_BE_GUEST 32796
#define IDD_ACCESS_CODE 151
#define IDC_ACCESS_CODE 1027
