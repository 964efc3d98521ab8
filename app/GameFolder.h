// The search for the game folder: the game installation that holds the dedicated server program,
// as an absolute path without a trailing separator. It runs once, while the main window starts.
#pragma once
#include <functional>
#include <string>

// True when "<game>\Bin" holds an entry named exactly "DedicatedServer.exe" (letter case counts).
bool HasServerProgram(const std::string& gameFolder);


// The steps of the search, supplied by the shell (registry, folder browser, message box).
struct CGameFolderSearch {
    std::function<std::string()> m_readStoredPath;         // `GamePath`, empty when missing
    std::function<bool(std::string&)> m_readGameRegistry;  // true when the game's key exists
    std::function<std::string()> m_browse;                 // the chosen folder, empty on cancel
    std::function<void()> m_promptValidFolder;             // "Please select a valid ..." message
    std::function<bool(const std::string&)> m_hasServerProgram = HasServerProgram;
};

// Stored path with the server program, else the game's registry entry (taken as it is), else up
// to three browses with a prompt after the first and second failure. `folder` is what was tried
// last; false when the third browse failed too.
bool SearchGameFolder(const CGameFolderSearch& steps, std::string& folder);
