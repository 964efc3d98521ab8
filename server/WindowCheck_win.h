// One look at whether the server's top-level windows still handle messages, made on a thread of
// its own: a server that hangs must never hold Tollan's window. The answer comes back as
// WM_APP_WINDOWS_CHECKED (wParam the run, lParam an EWindowAnswer).
#pragma once
#include <windows.h>

#include "server/RunModel.h"

// False when the look cannot be made (no thread); nothing is posted then.
bool StartWindowCheck(HWND notify, RunId run, DWORD serverPid);
