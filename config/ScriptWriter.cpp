#include "config/ScriptWriter.h"

#include "base/GamePaths.h"
#include "base/SafeName.h"
#include "base/TextFile.h"
#include "base/UtilityLog.h"
#include "config/Availability.h"
#include "base/Decimal.h"
#include "base/StringPrintf.h"
#include "config/ConfigKeys.h"
#include "maps/LevelCatalogue.h"
#include "platform/Platform.h"

namespace {


std::string StartingLevelPath(const CServerConfig& cfg, const CLevelCatalogue& catalogue)
{
    if (cfg.g_gtGameType == kGameTypeCoop)
        return catalogue.m_coop.PathAt(cfg.g_iCoopStartingLevel);
    if (cfg.g_gtGameType == kGameTypeDeathmatch)
        return catalogue.m_dm.PathAt(cfg.g_iDmStartingLevel);
    return std::string();
}

// Step 3: the script itself. False when it could not be created or written whole.
bool WriteScript(const std::string& path, CServerConfig& cfg, const CLevelCatalogue& catalogue)
{
    CTextWriter out;
    if (!out.Open(path)) {
        LogMessage("ERR:  Could not create config file: %s\n", path.c_str());
        return false;
    }
    out.Write(BuildConfigScript(cfg, catalogue));
    if (!out.Close()) {
        LogMessage("ERR:  Failed to write config file: %s\n", path.c_str());
        return false;
    }
    LogMessage("LOG:  %s was saved successfully.\n", cfg.m_strConfigName.c_str());
    return true;
}

// Steps 4 to 7: copy the INI to its twin with the frame-rate line replaced; swap it in only if
// everything before succeeded.
bool RewriteServerIni(const std::string& gameFolder, CServerConfig& cfg, bool scriptWritten)
{
    const std::string twinPath = ServerIniTwinPath(gameFolder);
    const std::string iniPath = ServerIniPath(gameFolder);

    CTextWriter out;
    if (!out.Open(twinPath)) {
        LogMessage("ERR:  Could not create DedicatedServerTemp.ini file during a call to "
                   "WriteConfigFile().\n");
        return false;
    }
    {
        // Closed before the swap: Windows cannot replace a file that is still open.
        CTextReader in(iniPath);
        if (!in.IsOpen()) {
            LogMessage("ERR:  Unable to open DedicatedServer.ini during a call to WriteConfigFile().\n");
            out.Close();
            return false;
        }
        std::string piece;
        while (in.ReadPiece(piece, kIniPieceChars)) {
            if (piece.find("qel_iDedicatedFPS") != std::string::npos)
                out.Write(StringPrintf("qel_iDedicatedFPS = %d;\n", RaiseServerFps(cfg)));
            else
                out.Write(piece);
        }
    }
    if (!out.Close()) {
        LogMessage("ERR:  Failed to write DedicatedServerTemp.ini during a call to "
                   "WriteConfigFile().\n");
        platform::RemoveFile(twinPath);
        return false;
    }
    if (!scriptWritten)
        return false;
    if (!platform::ReplaceFileWith(twinPath, iniPath)) {
        LogMessage("ERR:  Failed to replace DedicatedServer.ini with DedicatedServerTemp.ini "
                   "during a call to WriteConfigFile().\n");
        return false;
    }
    return true;
}

}  // namespace

