#include "base/OwnFolder.h"
#include "base/TextFile.h"
#include "config/ConfigSave.h"
#include "config/HistoryStore.h"
#include "maps/LevelCatalogue.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

class ConfigSaveTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetOwnFolder(m_dir.path());
        m_game = m_dir / "Game";
        for (const char* sub : {"", "/Content", "/Content/DravicQel2"})
            mkdir((m_game + sub).c_str(), 0700);
        ASSERT_TRUE(WriteFile(m_game + "/Content/DravicQel2/DedicatedServer.ini", "qel_iDedicatedFPS = 30;\r\n"));
        ASSERT_TRUE(WriteFile(m_dir / "History.ini", ReadFile(std::string(TOLLAN_SOURCE_DIR) +
                                                              "/resources/defaults/History.ini")));
        m_cfg.m_strConfigName = "NormalDM";
        ASSERT_TRUE(OwnHistory().GetConfigOptions(m_cfg));
        OwnHistory().FillConfigCombo(m_cfg);
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
    std::string Store() { return ReadFile(m_dir / "History.ini"); }
    CSaveResult Save(bool typed = false) { return SaveConfiguration(m_game, m_catalogue, OwnHistory(), {typed, m_onScript}, m_cfg); }

    TempDir m_dir;
    std::string m_game;
    CLevelCatalogue m_catalogue;
    CServerConfig m_cfg;
    std::vector<std::string> m_scripts;
    std::function<void(const std::string&)> m_onScript = [this](const std::string& n) { m_scripts.push_back(n); };
};

