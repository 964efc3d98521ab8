// The Windows side of the game folder search: the game's registry entry, the folder browser and
// the messages that ask the user to act.
#pragma once
#include <windows.h>

#include <string>

// Sets the game folder from `GamePath`, the game's registry entry or up to three browses.
bool FindGameFolder(HWND owner);
// HKLM Software\Morvane\DravicQel2, value Path; true when the key exists.
bool FindGameFolderInRegistry();
void BrowseForGameFolder(HWND owner);
// The shell folder browser with an edit box; the chosen folder, or empty when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder);

// Message boxes of the program: titled "Tollan", one OK button, a warning icon.
void ShowTollanMessage(HWND owner, const char* text);
