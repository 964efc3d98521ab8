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

std::string CleanRegistryGamePath(const std::string& raw)
{
    std::size_t first = raw.find_first_not_of('$');
    if (first == std::string::npos)
        return std::string();
    std::string s = raw.substr(first);
    std::size_t last = s.find_last_not_of('/');
    s.erase(last == std::string::npos ? 0 : last + 1);
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '/' && i + 1 < s.size() && s[i + 1] == '/') {
            out += '\\';
            ++i;
        } else {
            out += s[i];
        }
    }
    return out;
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
