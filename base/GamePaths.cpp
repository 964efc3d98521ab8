#include "base/GamePaths.h"

#include "platform/Platform.h"

namespace {
std::string Join(std::string a, const char* b)
{
    a += platform::kSep;
    return a += b;
}
}  // namespace

std::string ServerProgramPath(const std::string& gameFolder)
{
    return Join(Join(gameFolder, "Bin"), "DedicatedServer.exe");
}

std::string ServerLogPath(const std::string& gameFolder) { return Join(gameFolder, "DedicatedServer.log"); }

std::string ServerIniPath(const std::string& gameFolder)
{
    return Join(Join(Join(gameFolder, "Content"), "DravicQel2"), "DedicatedServer.ini");
}

std::string ServerIniTwinPath(const std::string& gameFolder)
{
    return Join(Join(Join(gameFolder, "Content"), "DravicQel2"), "DedicatedServerTemp.ini");
}

std::string UtilityFolderPath(const std::string& gameFolder) { return Join(gameFolder, "DedicatedServerUtility"); }

std::string ConfigFolderPath(const std::string& gameFolder) { return Join(UtilityFolderPath(gameFolder), "Config"); }

std::string MapListFolder(const std::string& gameFolder) { return Join(UtilityFolderPath(gameFolder), "MapLists"); }

std::string ConfigScriptPath(const std::string& gameFolder, const std::string& configName)
{
    return Join(ConfigFolderPath(gameFolder), configName.c_str()) + ".cfg";
}

std::string ConfigCrashCopyPath(const std::string& gameFolder, const std::string& configName)
{
    return Join(ConfigFolderPath(gameFolder), configName.c_str()) + "Temp.cfg";
}

std::string ServerScriptArgument(const std::string& configName)
{
    return "DedicatedServerUtility/Config/" + configName + ".cfg";
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
