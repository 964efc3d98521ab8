// Resource and control ids of the main window, its menus and the scheduled restart dialog, as
// resources/Tollan.rc and the code share them.
#pragma once

#define IDR_MAINFRAME 128
#define IDI_SMALL 157
#define IDD_TOLLAN_DIALOG 102
#define IDR_MAIN_MENU 129

// Main dialog controls
#define IDC_START_SERVER 1
#define IDC_RESTART_SERVER 1026
#define IDC_CONSOLE 1056
#define IDC_COMMAND_LINE 1057
#define IDC_CONFIG_SETTINGS 1058
#define IDC_PAUSE_SERVER 1060
#define IDC_LIST_PLAYERS 1061
#define IDC_CONFIG_LIST 1063
#define IDC_CFG_LABEL 1064
#define IDC_CURRENT_CONFIG_LABEL 1065

// Menu commands
#define ID_CLOSE_UTILITY 2
#define ID_OPEN_CONFIG_FILE 32775
#define ID_OPEN_LOG_FILE 32784
#define ID_CHECK_FOR_UPDATES 32793
#define ID_CLEAR_CONSOLE 32795
#define ID_OPEN_LOGS_FOLDER 32810
#define ID_SCHEDULED_RESTART 32811
#define ID_ALERTS 32816
#define ID_START_AT_LAUNCH 32812
#define ID_MINIMIZE_TO_TRAY 32813
// The notification area icon's menu.
#define ID_TRAY_SHOW 32814
#define ID_TRAY_EXIT 32815
#define ID_APP_ABOUT 57664
// System menu command: its low four bits are clear, as the system menu requires.
#define IDM_ABOUTBOX 16

// Menu bitmaps
#define IDB_MENU_CLOSE 301
#define IDB_MENU_CONFIG_FILE 302
#define IDB_MENU_LOG_FILE 303
#define IDB_MENU_UPDATE_ON 304
#define IDB_MENU_UPDATE_OFF 305
#define IDB_MENU_CLEAR_CONSOLE 306
#define IDB_MENU_ABOUT 307

// The scheduled restart dialog.
#define IDD_SCHEDULED_RESTART 162
#define IDC_RESTART_DAILY 1320
#define IDC_RESTART_EVERY_HOURS 1321
#define IDC_NEXT_RESTART 1322

// The alerts dialog.
#define IDD_ALERTS 163
#define IDC_ALERT_ADDRESS 1330
#define IDC_ALERT_TEST 1331
#define IDC_ALERT_OUTCOME 1332