TEST_F(ConfigSaveTest, NameRules)
{
    const std::vector<std::string> existing{"NormalDM", "NormalCOOP"};
    const struct {
        std::string name;
        bool isNew;
        bool ok;
    } cases[] = {
        {"Custom", true, true},          {std::string(200, 'a'), true, true},
        {"NormalDM", true, true},        {"normaldm", false, true},
        {"", true, false},               {" Custom", true, false},
        {std::string(201, 'a'), true, false}, {"a/b", true, false},
        {"Custom.", true, false},        {"Cus\"tom", true, false},
        {"normaldm", true, false},       {"NORMALCOOP", true, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.ok, !CheckConfigName(c.name, c.isNew, existing)) << '"' << c.name << '"';
    EXPECT_EQ("There is a configuration named \"NormalDM\" already. Names that differ only in letter case "
              "would share one script file.",
              *CheckConfigName("normalDM", true, existing));
}

TEST_F(ConfigSaveTest, ValuesThatBreakTheFilesAreRefused)
{
    EXPECT_FALSE(CheckSaveValues(m_cfg));
    const struct {
        std::string CServerConfig::*field;
        const char* value;
        const char* message;
    } cases[] = {
        {&CServerConfig::g_strAdminPassword, "brind;lex", "A password cannot hold a \";\"."},
        {&CServerConfig::g_strVIPPassword, "vip;", "A password cannot hold a \";\"."},
        {&CServerConfig::g_strSessionName, "The \"Best\"", "The text fields cannot hold a double quote (\")."},
        {&CServerConfig::g_strConnectPassword, "a\"b", "The text fields cannot hold a double quote (\")."},
        {&CServerConfig::g_strAdminPassword, " brindlex", "The text fields cannot begin with a blank or end in \";\"."},
        {&CServerConfig::g_strConnectPassword, "\tpw", "The text fields cannot begin with a blank or end in \";\"."},
        {&CServerConfig::g_strSessionName, "Frag Hall;", "The text fields cannot begin with a blank or end in \";\"."},
    };
    for (const auto& c : cases) {
        CServerConfig cfg = m_cfg;
        cfg.*c.field = c.value;
        auto problem = CheckSaveValues(cfg);
        ASSERT_TRUE(problem) << c.value;
        EXPECT_EQ(c.field, problem->m_pField);
        EXPECT_EQ(c.message, problem->m_strMessage);
    }
}

TEST_F(ConfigSaveTest, NewNameSavedThenAnotherConfigurationWritesOnlyThatOne)
{
    const std::string store = Store();
    const size_t oldBlock = store.find("CONFIG_NAME\r\nNormalDM\r\n");
    const std::string normalDm = store.substr(oldBlock, store.find("}\r\n", oldBlock) - oldBlock);

    m_cfg.m_strNewConfigName = "Custom";
    m_cfg.g_strSessionName = "Custom Server";
    CSaveResult r = Save(true);
    EXPECT_TRUE(r.m_bSaved) << r.m_strMessage;
    EXPECT_EQ("Custom", m_cfg.m_strConfigName);
    EXPECT_EQ("", m_cfg.m_strNewConfigName);
    EXPECT_NE(std::string::npos, Script("Custom").find("qel_strMultiplayerSessionName = \"Custom Server\";"));
    EXPECT_EQ(0u, Store().find("CONFIG_HISTORY\r\n  Custom\r\n  NormalDM\r\n  NormalCOOP\r\nEND_HISTORY"));
    EXPECT_NE(std::string::npos, Store().find(normalDm));  // the old block is unchanged
    const std::string custom = Script("Custom");

    // Picking NormalCOOP and saving writes NormalCOOP, not the name saved before.
    m_cfg.m_strConfigName = "NormalCOOP";
    ASSERT_TRUE(OwnHistory().GetConfigOptions(m_cfg));
    m_cfg.g_strSessionName = "Coop Server";
    EXPECT_TRUE(Save().m_bSaved);
    EXPECT_NE(std::string::npos, Script("NormalCOOP").find("\"Coop Server\""));
    EXPECT_EQ(custom, Script("Custom"));
    EXPECT_EQ(0u, Store().find("CONFIG_HISTORY\r\n  NormalCOOP\r\n  Custom\r\n  NormalDM\r\nEND_HISTORY"));
    EXPECT_EQ((std::vector<std::string>{"NormalCOOP", "Custom", "NormalDM"}), OwnHistory().ReadStoredConfigNames());
    EXPECT_EQ((std::vector<std::string>{"Custom", "NormalCOOP"}), m_scripts);
}

TEST_F(ConfigSaveTest, RefusalWritesNothingAndKeepsTheNames)
{
    const std::string store = Store();
    const struct {
        const char* typed;
        std::string CServerConfig::*field;
        const char* value;
    } cases[] = {
        {"normalcoop", nullptr, nullptr},
        {"", nullptr, nullptr},
        {nullptr, &CServerConfig::g_strAdminPassword, "a;b"},
    };
    for (const auto& c : cases) {
        CServerConfig before = m_cfg;
        if (c.typed)
            m_cfg.m_strNewConfigName = c.typed;
        if (c.field)
            m_cfg.*c.field = c.value;
        CSaveResult r = Save(c.typed != nullptr);
        EXPECT_TRUE(r.m_bRefused);
        EXPECT_FALSE(r.m_bSaved);
        EXPECT_EQ(c.field, r.m_pField);
        EXPECT_FALSE(r.m_strMessage.empty());
        EXPECT_EQ("NormalDM", m_cfg.m_strConfigName);
        EXPECT_EQ(before.m_astrHistory, m_cfg.m_astrHistory);
        m_cfg = before;
    }
    EXPECT_EQ(store, Store());
    EXPECT_FALSE(FileExistsAt(m_game + "/DedicatedServerUtility"));
    EXPECT_TRUE(m_scripts.empty());
}

TEST_F(ConfigSaveTest, FailedFilesAreNamedAndSavedIsFalse)
{
    std::remove((m_game + "/Content/DravicQel2/DedicatedServer.ini").c_str());
    CSaveResult r = Save();
    EXPECT_FALSE(r.m_bSaved);
    EXPECT_FALSE(r.m_bRefused);
    EXPECT_EQ("The configuration was not saved completely: DedicatedServer.ini could not be written. "
              "Tollan.log has the details.",
              r.m_strMessage);
    // The script was written, so a pending crash swap is cancelled all the same.
    EXPECT_EQ(std::vector<std::string>{"NormalDM"}, m_scripts);

    ASSERT_TRUE(WriteFile(m_game + "/Content/DravicQel2/DedicatedServer.ini", "x\r\n"));
    CTextWriter::FailWriteNumber(1);  // the script's first write
    r = Save();
    EXPECT_EQ("The configuration was not saved completely: the options script NormalDM.cfg could not be "
              "written. Tollan.log has the details.",
              r.m_strMessage);
}

}  // namespace
