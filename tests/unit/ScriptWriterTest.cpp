#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "config/Availability.h"
#include "config/HistoryStore.h"
#include "config/ScriptWriter.h"
#include "maps/LevelCatalogue.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <sys/stat.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

void Fill(CLevelList& list, int index, const std::string& path)
{
    list.m_aSlots[index].m_strName = "Level " + std::to_string(index);
    list.m_aSlots[index].m_strPath = path;
    list.m_aSlots[index].m_nIndex = index;
}

// The demo catalogue the delivered scripts were made from.
CLevelCatalogue DemoCatalogue()
{
    CLevelCatalogue c;
    const std::string mp = "Content/DravicQel2/Levels/Multiplayer/";
    Fill(c.m_dm, 0, mp + "DM_LittleTrouble/DM_LittleTrouble.wld");
    Fill(c.m_dm, 1, mp + "DM_BrkeenChevap/DM_BrkeenChevap.wld");
    Fill(c.m_dm, 2, mp + "DM_Chanolin/DM_Chanolin.wld");
    Fill(c.m_dm, 3, mp + "DM_Metropolis/DM_Metropolis.wld");
    for (int i = 0; i < 23; ++i)
        Fill(c.m_coop, i, "Content/DravicQel2/Levels/0" + std::to_string(i / 5) + "_Demo/Coop" +
                            std::to_string(i) + "/Coop" + std::to_string(i) + ".wld");
    Fill(c.m_coop, 23, "Content/DravicQel2/Levels/05_Ellenier/5_1_Village/5_1_Village.wld");
    return c;
}

// The two delivered configurations.
CServerConfig Delivered(bool deathmatch)
{
    CServerConfig cfg;
    cfg.m_strConfigName = deathmatch ? "NormalDM" : "NormalCOOP";
    cfg.g_strSessionName = "Dedicated Server";
    cfg.g_iCoopStartingLevel = deathmatch ? 0 : 23;
    cfg.g_iDmStartingLevel = deathmatch ? 3 : 2;
    cfg.g_ctFragsLimit = 10;
    cfg.g_ctTimeLimit = 20;
    cfg.g_gtGameType = deathmatch ? kGameTypeDeathmatch : kGameTypeCoop;
    cfg.g_strMapList = "MapList";
    cfg.g_strAdminPassword = "brindlex";
    return cfg;
}

std::string Resource(const char* name)
{
    return ReadFile(std::string(TOLLAN_SOURCE_DIR) + "/resources/defaults/" + name);
}

class ScriptWriterTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetOwnFolder(m_dir.path());
        m_game = m_dir / "Game";
        mkdir(m_game.c_str(), 0700);
        mkdir((m_game + "/Content").c_str(), 0700);
        mkdir((m_game + "/Content/DravicQel2").c_str(), 0700);
        m_ini = m_game + "/Content/DravicQel2/DedicatedServer.ini";
        m_catalogue = DemoCatalogue();
    }
    void TearDown() override
    {
        CTextWriter::FailWriteNumber(0);
        SetOwnFolder("");
    }
    std::string Script(const std::string& name)
    {
        return ReadFile(m_game + "/DedicatedServerUtility/Config/" + name + ".cfg");
    }
    std::string Log() { return ReadFile(m_dir / "Tollan.log"); }
    bool Has(const std::string& text, const std::string& line)
    {
        return text.find(line + "\r\n") != std::string::npos;
    }
    TempDir m_dir;
    std::string m_game, m_ini;
    CLevelCatalogue m_catalogue;
};

const std::string kIni = Crlf({"[Server]", "  qel_iDedicatedFPS=30 ; old", "net_iPort = 1;"});

TEST_F(ScriptWriterTest, DeliveredScriptsAreWhatWeWrite)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    CServerConfig dm = Delivered(true);
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, dm));
    EXPECT_EQ(Resource("NormalDM.cfg"), Script("NormalDM"));
    CServerConfig coop = Delivered(false);
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, coop));
    EXPECT_EQ(Resource("NormalCOOP.cfg"), Script("NormalCOOP"));
    EXPECT_NE(std::string::npos, Log().find("LOG:  NormalCOOP was saved successfully.\r\n"));
}

