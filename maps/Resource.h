// Resource and control ids of the map list editor, as the resource scripts and the code share them.
#pragma once

#define IDD_MAPLIST_DIALOG 147
// Pictures of the map list editor: the row picture (16 x 15) and the menu entries.
#define IDB_MAP_ROW 148
#define IDB_MENU_ADD_MAP 149
#define IDB_MENU_REMOVE_MAP 150

// Map list editor (Save is IDOK, Cancel / Finished is IDCANCEL)
#define IDC_CLEAR_MAP_LIST 1108
#define IDC_RANDOMIZE_MAP_LIST 1109
#define IDC_MAP_LIST_NAME 1110
#define IDC_AVAILABLE_MAPS 1111
#define IDC_MAP_LIST 1112
#define IDC_MAP_LIST_HINT 1113
