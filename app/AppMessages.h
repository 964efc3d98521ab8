// Every private window message of Tollan, in one place. They start at WM_APP: standard dialogs
// and common controls use the WM_USER range for their own messages.
#pragma once
#include <windows.h>

enum : UINT {
    // A run's log follower reports to the main window: wParam is the run's identity, lParam a
    // const CFollowerNote* (ServerLogFollower.h). Sent synchronously, so notes keep their order.
    WM_APP_FOLLOWER = WM_APP + 1,
    // Socket notifications of the remote console (WSAAsyncSelect).
    WM_APP_SOCKET = WM_APP + 2,
    // The notification area icon's mouse and keyboard messages (Shell_NotifyIcon).
    WM_APP_TRAY = WM_APP + 3,
    // Posted at the end of start-up, once the window shows: a launch the command line or the
    // settings ask for.
    WM_APP_START_UP = WM_APP + 4,
    // A look at the server's windows is done: wParam is the run, lParam an EWindowAnswer.
    WM_APP_WINDOWS_CHECKED = WM_APP + 5,
};