TEST_F(ScriptWriterTest, DeliveredStoreIsWhatWeWrite)
{
    // Saved the way a user would make it: NormalCOOP first, then NormalDM on top.
    ASSERT_TRUE(WriteFile(m_dir / "History.ini", ""));
    CServerConfig coop = Delivered(false);
    coop.m_astrHistory = {"NormalCOOP"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(coop));
    CServerConfig dm = Delivered(true);
    dm.m_astrHistory = {"NormalDM", "NormalCOOP"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(dm));
    EXPECT_EQ(Resource("History.ini"), ReadFile(m_dir / "History.ini"));

    // And it loads back to the delivered values.
    CServerConfig loaded;
    loaded.m_strConfigName = "NormalCOOP";
    ASSERT_TRUE(OwnHistory().GetConfigOptions(loaded));
    EXPECT_EQ(23, loaded.g_iCoopStartingLevel);
    EXPECT_EQ(0, loaded.g_gtGameType);
    EXPECT_EQ(std::optional<std::string>("brindlex"), OwnHistory().ReadAdminPassword());
    EXPECT_EQ(std::optional<int>(1), OwnHistory().ReadStoredGameType("NormalDM"));
}

TEST_F(ScriptWriterTest, ExactCooperativeScript)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    CServerConfig cfg;
    cfg.m_strConfigName = "Coop";
    cfg.g_bClientsMayPause = 1;
    cfg.g_strConnectPassword = "join\"me";
    cfg.g_strVIPPassword = "vip";
    cfg.g_ctPrivateSlots = 2;
    cfg.g_uwPort = 25601;
    cfg.g_bLAN = 1;
    cfg.g_gdDifficulty = 0;
    cfg.g_iCoopStartingLevel = 1;
    cfg.g_strMapList = "MapList";
    cfg.g_iVotePercentageToPass = 75;
    cfg.g_fVoteDuration = 12.345;
    cfg.m_abItemAvailable[FindItem("Cannon")] = 0;
    cfg.m_abItemAvailable[FindItem("DravicDamage")] = 0;
    cfg.m_abVoteTypeAvailable[1] = 0;
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_EQ(Crlf({"[Engine]", "net_bClientsMayPause = 1;", "net_strConnectPassword = \"join\"me\";",
                    "rcts_strAdminPassword = \"\";", "net_strVIPPassword = \"vip\";",
                    "net_iVIPReserve = 2;", "", "[DedicatedServer]", "qel_uwPort = 25601;", "",
                    "[Qel2Game]", "qel_bLANServer = 1;",
                    "qel_sgpGameOptions.sgp_gdGameDifficulty = 1;",
                    "qel_sgpGameOptions.sgp_bFriendlyFire = 0;",
                    "qel_sgpGameOptions.sgp_iExtraEnemyStrength = 0;",
                    "qel_sgpGameOptions.sgp_iEnemyStrengthPerPlayer = 50;",
                    "qel_sgpGameOptions.sgp_ctMaxLives = 3;",
                    "qel_sgpGameOptions.sgp_ctMaxPlayers = 4;",
                    "qel_sgpGameOptions.sgp_bInfiniteAmmoInCoop = 0;",
                    "qel_sgpGameOptions.sgp_bWeaponStaysInCoop = 1;",
                    "qel_sgpGameOptions.sgp_bAmmoStaysInCoop = 1;",
                    "qel_sgpGameOptions.sgp_bHealthAndArmorStayInCoop = 1;",
                    "qel_sgpGameOptions.sgp_ctFragsLimit = 20;",
                    "qel_sgpGameOptions.sgp_ctTimeLimit = 10;",
                    "qel_strLevelToStart = \"Content/DravicQel2/Levels/00_Demo/Coop1/Coop1.wld\";",
                    "qel_bEnableDebris = 1;", "qel_ctMaxDebris = 20;",
                    "qel_strMultiplayerSessionName = \"\";", "qel_strDisabledVoteTypes = \"restart;\";",
                    "qel_strDisabledItems = \"DravicDamage;Cannon;\";", "qel_strMapListFile = \"\";",
                    "qel_ctTimeBanMinutes = 60;", "qel_fVoteDuration = 12.35;",
                    "qel_fVotePercentageToPass = 75.00;", "qel_fVoteEndDelay = 3.00;",
                    "qel_fEndOfRoundDelay = 10.00;"}),
              Script("Coop"));
    // The record now carries what the script carried.
    EXPECT_EQ("DravicDamage;Cannon;", cfg.g_strDisabledItems);
    EXPECT_EQ("DedicatedServerUtility/MapLists/MapList.txt", cfg.g_strMapListFile);
    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("INF:  Attempting to save: " + m_game +
                                          "/DedicatedServerUtility/Config/Coop.cfg...\r\n"));
}

