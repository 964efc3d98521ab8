// The Windows side of the game folder search: the game's registry entry, the folder browser and
// the messages that ask the user to act.
#pragma once
#include <windows.h>

#include <string>

class CSettingsStore;

// The game folder from `GamePath`, the game's registry entry or up to three browses; false when
// the third browse failed too.
bool FindGameFolder(HWND owner, CSettingsStore& settings, std::string& folder);
// HKLM Software\Morvane\DravicQel2, value Path, logged; true when the key exists.
bool FindGameFolderInRegistry(std::string& folder);
// The shell folder browser with an edit box; the chosen folder, or empty when cancelled.
std::string BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder);

