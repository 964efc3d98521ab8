// The private messages of the server runner's own window (a message-only window): what its log
// follower, its remote console socket and its look at the server's windows report. They start at
// WM_APP, apart from the main window's (app/AppMessages.h), although no window sees both.
#pragma once
#include <windows.h>

enum : UINT {
    // A run's log follower reports: wParam is the run's identity, lParam a const CFollowerNote*
    // (LogFollower_win.h). Sent synchronously, so notes keep their order.
    WM_APP_FOLLOWER = WM_APP + 1,
    // Socket notifications of the remote console (WSAAsyncSelect).
    WM_APP_SOCKET = WM_APP + 2,
    // A look at the server's windows is done: wParam is the run, lParam an EWindowAnswer.
    WM_APP_WINDOWS_CHECKED = WM_APP + 5,
};