TEST_F(ScriptWriterTest, DeathmatchLevelMapListAndDifficulty)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    CServerConfig cfg;
    cfg.m_strConfigName = "Dm";
    cfg.g_gtGameType = kGameTypeDeathmatch;
    cfg.g_gdDifficulty = 4;
    cfg.g_iDmStartingLevel = 2;
    cfg.g_iCoopStartingLevel = 99;
    cfg.g_strMapList = "MapList";
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    std::string s = Script("Dm");
    EXPECT_TRUE(Has(s, "qel_sgpGameOptions.sgp_gdGameDifficulty = 5;"));
    EXPECT_TRUE(Has(s, "qel_strLevelToStart = \"Content/DravicQel2/Levels/Multiplayer/DM_Chanolin/"
                       "DM_Chanolin.wld\";"));
    EXPECT_TRUE(Has(s, "qel_strMapListFile = \"DedicatedServerUtility/MapLists/MapList.txt\";"));

    // An index outside the list (or a negative one) starts no particular level.
    for (int index : {4, 200, -1}) {
        cfg.g_iDmStartingLevel = index;
        ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
        EXPECT_TRUE(Has(Script("Dm"), "qel_strLevelToStart = \"\";")) << index;
    }
}

TEST_F(ScriptWriterTest, ServerIniGetsTheRaisedFrameRate)
{
    ASSERT_TRUE(WriteFile(m_ini, "[Server]\r\nqel_iDedicatedFPS = 30;\nx\r\n  ;qel_iDedicatedFPS\r\nlast"));
    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    cfg.g_iFPS = 10;
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_EQ(15, cfg.g_iFPS);
    EXPECT_EQ("[Server]\r\nqel_iDedicatedFPS = 15;\r\nx\r\nqel_iDedicatedFPS = 15;\r\nlast",
              ReadFile(m_ini));
    EXPECT_FALSE(FileExistsAt(m_game + "/Content/DravicQel2/DedicatedServerTemp.ini"));

    cfg.g_iFPS = 120;
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_EQ(120, cfg.g_iFPS);
    EXPECT_EQ("[Server]\r\nqel_iDedicatedFPS = 120;\r\nx\r\nqel_iDedicatedFPS = 120;\r\nlast",
              ReadFile(m_ini));
}

TEST_F(ScriptWriterTest, RaisedFrameRateReachesTheStore)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    cfg.g_iFPS = 10;
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(cfg));
    EXPECT_NE(std::string::npos, ReadFile(m_dir / "History.ini").find("\r\n  g_iFPS = 15;\r\n"));
}

TEST_F(ScriptWriterTest, ServerIniWithoutFrameRateLineIsCopiedAndFpsStaysLow)
{
    const std::string ini = "[Server]\r\nnet_iPort = 1;\r\n" + std::string(300, 'z') + "\r\nend";
    ASSERT_TRUE(WriteFile(m_ini, ini));
    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    cfg.g_iFPS = 5;
    ASSERT_TRUE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_EQ(5, cfg.g_iFPS);
    EXPECT_EQ(ini, ReadFile(m_ini));
}

