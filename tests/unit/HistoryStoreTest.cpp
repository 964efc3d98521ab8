#include "base/OwnFolder.h"
#include "config/Availability.h"
#include "config/HistoryStore.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

// Lines joined with CR LF, each line ended.
class HistoryStoreTest : public testing::Test {
protected:
    void SetUp() override { SetOwnFolder(m_dir.path()); }
    void TearDown() override { SetOwnFolder(""); }
    void Store(const std::string& bytes) { ASSERT_TRUE(WriteFile(m_dir / "History.ini", bytes)); }
    std::string Log() { return ReadFile(m_dir / "Tollan.log"); }
    TempDir m_dir;
    CServerConfig m_cfg;
};

TEST_F(HistoryStoreTest, LoadAssignsOnlyPresentKeysWithTheirGrammar)
{
    m_cfg.g_iCoopStartingLevel = 7;  // left over from an earlier load
    m_cfg.m_strConfigName = "A";
    Store(Crlf({"CONFIG_HISTORY", "  A", "END_HISTORY", "", "CONFIG_NAME", "A", "{",
                "  g_ctMaxPlayers = 8;", "  g_ctMaxPlayers = 12;", "  g_iFPS = 60.0;",
                "  g_uwPort = junk;", "  g_ctMaxLives=  -4x;", "  g_fVoteDuration = 2.5e1;",
                "  g_fVoteEndDelay = .5;", "  g_fEndOfRoundDelay = abc;",
                "  g_strSessionName = My Server ;", "  g_strAdminPassword = pa;ss;;",
                "  g_strConnectPassword = ;", "  g_unknownKey = 5;", "no equals sign here", "}",
                "", "END"}));
    ASSERT_TRUE(OwnHistory().GetConfigOptions(m_cfg));
    EXPECT_EQ(7, m_cfg.g_iCoopStartingLevel);
    EXPECT_EQ(12, m_cfg.g_ctMaxPlayers);  // last value wins
    EXPECT_EQ(60, m_cfg.g_iFPS);
    EXPECT_EQ(0, m_cfg.g_uwPort);
    EXPECT_EQ(-4, m_cfg.g_ctMaxLives);
    EXPECT_DOUBLE_EQ(25.0, m_cfg.g_fVoteDuration);
    EXPECT_DOUBLE_EQ(0.5, m_cfg.g_fVoteEndDelay);
    EXPECT_DOUBLE_EQ(0.0, m_cfg.g_fEndOfRoundDelay);
    EXPECT_EQ("My Server ", m_cfg.g_strSessionName);  // blank before ";" kept
    EXPECT_EQ("pa;ss", m_cfg.g_strAdminPassword);     // only trailing ";" go
    EXPECT_EQ("", m_cfg.g_strConnectPassword);
    EXPECT_EQ(4, CServerConfig().g_ctMaxPlayers);
}

TEST_F(HistoryStoreTest, LoadAcceptsBareLineFeedsAndHugeNumbers)
{
    m_cfg.m_strConfigName = "A";
    Store("CONFIG_NAME\nA\n{\n  g_iFPS = 99999999999;\n  g_uwPort = -99999999999;\n}\n");
    OwnHistory().GetConfigOptions(m_cfg);
    EXPECT_EQ(2147483647, m_cfg.g_iFPS);
    EXPECT_EQ(-2147483647 - 1, m_cfg.g_uwPort);
}

TEST_F(HistoryStoreTest, BlockWithoutClosingBraceEndsAtEndOfFile)
{
    m_cfg.m_strConfigName = "A";
    Store("CONFIG_NAME\r\nA\r\n{\r\n  g_ctTimeLimit = 33;\r\n  g_strMapList = Last");
    OwnHistory().GetConfigOptions(m_cfg);
    EXPECT_EQ(33, m_cfg.g_ctTimeLimit);
    EXPECT_EQ("Last", m_cfg.g_strMapList);
}

