// Map list files: DedicatedServerUtility\MapLists\<name>.txt in the game folder, one deathmatch
// level path per line, in rotation order. The game server reads them too.
#pragma once
#include "base/GamePaths.h"
#include "maps/LevelCatalogue.h"

#include <string>
#include <vector>

// The text that makes a ".txt" file in the folder a map list.
extern const char* const kLevelPathMark;  // "Content/DravicQel2/Levels/"
// The list that is created when the current one is missing.
extern const char* const kDefaultMapListName;  // "MapList"


// Whether History.ini gives the name back as it was written: its reader drops the blanks that
// begin a value and every ";" that ends it, so the configuration would point at another list.
bool IsStorableMapListName(const std::string& name);

// Names (file name without ".txt") of the map lists in the folder, in file-system order. A file
// that cannot be opened is skipped; with bLogOpenFailures it is also logged. A name that is not
// storable is skipped too: chosen, it would not survive the store.
std::vector<std::string> ListMapLists(const std::string& gameFolder, bool bLogOpenFailures);

// Reads <folder>\<fileName> (fileName with ".txt") into the deathmatch slots it names, in file
// order. False (and a log line) when the file cannot be opened; `slots` is then untouched.
bool ReadMapList(const std::string& gameFolder, const std::string& fileName, const CLevelList& dm,
                 std::vector<int>& slots);

enum class EMapListSave {
    Saved,
    EmptyList,     // nothing to save; the editor tells the user
    UnsafeName,    // the name cannot be a file name in the folder, or is not storable; logged
    UnknownLevel,  // a slot that is not a filled deathmatch slot; nothing written
    Failed,        // the file could not be created or written; logged
};

// Writes the list <name>.txt from the deathmatch slots, creating the two folders when needed.
// On success iDmStartingLevel becomes the first slot, so the server starts on the list's first
// level; on any other result it is left as it was.
EMapListSave WriteMapList(const std::string& gameFolder, const std::string& name,
                          const std::vector<int>& slots, const CLevelList& dm,
                          int& iDmStartingLevel);

// Writes MapList.txt with every deathmatch level of the catalogue (the folder is not created).
// Returns the name that becomes the current map list, "MapList", whether or not it worked.
std::string CreateDefaultMapList(const std::string& gameFolder, const CLevelList& dm);
