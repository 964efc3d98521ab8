#include "config/Availability.h"

#include <cstring>

const AvailabilityEntry kItemTable[kItemCount] = {
    {"HealthXS", "XS Health", AvailabilityPage::Items},
    {"HealthS", "S Health", AvailabilityPage::Items},
    {"HealthM", "M Health", AvailabilityPage::Items},
    {"HealthL", "L Health", AvailabilityPage::Items},
    {"HealthXL", "XL Health", AvailabilityPage::Items},
    {"ArmorXS", "XS Armor", AvailabilityPage::Items},
    {"ArmorS", "S Armor", AvailabilityPage::Items},
    {"ArmorM", "M Armor", AvailabilityPage::Items},
    {"ArmorL", "L Armor", AvailabilityPage::Items},
    {"ArmorXL", "XL Armor", AvailabilityPage::Items},
    {"ArmorXXL", "XXL Armor", AvailabilityPage::Items},
    {"SpeedPowerUp", "Dravic Speed", AvailabilityPage::Powerups},
    {"DravicDamage", "Dravic Damage", AvailabilityPage::Powerups},
    {"InvisibilityPowerUp", "Invisibility", AvailabilityPage::Powerups},
    {"InvulnerabilityPowerUp", "Invulnerability", AvailabilityPage::Powerups},
    {"CircularSaw", "Circular Saw", AvailabilityPage::Weapons},
    {"Colt", "Double Colts", AvailabilityPage::Weapons},
    {"ZapGun", "Zap Gun", AvailabilityPage::Weapons},
    {"AutoShotgun", "Auto Shotgun", AvailabilityPage::Weapons},
    {"DoubleShotgun", "Double Shotgun", AvailabilityPage::Weapons},
    {"Uzi", "Double Uzis", AvailabilityPage::Weapons},
    {"MiniGun", "Minigun", AvailabilityPage::Weapons},
    {"RocketLauncher", "Rocket Launcher", AvailabilityPage::Weapons},
    {"GrenadeLauncher", "Grenade Launcher", AvailabilityPage::Weapons},
    {"Sniper", "Sniper", AvailabilityPage::Weapons},
    {"PlasmaRifle", "Plasma Rifle", AvailabilityPage::Weapons},
    {"Klodovik", "Klodovik", AvailabilityPage::Weapons},
    {"Cannon", "Cannon", AvailabilityPage::Weapons},
};

const VoteTypeEntry kVoteTypeTable[kVoteTypeCount] = {
    {"nextmap", "Next Map"},
    {"restart", "Restart Map"},
    {"kick", "Kick Player"},
    {"timeban", "Timed Player Ban"},
};

namespace {

struct TokenLists {
    const char* items[kItemCount];
    const char* votes[kVoteTypeCount];
    TokenLists()
    {
        for (int i = 0; i < kItemCount; ++i)
            items[i] = kItemTable[i].token;
        for (int i = 0; i < kVoteTypeCount; ++i)
            votes[i] = kVoteTypeTable[i].token;
    }
};

const TokenLists& Tokens()
{
    static const TokenLists s_tokens;
    return s_tokens;
}

}  // namespace

int FindItem(const char* token)
{
    for (int i = 0; i < kItemCount; ++i)
        if (std::strcmp(kItemTable[i].token, token) == 0)
            return i;
    return -1;
}

std::string EncodeDisabled(const int* flags, const char* const* tokens, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (flags[i] == 0) {
            text += tokens[i];
            text += ';';
        }
    }
    return text;
}

void DecodeDisabled(const std::string& text, int* flags, const char* const* tokens, int count)
{
    for (int i = 0; i < count; ++i)
        flags[i] = 1;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(';', start);
        if (end == std::string::npos)
            end = text.size();  // a last piece without its ";" counts too
        const std::string piece = text.substr(start, end - start);
        for (int i = 0; i < count; ++i)
            if (piece == tokens[i])
                flags[i] = 0;
        start = end + 1;
    }
}

void BuildDisabledItems(ServerConfig& cfg)
{
    cfg.g_strDisabledItems = EncodeDisabled(cfg.m_abItemAvailable.data(), Tokens().items, kItemCount);
}

void BuildDisabledVoteTypes(ServerConfig& cfg)
{
    cfg.g_strDisabledVoteTypes =
        EncodeDisabled(cfg.m_abVoteTypeAvailable.data(), Tokens().votes, kVoteTypeCount);
}

void ReadDisabledItems(ServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledItems, cfg.m_abItemAvailable.data(), Tokens().items, kItemCount);
}

void ReadDisabledVoteTypes(ServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledVoteTypes, cfg.m_abVoteTypeAvailable.data(), Tokens().votes,
                   kVoteTypeCount);
}
