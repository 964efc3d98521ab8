#include "app/GameFolder.h"

#include "platform/Platform.h"

namespace {
std::string g_gameFolder;
}

const std::string& GameFolder() { return g_gameFolder; }

void SetGameFolder(const std::string& folder) { g_gameFolder = folder; }

bool HasServerProgram(const std::string& gameFolder)
{
    for (const platform::DirEntry& e : platform::ListDirectory(gameFolder + platform::kSep + "Bin")) {
        if (e.name == "." || e.name == "..")
            continue;
        if (e.name == "DedicatedServer.exe")
            return true;
    }
    return false;
}

bool SearchGameFolder(const CGameFolderSearch& steps)
{
    SetGameFolder(steps.readStoredPath());
    if (steps.hasServerProgram(GameFolder()))
        return true;

    std::string fromRegistry;
    if (steps.readGameRegistry(fromRegistry)) {
        SetGameFolder(fromRegistry);
        return true;
    }

    for (int attempt = 1; attempt <= 3; ++attempt) {
        SetGameFolder(steps.browse());
        if (steps.hasServerProgram(GameFolder()))
            return true;
        if (attempt < 3)
            steps.promptValidFolder();
    }
    return false;
}
