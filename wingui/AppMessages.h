// Every private window message of the program, in one place. They start at WM_APP: standard
// dialogs and common controls use the WM_USER range for their own messages.
#pragma once
#include <windows.h>

enum : UINT {
    // Reserved first entry; later messages are added below, one line each.
    WM_APP_FIRST = WM_APP,
    // A worker thread asks the user-interface thread to carry out a window operation.
    WM_APP_RUN_ON_UI = WM_APP + 1,
    // Socket notifications of the remote console (WSAAsyncSelect).
    WM_APP_SOCKET = WM_APP + 2,
};
