// The one configuration record: every option of the configuration being edited, the availability
// flags, and the editing state around it (current name, pending new name, recent names).
#pragma once
#include <array>
#include <string>

constexpr int kItemCount = 28;
constexpr int kVoteTypeCount = 4;
constexpr int kHistorySlots = 10;
// The game's server misbehaves below this frame rate; the INI never gets less.
constexpr int kMinServerFps = 15;

// Game type and difficulty codes as the record holds them.
enum : int { kGameTypeCoop = 0, kGameTypeDeathmatch = 1 };

// A load assigns only the keys it finds, so the record is never reset while the program runs.
struct CServerConfig {
    // Fields carry the names of their store keys (History.ini), so the store's table reads well.
    int g_bAmmoStays = 1;
    int g_bClientsMayPause = 0;
    int g_bLAN = 0;
    int g_bEnableDebris = 1;
    int g_bFriendlyFire = 0;
    int g_bHealthArmorStays = 1;
    int g_bInfiniteAmmo = 0;
    int g_bWeaponsStay = 1;
    std::string g_strSessionName;
    int g_ctMaxLives = 3;
    int g_ctMaxPlayers = 4;
    int g_ctPrivateSlots = 0;
    int g_gdDifficulty = 2;
    int g_iEnemyStrengthPerPlayer = 50;
    int g_iExtraEnemyStrength = 0;
    int g_iCoopStartingLevel = 0;
    int g_iDmStartingLevel = 0;
    int g_ctFragsLimit = 20;
    int g_ctTimeLimit = 10;
    int g_gtGameType = kGameTypeCoop;
    int g_ctTimeBanMinutes = 60;
    double g_fVoteDuration = 60.0;
    int g_iVotePercentageToPass = 50;
    double g_fVoteEndDelay = 3.0;
    double g_fEndOfRoundDelay = 10.0;
    std::string g_strDisabledVoteTypes;
    std::string g_strDisabledItems;
    std::string g_strDefaultMapDir;
    std::string g_strMapList;
    std::string g_strMapListFile;
    std::string g_strAdminPassword;
    std::string g_strConnectPassword;
    std::string g_strVIPPassword;
    int g_iFPS = 60;
    int g_iProblemsTimeout = 15;
    int g_uwPort = 25600;
    int g_ctMaxDebris = 20;

    // Availability, 1 = available; indexed in encoding order (see Availability.h).
    std::array<int, kItemCount> m_abItemAvailable;
    std::array<int, kVoteTypeCount> m_abVoteTypeAvailable;

    // Editing state.
    std::string m_strConfigName;     // current configuration: block, <name>.cfg
    std::string m_strNewConfigName;  // typed into the name box since the last pick; "" if none
    std::array<std::string, kHistorySlots> m_astrHistory;  // most recent first; "" ends the list

    CServerConfig()
    {
        m_abItemAvailable.fill(1);
        m_abVoteTypeAvailable.fill(1);
    }
};

// "DedicatedServerUtility/MapLists/<g_strMapList>.txt", derived before every write.
void DeriveMapListFile(CServerConfig& cfg);

// The server's frame-rate floor: a rate below kMinServerFps is raised to it. Returns the rate.
int RaiseServerFps(int& fps);
// The same in the record itself, so that the store written afterwards keeps what the server was
// given.
inline int RaiseServerFps(CServerConfig& cfg) { return RaiseServerFps(cfg.g_iFPS); }

// After a save: the current name first, then the previous names without it and without empty
// ones, at most kHistorySlots.
void UpdateHistoryList(CServerConfig& cfg);
