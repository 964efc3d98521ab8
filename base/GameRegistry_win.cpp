#include "base/GameRegistry.h"

#include "base/GamePaths.h"
#include "base/Names.h"
#include "platform/Registry_win.h"

std::optional<std::string> ReadGameFolderFromRegistry()
{
    platform::CRegKey key;
    if (!key.Open(HKEY_LOCAL_MACHINE, kGameKeyPath, KEY_READ | KEY_WOW64_32KEY))
        return std::nullopt;
    return CleanRegistryGamePath(key.ReadString(kGamePathValue, 260).value_or(std::string()));
}
