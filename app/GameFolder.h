// The search for the game folder: the game installation that holds the dedicated server program,
// as an absolute path without a trailing separator. It runs once, while the main window starts.
#pragma once
#include <functional>
#include <string>

// True when "<game>\Bin" holds an entry named exactly "DedicatedServer.exe" (letter case counts).
bool HasServerProgram(const std::string& gameFolder);


// The steps of the search, supplied by the shell (registry, folder browser, message box).
struct CGameFolderSearch {
    std::function<std::string()> readStoredPath;       // `GamePath`, empty when missing
    std::function<bool(std::string&)> readGameRegistry; // true when the game's key exists
    std::function<std::string()> browse;               // the chosen folder, empty on cancel
    std::function<void()> promptValidFolder;           // "Please select a valid ..." message
    std::function<bool(const std::string&)> hasServerProgram = HasServerProgram;
};

// Stored path with the server program, else the game's registry entry (taken as it is), else up
// to three browses with a prompt after the first and second failure. `folder` is what was tried
// last; false when the third browse failed too.
bool SearchGameFolder(const CGameFolderSearch& steps, std::string& folder);
