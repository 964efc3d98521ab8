// Updater.exe: the shortcuts' target. It makes no network check; it starts Tollan.exe from its
// own folder, with that folder as the working directory.
#include <windows.h>

#include "platform/Handle_win.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char folder[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    char* slash = folder + n;
    while (slash > folder && *slash != '\\')
        --slash;
    *slash = '\0';

    char program[MAX_PATH + 16];
    char commandLine[MAX_PATH + 32];
    wsprintfA(program, "%s\\Tollan.exe", folder);
    wsprintfA(commandLine, "\"%s\"", program);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(program, commandLine, nullptr, nullptr, FALSE, 0, nullptr, folder, &si, &pi)) {
        char text[MAX_PATH + 96];
        wsprintfA(text, "The DQ2 Dedicated Server Utility could not be started from\n%s", folder);
        MessageBoxA(nullptr, text, "Tollan", MB_OK | MB_ICONWARNING);
        return 1;
    }
    platform::CHandle thread(pi.hThread), process(pi.hProcess);
    return 0;
}
