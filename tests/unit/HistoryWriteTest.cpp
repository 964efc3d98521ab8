#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "config/Availability.h"
#include "config/ConfigKeys.h"
#include "config/ConfigExchange.h"
#include "config/ConfigSave.h"
#include "config/HistoryStore.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include <sys/stat.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

// Names of the blocks in file order.
std::vector<std::string> BlockNames(const std::string& text)
{
    std::vector<std::string> names;
    size_t pos = 0;
    while ((pos = text.find("CONFIG_NAME\r\n", pos)) != std::string::npos) {
        pos += 13;
        names.push_back(text.substr(pos, text.find("\r\n", pos) - pos));
    }
    return names;
}

std::string HistorySection(const std::string& text)
{
    return text.substr(0, text.find("END_HISTORY\r\n"));
}

// The disabled texts lose their final ";" in the store ("Colt;;" reads "Colt"); the flags they
// stand for are compared instead.
bool SameRecord(const CServerConfig& a, const CServerConfig& b)
{
    for (const CConfigKey& key : kConfigKeys)
        if (key.m_pText != &CServerConfig::g_strDisabledItems &&
            key.m_pText != &CServerConfig::g_strDisabledVoteTypes &&
            FormatConfigValue(a, key) != FormatConfigValue(b, key))
            return false;
    return a.m_abItemAvailable == b.m_abItemAvailable &&
           a.m_abVoteTypeAvailable == b.m_abVoteTypeAvailable;
}

class HistoryWriteTest : public testing::Test {
protected:
    void SetUp() override { SetOwnFolder(m_dir.path()); }
    void TearDown() override
    {
        CTextWriter::FailWriteNumber(0);
        SetOwnFolder("");
    }
    void Store(const std::string& bytes) { ASSERT_TRUE(WriteFile(m_dir / "History.ini", bytes)); }
    std::string Stored() { return ReadFile(m_dir / "History.ini"); }
    std::string Log() { return ReadFile(m_dir / "Tollan.log"); }
    TempDir m_dir;
    CServerConfig m_cfg;
};

const std::string kThreeBlocks =
    Crlf({"CONFIG_HISTORY", "  B", "  A", "  C", "END_HISTORY", "", "SERVER_OPTIONS",
          "  g_strAdminPassword = old;", "END_OPTIONS", "", "CONFIG_NAME", "B", "{",
          "  g_ctMaxPlayers = 2;", "}", "", "stray line", "CONFIG_NAME", "A", "{",
          "  g_ctMaxPlayers = 5;", "}", "", "CONFIG_NAME", "C", "{", "  g_ctMaxPlayers = 6;", "}",
          "", "END"});

TEST_F(HistoryWriteTest, CurrentBlockFirstOthersInOldOrder)
{
    Store(kThreeBlocks);
    m_cfg.m_strConfigName = "A";
    m_cfg.m_astrHistory = {"A", "B", "C"};
    m_cfg.g_ctMaxPlayers = 9;
    m_cfg.g_strAdminPassword = "new";
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    const std::string text = Stored();
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), BlockNames(text));
    EXPECT_EQ(0u, text.find(Crlf({"CONFIG_HISTORY", "  A", "  B", "  C", "END_HISTORY", "",
                                  "SERVER_OPTIONS", "  g_strAdminPassword = new;", "END_OPTIONS",
                                  "", "CONFIG_NAME", "A", "{", "  g_bAmmoStays = 1;"})));
    // The old blocks are copied as they were, each followed by one empty line; stray lines go.
    EXPECT_NE(std::string::npos,
              text.find(Crlf({"  g_ctMaxDebris = 20;", "}", "", "CONFIG_NAME", "B", "{",
                              "  g_ctMaxPlayers = 2;", "}", "", "CONFIG_NAME", "C", "{",
                              "  g_ctMaxPlayers = 6;", "}", "", "END"})));
    EXPECT_EQ(std::string::npos, text.find("stray"));
    EXPECT_EQ(std::string::npos, text.find("= 5;"));
    EXPECT_NE(std::string::npos, text.find("  g_ctMaxPlayers = 9;\r\n"));
    EXPECT_NE(std::string::npos,
              text.find("  g_strMapListFile = DedicatedServerUtility/MapLists/.txt;\r\n"));
    EXPECT_FALSE(FileExistsAt(m_dir / "HistoryTemp.ini"));

    const std::string log = Log();
    const char* expected[] = {"INF:  Attempting to write HistoryTemp.ini file...\r\n",
                              "INF:  Attempting to open existing History.ini file...\r\n",
                              "LOG:  Existing History.ini file opened.\r\n",
                              "LOG:  Existing History.ini replaced with HistoryTemp.ini file.\r\n"};
    size_t at = 0;
    for (const char* line : expected) {
        at = log.find(line, at);
        EXPECT_NE(std::string::npos, at) << line;
    }
}

