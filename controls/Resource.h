// Resource and control ids of the console's menu and find box and of the about dialog, as the
// resource scripts and the code share them.
#pragma once

// The console's context menu ("EditPopup") and its pictures.
#define IDB_MENU_COPY 308
#define IDB_MENU_SAVE 309
#define ID_EDIT_COPY_CONSOLE 57634
#define ID_EDIT_SAVE_CONSOLE 57604

// The console's find box (Ctrl+F).
#define IDD_CONSOLE_FIND 160
#define IDC_FIND_WHAT 1300
#define IDC_FIND_MATCH_CASE 1301
#define IDC_FIND_STATUS 1302

// The about dialog.
#define IDD_ABOUTBOX 100
// The two link labels; their ids are also the string-table ids of their tooltips.
#define IDC_AUTHOR_LINK 1074
#define IDC_MAKER_LINK 1075