TEST_F(HistoryStoreTest, NamesMatchExactlyAndMissingBlockStillRebuildsFlags)
{
    Store(Crlf({"CONFIG_NAME", "normal", "{", "  g_ctMaxPlayers = 9;", "}", "CONFIG_NAME",
                "Normal ", "{", "  g_ctMaxPlayers = 10;", "}", "END"}));
    m_cfg.m_strConfigName = "Normal";
    m_cfg.g_strDisabledItems = "Cannon;";
    m_cfg.m_abVoteTypeAvailable[0] = 0;  // no text says so: reading ticks it again
    ASSERT_TRUE(OwnHistory().GetConfigOptions(m_cfg));
    EXPECT_EQ(4, m_cfg.g_ctMaxPlayers);
    EXPECT_EQ(0, m_cfg.m_abItemAvailable[FindItem("Cannon")]);
    EXPECT_EQ(1, m_cfg.m_abVoteTypeAvailable[0]);
}

TEST_F(HistoryStoreTest, LoadFromDisabledTextsSetsFlags)
{
    m_cfg.m_strConfigName = "A";
    Store(Crlf({"CONFIG_NAME", "A", "{", "  g_strDisabledItems = Uzi;Sniper;",
                "  g_strDisabledVoteTypes = kick;", "}"}));
    OwnHistory().GetConfigOptions(m_cfg);
    EXPECT_EQ(0, m_cfg.m_abItemAvailable[FindItem("Uzi")]);
    EXPECT_EQ(0, m_cfg.m_abItemAvailable[FindItem("Sniper")]);
    EXPECT_EQ(0, m_cfg.m_abVoteTypeAvailable[2]);
}

TEST_F(HistoryStoreTest, MissingStoreLeavesRecordAndLogs)
{
    m_cfg.m_strConfigName = "A";
    m_cfg.g_strDisabledItems = "Cannon;";  // texts not yet read into the flags: must stay so
    EXPECT_FALSE(OwnHistory().GetConfigOptions(m_cfg));
    EXPECT_EQ(1, m_cfg.m_abItemAvailable[FindItem("Cannon")]);
    EXPECT_NE(std::string::npos,
              Log().find("ERR:  Unable to open History.ini during a call to GetConfigOptions()\r\n"));
}

TEST_F(HistoryStoreTest, LongLinesAreReadWhole)
{
    std::string longName(300, 'x');
    Store("CONFIG_NAME\r\nA\r\n{\r\n  g_strSessionName = " + longName + ";\r\n  g_ctMaxLives = 5;\r\n}\r\n");
    m_cfg.m_strConfigName = "A";
    OwnHistory().GetConfigOptions(m_cfg);
    EXPECT_EQ(longName, m_cfg.g_strSessionName);
    EXPECT_EQ(5, m_cfg.g_ctMaxLives);
}

TEST_F(HistoryStoreTest, FillConfigComboKeepsTenAndSelectsCurrent)
{
    std::string text = "CONFIG_HISTORY\r\n";
    for (int i = 0; i < 12; ++i)
        text += "  C" + std::to_string(i) + " \t\r\n";
    text += "\r\nEND_HISTORY\r\nCONFIG_NAME\r\nC1\r\n";
    Store(text);
    m_cfg.m_strConfigName = "C11";
    m_cfg.m_astrHistory[0] = "old";
    CConfigComboResult r = OwnHistory().FillConfigCombo(m_cfg);
    ASSERT_TRUE(r.m_bOpened);
    ASSERT_EQ(12u, r.m_names.size());
    EXPECT_EQ("C0", r.m_names[0]);
    EXPECT_EQ(11, r.m_nSelected);
    EXPECT_EQ("C0", m_cfg.m_astrHistory[0]);
    EXPECT_EQ("C9", m_cfg.m_astrHistory[9]);
}

TEST_F(HistoryStoreTest, FillConfigComboWithoutStore)
{
    CConfigComboResult r = OwnHistory().FillConfigCombo(m_cfg);
    EXPECT_FALSE(r.m_bOpened);
    EXPECT_TRUE(r.m_names.empty());
    EXPECT_NE(std::string::npos, Log().find("ERR:  "));
}

