#include "base/GameRegistry.h"

#include "base/GamePaths.h"
#include "base/Names.h"
#include "wingui/Registry.h"

std::optional<std::string> ReadGameFolderFromRegistry()
{
    wingui::CRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kGameKeyPath, KEY_READ | KEY_WOW64_32KEY))
        return std::nullopt;
    return CleanRegistryGamePath(key.ReadString(kGamePathValue, 260).value_or(std::string()));
}
