// Every path of the game's files that Tollan builds, from the game folder (absolute, no trailing
// separator). Paths handed to the server itself are relative to the game folder and use "/".
#pragma once
#include <string>

// <game>\Bin\DedicatedServer.exe
std::string ServerProgramPath(const std::string& gameFolder);
// <game>\DedicatedServer.log
std::string ServerLogPath(const std::string& gameFolder);
// <game>\Content\DravicQel2\DedicatedServer.ini, and its twin DedicatedServerTemp.ini
std::string ServerIniPath(const std::string& gameFolder);
std::string ServerIniTwinPath(const std::string& gameFolder);
// <game>\DedicatedServerUtility, and its folders Config and MapLists
std::string UtilityFolderPath(const std::string& gameFolder);
std::string ConfigFolderPath(const std::string& gameFolder);
std::string MapListFolder(const std::string& gameFolder);
// <game>\DedicatedServerUtility\Config\<name>.cfg and its crash copy <name>Temp.cfg
std::string ConfigScriptPath(const std::string& gameFolder, const std::string& configName);
std::string ConfigCrashCopyPath(const std::string& gameFolder, const std::string& configName);
// The script as the server's command line names it: DedicatedServerUtility/Config/<name>.cfg
std::string ServerScriptArgument(const std::string& configName);

// The game's registry `Path` as a folder: every leading "$" goes, then every trailing "/", then
// each "//" becomes one backslash ("$D://Games//DQ2//" -> "D:\Games\DQ2"). Tollan and the
// Installer read the same key.
std::string CleanRegistryGamePath(const std::string& raw);
