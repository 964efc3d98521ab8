// The options script the game's server reads at launch, <name>.cfg in the utility's Config
// folder, and the frame-rate line of the game's own DedicatedServer.ini.
#pragma once
#include "config/ServerConfig.h"

#include <string>

struct CLevelCatalogue;

// Lines of the server INI are handled in pieces of at most this many characters.
constexpr size_t kIniPieceChars = 254;

// The script's text ("\n" line ends) for the record as it stands; rebuilds the disabled texts and
// g_strMapListFile in the record first, as the script carries them.
std::string BuildConfigScript(CServerConfig& cfg, const CLevelCatalogue& catalogue);

// Writes the script of the current configuration, then rewrites DedicatedServer.ini through
// DedicatedServerTemp.ini with the record's frame rate (raised to kMinServerFps first). The INI is
// replaced only when every step succeeded. A name that cannot be a file name writes nothing.
// True when both files were written.
bool WriteConfigFile(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                     CServerConfig& cfg);

struct CConfigFileResult {
    bool m_bScriptWritten = false;  // <name>.cfg written whole
    bool m_bIniWritten = false;     // DedicatedServer.ini replaced (never after a failed script)
};
// WriteConfigFile, telling the two files apart for a caller that reports them.
CConfigFileResult WriteConfigFiles(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                                  CServerConfig& cfg);