TEST_F(HistoryWriteTest, PendingNameLeadsHistoryAndBecomesCurrent)
{
    Store(kThreeBlocks);
    m_cfg.m_strConfigName = "A";
    m_cfg.m_strNewConfigName = "C";
    m_cfg.m_astrHistory = {"A", "C", "B"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    EXPECT_EQ("C", m_cfg.m_strConfigName);
    const std::string text = Stored();
    EXPECT_EQ(Crlf({"CONFIG_HISTORY", "  C", "  A", "  B", ""}), HistorySection(text) + "\r\n");
    EXPECT_EQ((std::vector<std::string>{"C", "B", "A"}), BlockNames(text));
}

TEST_F(HistoryWriteTest, AtMostTenNamesUpToTheFirstEmptySlot)
{
    Store("");
    m_cfg.m_strConfigName = "N0";
    m_cfg.m_strNewConfigName = "New";
    for (int i = 0; i < kHistorySlots; ++i)
        m_cfg.m_astrHistory[i] = "N" + std::to_string(i);
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    std::string expected = "CONFIG_HISTORY\r\n  New\r\n";
    for (int i = 0; i < 9; ++i)
        expected += "  N" + std::to_string(i) + "\r\n";
    EXPECT_EQ(expected, HistorySection(Stored()));

    m_cfg.m_strNewConfigName.clear();
    m_cfg.m_astrHistory = {"New", "N0", "", "N2"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    EXPECT_EQ("CONFIG_HISTORY\r\n  New\r\n  N0\r\n", HistorySection(Stored()));
}

TEST_F(HistoryWriteTest, RoundTripLoadSaveLoad)
{
    Store(kThreeBlocks);
    CServerConfig a;
    a.m_strConfigName = "R";
    a.m_astrHistory = {"R"};
    a.g_strSessionName = "Quote \" and blank ";
    a.g_fVoteDuration = 12.25;
    a.g_gdDifficulty = 4;
    a.g_strMapList = "Rotation";
    a.m_abItemAvailable[FindItem("Colt")] = 0;
    a.m_abVoteTypeAvailable[3] = 0;
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(a));
    const std::string first = Stored();

    CServerConfig b;
    b.m_strConfigName = "R";
    ASSERT_TRUE(OwnHistory().GetConfigOptions(b));
    EXPECT_TRUE(SameRecord(a, b));
    EXPECT_EQ("Colt", b.g_strDisabledItems);
    EXPECT_EQ("timeban", b.g_strDisabledVoteTypes);
    EXPECT_EQ("DedicatedServerUtility/MapLists/Rotation.txt", b.g_strMapListFile);
    b.m_astrHistory = {"R"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(b));
    EXPECT_EQ(first, Stored());
}

// Every text field at the longest length the dialogs accept, with every item and vote type
// disabled (a line of some 310 characters): all of it comes back, and so does the login password.
TEST_F(HistoryWriteTest, LongestValuesSurviveTheStore)
{
    Store(kThreeBlocks);
    CServerConfig a;
    a.m_strConfigName = std::string(kMaxConfigNameChars, 'n');
    a.m_astrHistory = {a.m_strConfigName};
    char letter = 'a';
    for (auto field : {&CServerConfig::g_strSessionName, &CServerConfig::g_strAdminPassword,
                       &CServerConfig::g_strConnectPassword, &CServerConfig::g_strVIPPassword,
                       &CServerConfig::g_strDefaultMapDir})
        a.*field = std::string(kMaxTextFieldChars, letter++);
    a.g_strMapList = std::string(kMaxConfigNameChars, 'm');
    a.m_abItemAvailable.fill(0);
    a.m_abVoteTypeAvailable.fill(0);
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(a));
    ASSERT_GT(Stored().find("  g_strDisabledItems = "), 0u);

    CServerConfig b;
    b.m_strConfigName = a.m_strConfigName;
    ASSERT_TRUE(OwnHistory().GetConfigOptions(b));
    EXPECT_TRUE(SameRecord(a, b));
    EXPECT_EQ(a.g_strAdminPassword, OwnHistory().ReadConfigAdminPassword(a.m_strConfigName));
    EXPECT_EQ(a.g_strAdminPassword, OwnHistory().ReadAdminPassword());
    EXPECT_EQ(std::vector<std::string>{a.m_strConfigName}, OwnHistory().FillConfigCombo(b).m_names);
}

TEST_F(HistoryWriteTest, MissingStoreGivesCurrentBlockAloneWithoutEnd)
{
    m_cfg.m_strConfigName = "Solo";
    m_cfg.m_astrHistory = {"Solo"};
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    const std::string text = Stored();
    EXPECT_EQ((std::vector<std::string>{"Solo"}), BlockNames(text));
    EXPECT_EQ("  g_ctMaxDebris = 20;\r\n}\r\n\r\n", text.substr(text.size() - 28));
    EXPECT_EQ(4 + 4 + 3 + 37 + 2, std::count(text.begin(), text.end(), '\n'));
    EXPECT_NE(std::string::npos,
              Log().find("ERR:  Failed to open existing History.ini during a call to "
                         "WriteHistoryFile().\r\n"));
}