TEST_F(HistoryStoreTest, ConfigHistorySelection)
{
    Store(Crlf({"CONFIG_HISTORY", "  A", "  B", "  C", "END_HISTORY", "  D"}));
    m_cfg.m_strConfigName = "B";
    CConfigHistoryResult r = OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {});
    ASSERT_TRUE(r.m_bListRead);
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), r.m_names);
    EXPECT_EQ(1, r.m_nSelected);
    EXPECT_EQ("B", m_cfg.m_strConfigName);

    // A running server makes the first entry current.
    r = OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, true, {});
    EXPECT_EQ(0, r.m_nSelected);
    EXPECT_EQ("A", m_cfg.m_strConfigName);

    // An unknown current name selects nothing; an empty one takes the first entry.
    m_cfg.m_strConfigName = "b";
    EXPECT_EQ(-1, OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {}).m_nSelected);
    m_cfg.m_strConfigName = "";
    r = OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {});
    EXPECT_EQ(0, r.m_nSelected);
    EXPECT_EQ("A", m_cfg.m_strConfigName);
}

TEST_F(HistoryStoreTest, ConfigHistoryCreatesTheDefaultStore)
{
    CConfigHistoryResult r = OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {});
    ASSERT_TRUE(r.m_bListRead);
    EXPECT_EQ(std::vector<std::string>{"Normal"}, r.m_names);
    EXPECT_EQ(0, r.m_nSelected);
    EXPECT_EQ("Normal", m_cfg.m_strConfigName);
    const std::string bytes = ReadFile(m_dir / "History.ini");
    EXPECT_EQ(DefaultStoreText(), bytes);
    EXPECT_EQ(0u, bytes.find("CONFIG_HISTORY\r\n  Normal\r\nEND_HISTORY\r\n\r\nSERVER_OPTIONS\r\n"
                             "  g_strAdminPassword = brindlex;\r\nEND_OPTIONS\r\n\r\nCONFIG_NAME\r\n"
                             "Normal\r\n{\r\n  g_bAmmoStays = 1;\r\n"));
    EXPECT_NE(std::string::npos,
              bytes.find("  g_iExtraEnemyStrength = 0;\r\n  g_iStartingLevel = 0;\r\n"
                         "  g_ctFragsLimit = 10;\r\n"));
    EXPECT_NE(std::string::npos,
              bytes.find("  g_strDisabledItems = ;\r\n  g_strMapList = ;\r\n  g_strMapListFile = ;\r\n"
                         "  g_strAdminPassword = brindlex;\r\n"));
    EXPECT_EQ("  g_ctMaxDebris = 20;\r\n}\r\n\r\nEND\r\n", bytes.substr(bytes.size() - 33));
    EXPECT_EQ(49u, std::count(bytes.begin(), bytes.end(), '\n'));

    // Loading it: the odd keys are harmless, and the ban time reads 60 from "60.0".
    m_cfg.g_ctTimeBanMinutes = 1;
    OwnHistory().GetConfigOptions(m_cfg);
    EXPECT_EQ(60, m_cfg.g_ctTimeBanMinutes);
    EXPECT_EQ("Dedicated Server", m_cfg.g_strSessionName);
    EXPECT_EQ(0, m_cfg.g_iCoopStartingLevel);
    EXPECT_EQ(10, m_cfg.g_ctFragsLimit);
}

TEST_F(HistoryStoreTest, ConfigHistoryUnreadableKeepsTheShownList)
{
    // A History.ini that links to itself can neither be opened nor created.
    ASSERT_EQ(0, symlink("History.ini", (m_dir / "History.ini").c_str()));
    CConfigHistoryResult r = OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {"X", "Y"});
    EXPECT_FALSE(r.m_bListRead);
    EXPECT_EQ(0, r.m_nSelected);
    EXPECT_EQ("X", m_cfg.m_strConfigName);
    EXPECT_NE(std::string::npos,
              Log().find("Could not create new History.ini file.\r\n"));
    EXPECT_NE(std::string::npos,
              Log().find("ERR:  Failed to open History.ini during call to GetConfigHistory()."));
    m_cfg.m_strConfigName = "Y";
    EXPECT_EQ(-1, OwnHistory().ReadConfigHistory(m_cfg.m_strConfigName, false, {"X", "Y"}).m_nSelected);
}

