#include "config/Availability.h"

#include <cstring>

const CAvailabilityEntry kItemTable[kItemCount] = {
    {"HealthXS", "XS Health", EAvailabilityPage::Items},
    {"HealthS", "S Health", EAvailabilityPage::Items},
    {"HealthM", "M Health", EAvailabilityPage::Items},
    {"HealthL", "L Health", EAvailabilityPage::Items},
    {"HealthXL", "XL Health", EAvailabilityPage::Items},
    {"ArmorXS", "XS Armor", EAvailabilityPage::Items},
    {"ArmorS", "S Armor", EAvailabilityPage::Items},
    {"ArmorM", "M Armor", EAvailabilityPage::Items},
    {"ArmorL", "L Armor", EAvailabilityPage::Items},
    {"ArmorXL", "XL Armor", EAvailabilityPage::Items},
    {"ArmorXXL", "XXL Armor", EAvailabilityPage::Items},
    {"SpeedPowerUp", "Dravic Speed", EAvailabilityPage::Powerups},
    {"DravicDamage", "Dravic Damage", EAvailabilityPage::Powerups},
    {"InvisibilityPowerUp", "Invisibility", EAvailabilityPage::Powerups},
    {"InvulnerabilityPowerUp", "Invulnerability", EAvailabilityPage::Powerups},
    {"CircularSaw", "Circular Saw", EAvailabilityPage::Weapons},
    {"Colt", "Double Colts", EAvailabilityPage::Weapons},
    {"ZapGun", "Zap Gun", EAvailabilityPage::Weapons},
    {"AutoShotgun", "Auto Shotgun", EAvailabilityPage::Weapons},
    {"DoubleShotgun", "Double Shotgun", EAvailabilityPage::Weapons},
    {"Uzi", "Double Uzis", EAvailabilityPage::Weapons},
    {"MiniGun", "Minigun", EAvailabilityPage::Weapons},
    {"RocketLauncher", "Rocket Launcher", EAvailabilityPage::Weapons},
    {"GrenadeLauncher", "Grenade Launcher", EAvailabilityPage::Weapons},
    {"Sniper", "Sniper", EAvailabilityPage::Weapons},
    {"PlasmaRifle", "Plasma Rifle", EAvailabilityPage::Weapons},
    {"Klodovik", "Klodovik", EAvailabilityPage::Weapons},
    {"Cannon", "Cannon", EAvailabilityPage::Weapons},
};

const CVoteTypeEntry kVoteTypeTable[kVoteTypeCount] = {
    {"nextmap", "Next Map"},
    {"restart", "Restart Map"},
    {"kick", "Kick Player"},
    {"timeban", "Timed Player Ban"},
};

int FindItem(const char* token)
{
    for (int i = 0; i < kItemCount; ++i)
        if (std::strcmp(kItemTable[i].m_pszToken, token) == 0)
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
            text += table[i].m_pszToken;
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
            if (piece == table[i].m_pszToken)
                flags[i] = 0;
        start = end + 1;
    }
}

}  // namespace

void BuildDisabledItems(CServerConfig& cfg)
{
    cfg.g_strDisabledItems = EncodeDisabled(cfg.m_abItemAvailable.data(), kItemTable, kItemCount);
}

void BuildDisabledVoteTypes(CServerConfig& cfg)
{
    cfg.g_strDisabledVoteTypes =
        EncodeDisabled(cfg.m_abVoteTypeAvailable.data(), kVoteTypeTable, kVoteTypeCount);
}

void ReadDisabledItems(CServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledItems, cfg.m_abItemAvailable.data(), kItemTable, kItemCount);
}

void ReadDisabledVoteTypes(CServerConfig& cfg)
{
    DecodeDisabled(cfg.g_strDisabledVoteTypes, cfg.m_abVoteTypeAvailable.data(), kVoteTypeTable,
                   kVoteTypeCount);
}