TEST_F(HistoryWriteTest, OldBlocksSurviveOddShapes)
{
    // A last block without "}" and without a final line end, and a line longer than 255.
    const std::string longLine = "  g_strSessionName = " + std::string(400, 's') + ";";
    Store(Crlf({"CONFIG_NAME", "B", "{", longLine, "}", "CONFIG_NAME", "C", "{"}) +
          "  g_ctMaxPlayers = 6;");
    m_cfg.m_strConfigName = "A";
    ASSERT_TRUE(OwnHistory().WriteHistoryFile(m_cfg));
    const std::string text = Stored();
    EXPECT_NE(std::string::npos, text.find("{\r\n" + longLine + "\r\n}\r\n\r\n"));
    EXPECT_EQ(Crlf({"CONFIG_NAME", "C", "{", "  g_ctMaxPlayers = 6;", "", "END"}),
              text.substr(text.find("CONFIG_NAME\r\nC\r\n")));
}

TEST_F(HistoryWriteTest, FailedWriteAtAnyStepKeepsTheOldStore)
{
    Store(kThreeBlocks);
    m_cfg.m_strConfigName = "A";
    m_cfg.m_astrHistory = {"A", "B", "C"};
    int failures = 0;
    for (int n = 1;; ++n) {
        std::remove((m_dir / "Tollan.log").c_str());
        CTextWriter::FailWriteNumber(n);
        CServerConfig cfg = m_cfg;
        const bool ok = OwnHistory().WriteHistoryFile(cfg);
        CTextWriter::FailWriteNumber(0);
        if (ok)
            break;  // n is past the last write
        ++failures;
        EXPECT_EQ(kThreeBlocks, Stored()) << "write " << n;
        EXPECT_FALSE(FileExistsAt(m_dir / "HistoryTemp.ini"));
        const std::string log = Log();
        EXPECT_NE(std::string::npos,
                  log.find("ERR:  Failed to write HistoryTemp.ini during a call to "
                           "WriteHistoryFile().\r\n"))
            << "write " << n;
        EXPECT_EQ(std::string::npos, log.find("replaced"));
    }
    EXPECT_GT(failures, 50);
    EXPECT_EQ((std::vector<std::string>{"A", "B", "C"}), BlockNames(Stored()));
}

TEST_F(HistoryWriteTest, TwinThatCannotBeCreatedLeavesStore)
{
    Store(kThreeBlocks);
    ASSERT_EQ(0, mkdir((m_dir / "HistoryTemp.ini").c_str(), 0700));
    m_cfg.m_strConfigName = "A";
    EXPECT_FALSE(OwnHistory().WriteHistoryFile(m_cfg));
    EXPECT_EQ(kThreeBlocks, Stored());
    EXPECT_NE(std::string::npos,
              Log().find("ERR:  Failed to create HistoryTemp.ini during a call to "
                         "WriteHistoryFile().\r\n"));
}

// A store that is there but cannot be read (held by another program; here a folder, and a link
// to itself) holds the other configurations: it is never written anew.
TEST_F(HistoryWriteTest, UnreadableStoreIsNeverReplaced)
{
    m_cfg.m_strConfigName = "A";
    ASSERT_EQ(0, mkdir((m_dir / "History.ini").c_str(), 0700));
    EXPECT_FALSE(OwnHistory().WriteHistoryFile(m_cfg));
    ASSERT_EQ(0, rmdir((m_dir / "History.ini").c_str()));
    ASSERT_EQ(0, symlink("History.ini", (m_dir / "History.ini").c_str()));
    EXPECT_FALSE(OwnHistory().WriteHistoryFile(m_cfg));
    EXPECT_FALSE(FileExistsAt(m_dir / "HistoryTemp.ini"));
    const std::vector<std::string> lines = LogLines(Log());
    EXPECT_EQ(2, std::count(lines.begin(), lines.end(),
                            "ERR:  Failed to open existing History.ini during a call to WriteHistoryFile().\r\n"));
    EXPECT_EQ(0, std::count(lines.begin(), lines.end(), "LOG:  Existing History.ini replaced with HistoryTemp.ini file.\r\n"));
}

TEST_F(HistoryWriteTest, UnsafeNamesAreRefused)
{
    Store(kThreeBlocks);
    for (const char* name : {"", "..", "a/b", "a\\b", "x\r\nCONFIG_NAME", "Trail.", "q\"uote"}) {
        CServerConfig cfg;
        cfg.m_strConfigName = "A";
        cfg.m_strNewConfigName = name;
        if (std::string(name).empty())
            cfg.m_strConfigName = "";
        EXPECT_FALSE(OwnHistory().WriteHistoryFile(cfg)) << name;
        EXPECT_EQ(std::string(name).empty() ? "" : "A", cfg.m_strConfigName);
    }
    EXPECT_EQ(kThreeBlocks, Stored());
    EXPECT_FALSE(FileExistsAt(m_dir / "HistoryTemp.ini"));
    const std::string log = Log();
    EXPECT_NE(std::string::npos, log.find("ERR:  Configuration name \"a/b\" cannot be used"));
    EXPECT_EQ(std::string::npos, log.find("INF:  "));
}

}  // namespace
