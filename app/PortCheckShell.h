// The port check before a launch from Start, on Windows: the TCP listener tables from iphlpapi
// and the owner's image name from a process snapshot; the decision and the texts are PortCheck's.
#pragma once
#include <windows.h>

// True when nothing else listens on 127.0.0.1:25600 (or the tables cannot be read, which is
// logged). Otherwise shows the "Tollan" message, logs the "ERR:  " line and returns false.
bool ConsolePortIsFree(HWND owner);
// The same for the restart after a crash, which nobody asked for at the screen: no message box,
// only the log line.
bool ConsolePortIsFreeForRestart();