TEST_F(ScriptWriterTest, RaiseServerFpsAlone)
{
    CServerConfig cfg;
    cfg.g_iFPS = -3;
    EXPECT_EQ(15, RaiseServerFps(cfg));
    EXPECT_EQ(15, cfg.g_iFPS);
    cfg.g_iFPS = 16;
    EXPECT_EQ(16, RaiseServerFps(cfg));
}

TEST_F(ScriptWriterTest, MissingIniKeepsScriptAndLogs)
{
    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    EXPECT_FALSE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_FALSE(Script("A").empty());
    EXPECT_NE(std::string::npos,
              Log().find("ERR:  Unable to open DedicatedServer.ini during a call to "
                         "WriteConfigFile().\r\n"));
}

TEST_F(ScriptWriterTest, ScriptThatCannotBeCreatedLeavesIniAlone)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    mkdir((m_game + "/DedicatedServerUtility").c_str(), 0700);
    mkdir((m_game + "/DedicatedServerUtility/Config").c_str(), 0700);
    mkdir((m_game + "/DedicatedServerUtility/Config/A.cfg").c_str(), 0700);
    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    cfg.g_iFPS = 10;
    EXPECT_FALSE(WriteConfigFile(m_game, m_catalogue, cfg));
    EXPECT_EQ(kIni, ReadFile(m_ini));
    EXPECT_NE(std::string::npos, Log().find("ERR:  Could not create config file: "));
}

TEST_F(ScriptWriterTest, FailedWriteAtAnyStepKeepsTheOldIni)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    int failures = 0;
    for (int n = 1;; ++n) {
        std::remove((m_dir / "Tollan.log").c_str());
        CTextWriter::FailWriteNumber(n);
        CServerConfig cfg;
        cfg.m_strConfigName = "A";
        cfg.g_iFPS = 44;
        const bool ok = WriteConfigFile(m_game, m_catalogue, cfg);
        CTextWriter::FailWriteNumber(0);
        if (ok)
            break;
        ++failures;
        EXPECT_EQ(kIni, ReadFile(m_ini)) << "write " << n;
        const std::string log = Log();
        const bool scriptFailed = log.find("ERR:  Failed to write config file: ") != std::string::npos;
        const bool iniFailed = log.find("ERR:  Failed to write DedicatedServerTemp.ini during a call "
                                        "to WriteConfigFile().\r\n") != std::string::npos;
        EXPECT_TRUE(scriptFailed != iniFailed) << "write " << n;
        if (scriptFailed) {
            EXPECT_EQ(std::string::npos, log.find("saved successfully"));
        }
    }
    EXPECT_EQ(4, failures);  // the script in one write, then the three INI lines
    EXPECT_NE(std::string::npos, ReadFile(m_ini).find("qel_iDedicatedFPS = 44;\r\n"));
}

TEST_F(ScriptWriterTest, UnsafeNamesWriteNothing)
{
    ASSERT_TRUE(WriteFile(m_ini, kIni));
    for (const char* name : {"", "../Escape", "a\\b", "C:x", "x\"y", "dot."}) {
        CServerConfig cfg;
        cfg.m_strConfigName = name;
        cfg.g_iFPS = 10;
        EXPECT_FALSE(WriteConfigFile(m_game, m_catalogue, cfg)) << name;
        EXPECT_EQ(10, cfg.g_iFPS);
    }
    EXPECT_FALSE(FileExistsAt(m_game + "/DedicatedServerUtility"));
    EXPECT_FALSE(FileExistsAt(m_game + "/Escape.cfg"));
    EXPECT_EQ(kIni, ReadFile(m_ini));
    EXPECT_NE(std::string::npos, Log().find("ERR:  Configuration name \"../Escape\" cannot be used"));
}

}  // namespace
