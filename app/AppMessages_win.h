// The private window messages of Tollan's main window. They start at WM_APP: standard dialogs and
// common controls use the WM_USER range for their own messages. The server run has its own window
// and messages (server/RunMessages_win.h).
#pragma once
#include <windows.h>

enum : UINT {
    // The notification area icon's mouse and keyboard messages (Shell_NotifyIcon).
    WM_APP_TRAY = WM_APP + 3,
    // Posted at the end of start-up, once the window shows: a launch the command line or the
    // settings ask for.
    WM_APP_START_UP = WM_APP + 4,
};
