// The game's own registry entry, read the same way by Tollan and by its Installer.
#pragma once
#include <optional>
#include <string>

// HKEY_LOCAL_MACHINE Software\Morvane\DravicQel2 in the 32-bit view: the game is a 32-bit program
// and writes its key there, and a 64-bit build would otherwise look in the other view. Nothing
// when the key is missing. Otherwise its value Path -- a string of at most 260 bytes, with or
// without its terminating zero -- cleaned as CleanRegistryGamePath does; empty when the value is
// missing, too long or of another type.
std::optional<std::string> ReadGameFolderFromRegistry();
