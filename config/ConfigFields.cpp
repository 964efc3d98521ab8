#include "config/ConfigFields.h"

#include "config/Resource.h"

namespace {

using C = CServerConfig;

const CFieldRule kServerSettings[] = {
    CheckField(IDC_CLIENTS_MAY_PAUSE, &C::g_bClientsMayPause),
    CheckField(IDC_LAN, &C::g_bLAN),
    CheckField(IDC_DEBRIS_ENABLED, &C::g_bEnableDebris),
    RangedField(IDC_MAX_PLAYERS, &C::g_ctMaxPlayers, 1, 16),
    RangedField(IDC_VIP_SLOTS, &C::g_ctPrivateSlots, 0, 16),
    IntegerField(IDC_PORT, &C::g_uwPort),
    RangedField(IDC_SERVER_FPS, &C::g_iFPS, 1, 120),
    RangedField(IDC_PROBLEMS_TIMEOUT, &C::g_iProblemsTimeout, 1, 60),
    TextField(IDC_ADMIN_PASSWORD, &C::g_strAdminPassword),
    TextField(IDC_CONNECT_PASSWORD, &C::g_strConnectPassword),
    TextField(IDC_VIP_PASSWORD, &C::g_strVIPPassword),
    TextField(IDC_SESSION_NAME, &C::g_strSessionName),
    IntegerField(IDC_MAX_DEBRIS, &C::g_ctMaxDebris),
};

const CFieldRule kCoopOptions[] = {
    IntegerField(IDC_MAX_LIVES, &C::g_ctMaxLives),
    IntegerField(IDC_EXTRA_ENEMY_STRENGTH, &C::g_iExtraEnemyStrength),
    IntegerField(IDC_ENEMY_STRENGTH_PER_PLAYER, &C::g_iEnemyStrengthPerPlayer),
    CheckField(IDC_INFINITE_AMMO, &C::g_bInfiniteAmmo),
    CheckField(IDC_FRIENDLY_FIRE, &C::g_bFriendlyFire),
    CheckField(IDC_WEAPONS_STAY, &C::g_bWeaponsStay),
    CheckField(IDC_AMMO_STAYS, &C::g_bAmmoStays),
    CheckField(IDC_HEALTH_ARMOR_STAYS, &C::g_bHealthArmorStays),
};

const CFieldRule kDeathmatchOptions[] = {
    IntegerField(IDC_TIME_LIMIT, &C::g_ctTimeLimit),
    IntegerField(IDC_FRAGS_LIMIT, &C::g_ctFragsLimit),
    DecimalField(IDC_END_OF_ROUND_DELAY, &C::g_fEndOfRoundDelay),
};

const CFieldRule kVoteOptions[] = {
    VoteFlagField(IDC_VOTE_TYPE_FIRST + 0, 0),
    VoteFlagField(IDC_VOTE_TYPE_FIRST + 1, 1),
    VoteFlagField(IDC_VOTE_TYPE_FIRST + 2, 2),
    VoteFlagField(IDC_VOTE_TYPE_FIRST + 3, 3),
    IntegerField(IDC_BAN_TIME, &C::g_ctTimeBanMinutes),
    DecimalField(IDC_VOTE_DURATION, &C::g_fVoteDuration),
    IntegerField(IDC_VOTE_PERCENTAGE, &C::g_iVotePercentageToPass),
    DecimalField(IDC_VOTE_END_DELAY, &C::g_fVoteEndDelay),
};

template <size_t N>
CFieldTable Table(const CFieldRule (&rules)[N])
{
    return {rules, N};
}

}  // namespace

CFieldTable ServerSettingsFields() { return Table(kServerSettings); }
CFieldTable CoopOptionsFields() { return Table(kCoopOptions); }
CFieldTable DeathmatchOptionsFields() { return Table(kDeathmatchOptions); }
CFieldTable VoteOptionsFields() { return Table(kVoteOptions); }

std::vector<CFieldRule> AvailabilityFields(EAvailabilityPage page)
{
    std::vector<CFieldRule> rules;
    for (int i = 0; i < kItemCount; ++i)
        if (kItemTable[i].m_ePage == page)
            rules.push_back(ItemFlagField(IDC_ITEM_FIRST + i, i));
    return rules;
}