TEST_F(HistoryStoreTest, AdminPasswordReader)
{
    Store(Crlf({"CONFIG_HISTORY", "  A", "END_HISTORY", "", "SERVER_OPTIONS",
                "\t  g_strAdminPassword = sec;ret;", "END_OPTIONS"}));
    EXPECT_EQ(std::optional<std::string>("sec"), OwnHistory().ReadAdminPassword());

    Store(Crlf({"SERVER_OPTIONS", "  g_strAdminPassword  = x;", "  g_strAdminPassword = ok;",
                "END_OPTIONS"}));
    EXPECT_EQ(std::optional<std::string>("ok"), OwnHistory().ReadAdminPassword());

    // Only 30 lines after the section's head are examined.
    std::string text = "SERVER_OPTIONS\r\n";
    for (int i = 0; i < 29; ++i)
        text += "  filler = 1;\r\n";
    Store(text + "  g_strAdminPassword = thirty;\r\n");
    EXPECT_EQ(std::optional<std::string>("thirty"), OwnHistory().ReadAdminPassword());
    Store(text + "  filler = 1;\r\n  g_strAdminPassword = late;\r\n");
    EXPECT_EQ(std::nullopt, OwnHistory().ReadAdminPassword());

    // No section before END_OPTIONS, an empty password, and no store at all.
    Store(Crlf({"END_OPTIONS", "SERVER_OPTIONS", "  g_strAdminPassword = x;"}));
    EXPECT_EQ(std::nullopt, OwnHistory().ReadAdminPassword());
    Store(Crlf({"SERVER_OPTIONS", "  g_strAdminPassword = ;"}));
    EXPECT_EQ(std::optional<std::string>(""), OwnHistory().ReadAdminPassword());
    std::remove((m_dir / "History.ini").c_str());
    EXPECT_EQ(std::nullopt, OwnHistory().ReadAdminPassword());
    const std::string log = Log();
    EXPECT_EQ("ERR:  Could not Get Admin Password.", log.substr(20));
}

TEST_F(HistoryStoreTest, StoredGameTypeOfANamedBlock)
{
    Store(Crlf({"CONFIG_NAME", "DM", "{", "  g_gtGameType = 0;", "  g_gtGameType = 1;", "}",
                "CONFIG_NAME", "Coop", "{", "  g_ctMaxPlayers = 3;", "}"}));
    EXPECT_EQ(std::optional<int>(1), OwnHistory().ReadStoredGameType("DM"));
    EXPECT_EQ(std::nullopt, OwnHistory().ReadStoredGameType("Coop"));
    EXPECT_EQ(std::nullopt, OwnHistory().ReadStoredGameType("dm"));
    std::remove((m_dir / "History.ini").c_str());
    EXPECT_EQ(std::nullopt, OwnHistory().ReadStoredGameType("DM"));
}

// A launch logs in with its own block's password; the server options section is the fallback.
TEST_F(HistoryStoreTest, LaunchPasswordComesFromTheConfigurationsBlock)
{
    Store(Crlf({"SERVER_OPTIONS", "  g_strAdminPassword = saved;last;", "END_OPTIONS", "", "CONFIG_NAME", "A",
                "{", "  g_strAdminPassword = own;", "}", "CONFIG_NAME", "B", "{", "  g_iFPS = 30;", "}"}));
    EXPECT_EQ(std::optional<std::string>("own"), OwnHistory().ReadConfigAdminPassword("A"));
    EXPECT_EQ(std::optional<std::string>("saved"), OwnHistory().ReadConfigAdminPassword("B"));
    EXPECT_EQ(std::optional<std::string>("saved"), OwnHistory().ReadConfigAdminPassword("Missing"));
    // The delivered store: both configurations log in as before.
    ASSERT_TRUE(WriteFile(m_dir / "History.ini", ReadFile(TOLLAN_SOURCE_DIR "/resources/defaults/History.ini")));
    for (const char* name : {"NormalDM", "NormalCOOP"})
        EXPECT_EQ(OwnHistory().ReadAdminPassword(), OwnHistory().ReadConfigAdminPassword(name)) << name;
    std::remove((m_dir / "History.ini").c_str());
    EXPECT_EQ(std::nullopt, OwnHistory().ReadConfigAdminPassword("A"));
    EXPECT_NE(std::string::npos, Log().find("ERR:  Could not Get Admin Password."));
}

}  // namespace
