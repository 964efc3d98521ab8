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

std::string Quoted(const std::string& text)
{
    std::string quoted(1, '"');
    quoted += text;
    return quoted += '"';
}

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

namespace {

// The script's lines in their order: a section, a number, a quoted text or a decimal of the record;
// a few are made on the spot (kLineOwn), in the order of this table.
enum EScriptLine { kLineText, kLineInt, kLineQuoted, kLineDecimal, kLineOwn };
struct CScriptLine {
    EScriptLine m_eKind;
    const char* m_pszText;  // the section line, or the key before " = "
    int CServerConfig::*m_pInt;
    std::string CServerConfig::*m_pStr;
    double CServerConfig::*m_pDec;
};
const CScriptLine kScriptLines[] = {
    {kLineText, "[Engine]", nullptr, nullptr, nullptr},
    {kLineInt, "net_bClientsMayPause", &CServerConfig::g_bClientsMayPause, nullptr, nullptr},
    {kLineQuoted, "net_strConnectPassword", nullptr, &CServerConfig::g_strConnectPassword, nullptr},
    {kLineQuoted, "rcts_strAdminPassword", nullptr, &CServerConfig::g_strAdminPassword, nullptr},
    {kLineQuoted, "net_strVIPPassword", nullptr, &CServerConfig::g_strVIPPassword, nullptr},
    {kLineInt, "net_iVIPReserve", &CServerConfig::g_ctPrivateSlots, nullptr, nullptr},
    {kLineText, "", nullptr, nullptr, nullptr},
    {kLineText, "[DedicatedServer]", nullptr, nullptr, nullptr},
    {kLineInt, "qel_uwPort", &CServerConfig::g_uwPort, nullptr, nullptr},
    {kLineText, "", nullptr, nullptr, nullptr},
    {kLineText, "[Qel2Game]", nullptr, nullptr, nullptr},
    {kLineInt, "qel_bLANServer", &CServerConfig::g_bLAN, nullptr, nullptr},
    {kLineOwn, "qel_sgpGameOptions.sgp_gdGameDifficulty", nullptr, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_bFriendlyFire", &CServerConfig::g_bFriendlyFire, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_iExtraEnemyStrength", &CServerConfig::g_iExtraEnemyStrength, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_iEnemyStrengthPerPlayer", &CServerConfig::g_iEnemyStrengthPerPlayer, nullptr,
     nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_ctMaxLives", &CServerConfig::g_ctMaxLives, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_ctMaxPlayers", &CServerConfig::g_ctMaxPlayers, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_bInfiniteAmmoInCoop", &CServerConfig::g_bInfiniteAmmo, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_bWeaponStaysInCoop", &CServerConfig::g_bWeaponsStay, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_bAmmoStaysInCoop", &CServerConfig::g_bAmmoStays, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_bHealthAndArmorStayInCoop", &CServerConfig::g_bHealthArmorStays, nullptr,
     nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_ctFragsLimit", &CServerConfig::g_ctFragsLimit, nullptr, nullptr},
    {kLineInt, "qel_sgpGameOptions.sgp_ctTimeLimit", &CServerConfig::g_ctTimeLimit, nullptr, nullptr},
    {kLineOwn, "qel_strLevelToStart", nullptr, nullptr, nullptr},
    {kLineInt, "qel_bEnableDebris", &CServerConfig::g_bEnableDebris, nullptr, nullptr},
    {kLineInt, "qel_ctMaxDebris", &CServerConfig::g_ctMaxDebris, nullptr, nullptr},
    {kLineQuoted, "qel_strMultiplayerSessionName", nullptr, &CServerConfig::g_strSessionName, nullptr},
    {kLineQuoted, "qel_strDisabledVoteTypes", nullptr, &CServerConfig::g_strDisabledVoteTypes, nullptr},
    {kLineQuoted, "qel_strDisabledItems", nullptr, &CServerConfig::g_strDisabledItems, nullptr},
    {kLineOwn, "qel_strMapListFile", nullptr, nullptr, nullptr},
    {kLineInt, "qel_ctTimeBanMinutes", &CServerConfig::g_ctTimeBanMinutes, nullptr, nullptr},
    {kLineDecimal, "qel_fVoteDuration", nullptr, nullptr, &CServerConfig::g_fVoteDuration},
    {kLineOwn, "qel_fVotePercentageToPass", nullptr, nullptr, nullptr},
    {kLineDecimal, "qel_fVoteEndDelay", nullptr, nullptr, &CServerConfig::g_fVoteEndDelay},
    {kLineDecimal, "qel_fEndOfRoundDelay", nullptr, nullptr, &CServerConfig::g_fEndOfRoundDelay},
};

}  // namespace

std::string BuildConfigScript(CServerConfig& cfg, const CLevelCatalogue& catalogue)
{
    BuildDisabledVoteTypes(cfg);
    BuildDisabledItems(cfg);
    DeriveMapListFile(cfg);
    const bool deathmatch = cfg.g_gtGameType == kGameTypeDeathmatch;
    // The lines the table cannot give, in their order there.
    const std::string own[] = {
        // The server counts difficulties from 1.
        StringPrintf("%d", cfg.g_gdDifficulty + 1),
        Quoted(StartingLevelPath(cfg, catalogue)),
        // Only a deathmatch server rotates through a map list.
        Quoted(deathmatch ? cfg.g_strMapListFile : std::string()),
        FormatFixed2(cfg.g_iVotePercentageToPass),
    };
    std::string s;
    size_t nextOwn = 0;
    for (const CScriptLine& line : kScriptLines) {
        s += line.m_pszText;
        if (line.m_eKind == kLineText) {
            s += '\n';
            continue;
        }
        s += " = ";
        switch (line.m_eKind) {
        case kLineText: break;
        case kLineInt: s += StringPrintf("%d", cfg.*line.m_pInt); break;
        case kLineQuoted: s += Quoted(cfg.*line.m_pStr); break;
        case kLineDecimal: s += FormatFixed2(cfg.*line.m_pDec); break;
        case kLineOwn: s += own[nextOwn++]; break;
        }
        s += ";\n";
    }
    return s;
}

bool WriteConfigFile(const std::string& gameFolder, const CLevelCatalogue& catalogue,
                     CServerConfig& cfg)
{
    CConfigFileResult result = WriteConfigFiles(gameFolder, catalogue, cfg);
    return result.m_bScriptWritten && result.m_bIniWritten;
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
    result.m_bScriptWritten = WriteScript(path, cfg, catalogue);
    result.m_bIniWritten = RewriteServerIni(gameFolder, cfg, result.m_bScriptWritten);
    return result;
}