std::string BuildConfigScript(CServerConfig& cfg, const CLevelCatalogue& catalogue)
{
    BuildDisabledVoteTypes(cfg);
    BuildDisabledItems(cfg);
    DeriveMapListFile(cfg);
    const bool deathmatch = cfg.g_gtGameType == kGameTypeDeathmatch;

    std::string s;
    s += "[Engine]\n";
    s += StringPrintf("net_bClientsMayPause = %d;\n", cfg.g_bClientsMayPause);
    s += "net_strConnectPassword = \"" + cfg.g_strConnectPassword + "\";\n";
    s += "rcts_strAdminPassword = \"" + cfg.g_strAdminPassword + "\";\n";
    s += "net_strVIPPassword = \"" + cfg.g_strVIPPassword + "\";\n";
    s += StringPrintf("net_iVIPReserve = %d;\n", cfg.g_ctPrivateSlots);
    s += "\n";
    s += "[DedicatedServer]\n";
    s += StringPrintf("qel_uwPort = %d;\n", cfg.g_uwPort);
    s += "\n";
    s += "[Qel2Game]\n";
    s += StringPrintf("qel_bLANServer = %d;\n", cfg.g_bLAN);
    // The server counts difficulties from 1.
    s += StringPrintf("qel_sgpGameOptions.sgp_gdGameDifficulty = %d;\n", cfg.g_gdDifficulty + 1);
    s += StringPrintf("qel_sgpGameOptions.sgp_bFriendlyFire = %d;\n", cfg.g_bFriendlyFire);
    s += StringPrintf("qel_sgpGameOptions.sgp_iExtraEnemyStrength = %d;\n", cfg.g_iExtraEnemyStrength);
    s += StringPrintf("qel_sgpGameOptions.sgp_iEnemyStrengthPerPlayer = %d;\n",
                      cfg.g_iEnemyStrengthPerPlayer);
    s += StringPrintf("qel_sgpGameOptions.sgp_ctMaxLives = %d;\n", cfg.g_ctMaxLives);
    s += StringPrintf("qel_sgpGameOptions.sgp_ctMaxPlayers = %d;\n", cfg.g_ctMaxPlayers);
    s += StringPrintf("qel_sgpGameOptions.sgp_bInfiniteAmmoInCoop = %d;\n", cfg.g_bInfiniteAmmo);
    s += StringPrintf("qel_sgpGameOptions.sgp_bWeaponStaysInCoop = %d;\n", cfg.g_bWeaponsStay);
    s += StringPrintf("qel_sgpGameOptions.sgp_bAmmoStaysInCoop = %d;\n", cfg.g_bAmmoStays);
    s += StringPrintf("qel_sgpGameOptions.sgp_bHealthAndArmorStayInCoop = %d;\n",
                      cfg.g_bHealthArmorStays);
    s += StringPrintf("qel_sgpGameOptions.sgp_ctFragsLimit = %d;\n", cfg.g_ctFragsLimit);
    s += StringPrintf("qel_sgpGameOptions.sgp_ctTimeLimit = %d;\n", cfg.g_ctTimeLimit);
    s += "qel_strLevelToStart = \"" + StartingLevelPath(cfg, catalogue) + "\";\n";
    s += StringPrintf("qel_bEnableDebris = %d;\n", cfg.g_bEnableDebris);
    s += StringPrintf("qel_ctMaxDebris = %d;\n", cfg.g_ctMaxDebris);
    s += "qel_strMultiplayerSessionName = \"" + cfg.g_strSessionName + "\";\n";
    s += "qel_strDisabledVoteTypes = \"" + cfg.g_strDisabledVoteTypes + "\";\n";
    s += "qel_strDisabledItems = \"" + cfg.g_strDisabledItems + "\";\n";
    // Only a deathmatch server rotates through a map list.
    s += "qel_strMapListFile = \"" + (deathmatch ? cfg.g_strMapListFile : std::string()) + "\";\n";
    s += StringPrintf("qel_ctTimeBanMinutes = %d;\n", cfg.g_ctTimeBanMinutes);
    s += "qel_fVoteDuration = " + FormatFixed2(cfg.g_fVoteDuration) + ";\n";
    s += "qel_fVotePercentageToPass = " + FormatFixed2(cfg.g_iVotePercentageToPass) + ";\n";
    s += "qel_fVoteEndDelay = " + FormatFixed2(cfg.g_fVoteEndDelay) + ";\n";
    s += "qel_fEndOfRoundDelay = " + FormatFixed2(cfg.g_fEndOfRoundDelay) + ";\n";
    return s;
}

bool WriteConfigFile(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                     CServerConfig& cfg)
{
    CConfigFileResult result = WriteConfigFiles(gameFolder, catalogue, cfg);
    return result.scriptWritten && result.iniWritten;
}

CConfigFileResult WriteConfigFiles(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                                  CServerConfig& cfg)
{
    CConfigFileResult result;
    if (!IsSafeFileName(cfg.m_strConfigName)) {
        LogMessage("ERR:  Configuration name \"%s\" cannot be used as a file name; no config file "
                   "was written.\n",
                   cfg.m_strConfigName.c_str());
        return result;
    }
    const std::string utilityFolder = UtilityFolderPath(gameFolder);
    if (!platform::IsDirectory(utilityFolder))
        platform::MakeDirectory(utilityFolder);
    const std::string configFolder = ConfigFolderPath(gameFolder);
    if (!platform::IsDirectory(configFolder))
        platform::MakeDirectory(configFolder);

    const std::string path = ConfigScriptPath(gameFolder, cfg.m_strConfigName);
    LogMessage("INF:  Attempting to save: %s...\n", path.c_str());
    result.scriptWritten = WriteScript(path, cfg, catalogue);
    result.iniWritten = RewriteServerIni(gameFolder, cfg, result.scriptWritten);
    return result;
}
