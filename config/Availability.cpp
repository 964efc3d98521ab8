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

int FindItem(const char* token)
{
    for (int i = 0; i < kItemCount; ++i)
        if (std::strcmp(kItemTable[i].token, token) == 0)
            return i;
    return -1;
}

namespace {

// Text from flags: the token and ";" of every disabled thing, in encoding order.
template <class Entry>
std::string EncodeDisabled(const int* flags, const Entry* table, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i) {
        if (flags[i] == 0) {
            text += table[i].token;
            text += ';';
        }
    }
    return text;
}

// Flags from text: all set to 1, then every piece equal to a token clears its flag.
template <class Entry>
void DecodeDisabled(const std::string& text, int* flags, const Entry* table, int count)
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
            if (piece == table[i].token)
                flags[i] = 0;
        start = end + 1;
    }
}

}  // namespace

void BuildDisabledItems(ServerConfig& cfg)
{
    cfg.g_strDisabledItems = EncodeDisabled(cfg.m_abItemAvailable.data(), kItemTable, kItemCount);
}

void BuildDisabledVoteTypes(ServerConfig& cfg)
{
    cfg.g_strDisabledVoteTypes =
        EncodeDisabled(cfg.m_abVoteTypeAvailable.data(), kVoteTypeTable, kVoteTypeCount);
}

void ReadDisabledItems(ServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledItems, cfg.m_abItemAvailable.data(), kItemTable, kItemCount);
}

void ReadDisabledVoteTypes(ServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledVoteTypes, cfg.m_abVoteTypeAvailable.data(), kVoteTypeTable,
                   kVoteTypeCount);
}
