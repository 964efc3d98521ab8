#include "app/GameFolder.h"

#include "platform/Platform.h"

bool HasServerProgram(const std::string& gameFolder)
{
    for (const platform::CDirEntry& e : platform::ListDirectory(gameFolder + platform::kSep + "Bin")) {
        if (e.m_strName == "." || e.m_strName == "..")
            continue;
        if (e.m_strName == "DedicatedServer.exe")
            return true;
    }
    return false;
}

bool SearchGameFolder(const CGameFolderSearch& steps, std::string& folder)
{
    folder = steps.m_readStoredPath();
    if (steps.m_hasServerProgram(folder))
        return true;

    std::string fromRegistry;
    if (steps.m_readGameRegistry(fromRegistry)) {
        folder = fromRegistry;
        return true;
    }

    for (int attempt = 1; attempt <= 3; ++attempt) {
        folder = steps.m_browse();
        if (steps.m_hasServerProgram(folder))
            return true;
        if (attempt < 3)
            steps.m_promptValidFolder();
    }
    return false;
}
