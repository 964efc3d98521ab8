#include "config/ConfigExchange.h"
#include "config/ConfigFields.h"
#include "config/Resource.h"

#include <gtest/gtest.h>

#include <map>

namespace {

struct FakeControls : CControlSource {
    std::map<int, std::string> texts;
    std::map<int, bool> ticks;
    std::string Text(int id) const override
    {
        auto it = texts.find(id);
        return it == texts.end() ? std::string() : it->second;
    }
    bool Checked(int id) const override
    {
        auto it = ticks.find(id);
        return it != ticks.end() && it->second;
    }
};

// The dialog's controls showing the record as it is.
FakeControls Showing(const CServerConfig& cfg, CFieldTable table)
{
    FakeControls c;
    for (size_t i = 0; i < table.m_nCount; ++i) {
        c.texts[table.m_pRules[i].m_nControlId] = FieldText(table.m_pRules[i], cfg);
        c.ticks[table.m_pRules[i].m_nControlId] = FieldChecked(table.m_pRules[i], cfg);
    }
    return c;
}

TEST(ConfigExchangeTest, IntegerTextIsWholeDecimalWithin32Bits)
{
    const std::pair<const char*, std::optional<int>> cases[] = {
        {"4", 4}, {" -7 ", -7}, {"+3", 3}, {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {"", std::nullopt}, {" ", std::nullopt}, {"-", std::nullopt}, {"abc", std::nullopt},
        {"0x10", std::nullopt}, {"1e3", std::nullopt}, {"4.0", std::nullopt}, {"inf", std::nullopt},
        {"2147483648", std::nullopt}, {"-2147483649", std::nullopt}, {"99999999999999999999", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseIntegerText(c.first), c.second) << '"' << c.first << '"';
}

TEST(ConfigExchangeTest, DecimalTextRefusesInfNanHexAndOverflow)
{
    const std::pair<const char*, std::optional<double>> cases[] = {
        {"45.5", 45.5}, {" 3 ", 3.0}, {".5", 0.5}, {"5.", 5.0}, {"1e3", 1000.0}, {"-2.5E-1", -0.25},
        {"", std::nullopt}, {"-", std::nullopt}, {".", std::nullopt}, {"1e", std::nullopt},
        {"inf", std::nullopt}, {"nan", std::nullopt}, {"0x1p3", std::nullopt}, {"1e39", std::nullopt},
        {"1e400", std::nullopt}, {"4,5", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseDecimalText(c.first), c.second) << '"' << c.first << '"';
    EXPECT_EQ("60", FormatDecimalText(60.0));
    EXPECT_EQ("3", FormatDecimalText(3.0));
    EXPECT_EQ("2.5", FormatDecimalText(2.5));
    EXPECT_EQ("45.5", FormatDecimalText(45.5));
}

TEST(ConfigExchangeTest, FailingCheckStopsTheReadingAtItsField)
{
    CServerConfig cfg;
    FakeControls c = Showing(cfg, ServerSettingsFields());
    c.ticks[IDC_LAN] = true;
    c.texts[IDC_PORT] = "26000";

    c.texts[IDC_MAX_PLAYERS] = "some";
    auto failure = ReadControls(ServerSettingsFields().m_pRules, ServerSettingsFields().m_nCount, c, cfg);
    ASSERT_TRUE(failure);
    EXPECT_EQ(IDC_MAX_PLAYERS, failure->m_nControlId);
    EXPECT_EQ("Please enter an integer.", failure->m_strMessage);
    EXPECT_EQ(1, cfg.g_bLAN);          // read before Max Players
    EXPECT_EQ(25600, cfg.g_uwPort);    // after it: unread

    c.texts[IDC_MAX_PLAYERS] = "17";
    failure = ReadControls(ServerSettingsFields().m_pRules, ServerSettingsFields().m_nCount, c, cfg);
    ASSERT_TRUE(failure);
    EXPECT_EQ("Please enter an integer between 1 and 16.", failure->m_strMessage);

    c.texts[IDC_MAX_PLAYERS] = "16";
    c.texts[IDC_SERVER_FPS] = "121";
    failure = ReadControls(ServerSettingsFields().m_pRules, ServerSettingsFields().m_nCount, c, cfg);
    ASSERT_TRUE(failure);
    EXPECT_EQ(IDC_SERVER_FPS, failure->m_nControlId);
    EXPECT_EQ("Please enter an integer between 1 and 120.", failure->m_strMessage);
    EXPECT_EQ(26000, cfg.g_uwPort);
}

TEST(ConfigExchangeTest, PagesReadDecimalsAndFlagsWithoutRanges)
{
    CServerConfig cfg;
    FakeControls c = Showing(cfg, VoteOptionsFields());
    EXPECT_EQ("60", c.texts[IDC_VOTE_DURATION]);
    c.texts[IDC_VOTE_DURATION] = "45.5";
    c.ticks[IDC_VOTE_TYPE_FIRST + 2] = false;  // Kick Player
    c.texts[IDC_BAN_TIME] = "100000";
    EXPECT_FALSE(ReadControls(VoteOptionsFields().m_pRules, VoteOptionsFields().m_nCount, c, cfg));
    EXPECT_EQ(45.5, cfg.g_fVoteDuration);
    EXPECT_EQ(0, cfg.m_abVoteTypeAvailable[2]);
    EXPECT_EQ(100000, cfg.g_ctTimeBanMinutes);

    c.texts[IDC_VOTE_END_DELAY] = "soon";
    EXPECT_EQ("Please enter a number.",
              ReadControls(VoteOptionsFields().m_pRules, VoteOptionsFields().m_nCount, c, cfg)->m_strMessage);
    c.texts[IDC_BAN_TIME] = "x";
    EXPECT_EQ("Please enter an integer.",
              ReadControls(VoteOptionsFields().m_pRules, VoteOptionsFields().m_nCount, c, cfg)->m_strMessage);

    // Each item is on exactly one page, under its own id.
    size_t items = 0;
    for (EAvailabilityPage page : {EAvailabilityPage::Weapons, EAvailabilityPage::Items, EAvailabilityPage::Powerups})
        for (const CFieldRule& rule : AvailabilityFields(page)) {
            EXPECT_EQ(IDC_ITEM_FIRST + rule.m_nIndex, rule.m_nControlId);
            ++items;
        }
    EXPECT_EQ(static_cast<size_t>(kItemCount), items);
}

TEST(ConfigExchangeTest, NoSelectionIsNoChange)
{
    CServerConfig cfg;
    cfg.g_gtGameType = kGameTypeDeathmatch;
    cfg.g_iDmStartingLevel = 3;
    ApplyGameTypeChoice(cfg, -1);
    ApplyStartingLevelChoice(cfg, -1);
    ApplyDifficultyChoice(cfg, -1);
    EXPECT_EQ(kGameTypeDeathmatch, cfg.g_gtGameType);
    EXPECT_EQ(3, cfg.g_iDmStartingLevel);
    EXPECT_EQ(2, cfg.g_gdDifficulty);

    ApplyStartingLevelChoice(cfg, 1);
    ApplyGameTypeChoice(cfg, kGameTypeCoop);
    ApplyStartingLevelChoice(cfg, 5);
    ApplyDifficultyChoice(cfg, 4);
    EXPECT_EQ(1, cfg.g_iDmStartingLevel);
    EXPECT_EQ(5, cfg.g_iCoopStartingLevel);
    EXPECT_EQ(5, StartingLevelOfGameType(cfg));
    EXPECT_EQ(4, cfg.g_gdDifficulty);
}

}  // namespace
