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
#define ID_BE_GUEST 32796
#define IDD_ACCESS_CODE 151
#define IDC_ACCESS_CODE 1027
// The Setup sheet: its pages, the Session Information dialog and the link's hand cursor.
#define ID_SETUP 32791             // "&Setup..."
#define IDD_HOST_MEETINGS 129
#define IDD_GUEST_MEETINGS 130
#define IDD_SESSION_INFO 133
#define IDD_LOGIN_INFO 135
#define IDD_ABOUT 136
#define IDC_HAND_CURSOR 141
#define IDC_HOST_DELETE 1008
#define IDC_HOST_ADD 1009
#define IDC_HOST_LIST 1012
#define IDC_SESSION_DESCRIPTION 1014
#define IDC_SESSION_ACCESS_CODE 1015
#define IDC_HOST_EDIT 1017
#define IDC_LOGIN_EMAIL 1018
#define IDC_LOGIN_PASSWORD 1019
#define IDC_LOGIN_NAME 1020
#define IDC_ABOUT_LINK 1021
#define IDC_LOGIN_VALIDATE 1022
#define IDC_GUEST_ADD 1023
#define IDC_GUEST_DELETE 1024
#define IDC_GUEST_EDIT 1025
#define IDC_GUEST_LIST 1026
#define IDC_LOGIN_CLEAR 1028
