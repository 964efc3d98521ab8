// The Installer's folder browser: the shell's browser with an edit box, titled for the game
// folder, nothing preselected.
#pragma once
#include <windows.h>

#include <string>

// The chosen folder's path as the browser returns it, or empty when the user cancelled.
std::string BrowseForGameFolder(HWND owner);
