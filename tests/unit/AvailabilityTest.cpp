#include "config/Availability.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace {

int Item(const char* token) { return FindItem(token); }

TEST(AvailabilityTest, AllAvailableEncodesEmptyAndEmptyTextTicksEverything)
{
    CServerConfig cfg;
    BuildDisabledItems(cfg);
    BuildDisabledVoteTypes(cfg);
    EXPECT_EQ("", cfg.g_strDisabledItems);
    EXPECT_EQ("", cfg.g_strDisabledVoteTypes);

    cfg.m_abItemAvailable.fill(0);
    cfg.m_abVoteTypeAvailable.fill(0);
    ReadDisabledItems(cfg);
    ReadDisabledVoteTypes(cfg);
    for (int flag : cfg.m_abItemAvailable)
        EXPECT_EQ(1, flag);
    for (int flag : cfg.m_abVoteTypeAvailable)
        EXPECT_EQ(1, flag);
}

TEST(AvailabilityTest, EncodesInTableOrderNotClickOrder)
{
    CServerConfig cfg;
    cfg.m_abItemAvailable[Item("Cannon")] = 0;
    cfg.m_abItemAvailable[Item("DravicDamage")] = 0;
    BuildDisabledItems(cfg);
    EXPECT_EQ("DravicDamage;Cannon;", cfg.g_strDisabledItems);

    cfg.m_abVoteTypeAvailable[2] = 0;  // Kick Player
    cfg.m_abVoteTypeAvailable[0] = 0;  // Next Map
    BuildDisabledVoteTypes(cfg);
    EXPECT_EQ("nextmap;kick;", cfg.g_strDisabledVoteTypes);
}

TEST(AvailabilityTest, EveryItemDisabledRoundTrips)
{
    CServerConfig cfg;
    cfg.m_abItemAvailable.fill(0);
    BuildDisabledItems(cfg);
    EXPECT_EQ(0u, cfg.g_strDisabledItems.find("HealthXS;HealthS;HealthM;"));
    EXPECT_EQ("PlasmaRifle;Klodovik;Cannon;",
              cfg.g_strDisabledItems.substr(cfg.g_strDisabledItems.size() - 28));
    cfg.m_abItemAvailable.fill(1);
    ReadDisabledItems(cfg);
    for (int flag : cfg.m_abItemAvailable)
        EXPECT_EQ(0, flag);
}

TEST(AvailabilityTest, ReadingIsExactButForgiving)
{
    CServerConfig cfg;
    // A last token without its ";" counts; wrong case, unknown, empty and repeated pieces do not
    // add anything.
    cfg.g_strDisabledItems = "cannon;;Bogus;Uzi;Uzi;Klodovik";
    ReadDisabledItems(cfg);
    for (int i = 0; i < kItemCount; ++i) {
        const std::string token = kItemTable[i].m_pszToken;
        EXPECT_EQ(token == "Uzi" || token == "Klodovik" ? 0 : 1, cfg.m_abItemAvailable[i]) << token;
    }
    cfg.g_strDisabledVoteTypes = "Kick;timeban";
    ReadDisabledVoteTypes(cfg);
    EXPECT_EQ(1, cfg.m_abVoteTypeAvailable[2]);
    EXPECT_EQ(0, cfg.m_abVoteTypeAvailable[3]);
    // Reading starts from "all available": an earlier disabled flag does not linger.
    cfg.g_strDisabledVoteTypes = "";
    ReadDisabledVoteTypes(cfg);
    EXPECT_EQ(1, cfg.m_abVoteTypeAvailable[3]);
}

TEST(AvailabilityTest, TablesHoldTheLabelsAndPages)
{
    EXPECT_STREQ("Dravic Speed", kItemTable[Item("SpeedPowerUp")].m_pszLabel);
    EXPECT_STREQ("Double Colts", kItemTable[Item("Colt")].m_pszLabel);
    EXPECT_STREQ("XXL Armor", kItemTable[Item("ArmorXXL")].m_pszLabel);
    EXPECT_STREQ("Timed Player Ban", kVoteTypeTable[3].m_pszLabel);
    int counts[3] = {0, 0, 0};
    std::set<std::string> tokens;
    for (const CAvailabilityEntry& e : kItemTable) {
        ++counts[static_cast<int>(e.m_ePage)];
        tokens.insert(e.m_pszToken);
    }
    EXPECT_EQ(11, counts[static_cast<int>(EAvailabilityPage::Items)]);
    EXPECT_EQ(4, counts[static_cast<int>(EAvailabilityPage::Powerups)]);
    EXPECT_EQ(13, counts[static_cast<int>(EAvailabilityPage::Weapons)]);
    EXPECT_EQ(28u, tokens.size());
    EXPECT_EQ(-1, Item("cannon"));
}

}  // namespace
