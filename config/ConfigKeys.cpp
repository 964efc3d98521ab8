#include "config/ConfigKeys.h"

#include "base/Decimal.h"
#include "base/StringPrintf.h"

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>

#define KEY_INT(f) {#f, EKeyType::Integer, &CServerConfig::f, nullptr, nullptr}
#define KEY_DEC(f) {#f, EKeyType::Decimal, nullptr, &CServerConfig::f, nullptr}
#define KEY_TXT(f) {#f, EKeyType::Text, nullptr, nullptr, &CServerConfig::f}

const CConfigKey kConfigKeys[kConfigKeyCount] = {
    KEY_INT(g_bAmmoStays),
    KEY_INT(g_bClientsMayPause),
    KEY_INT(g_bLAN),
    KEY_INT(g_bEnableDebris),
    KEY_INT(g_bFriendlyFire),
    KEY_INT(g_bHealthArmorStays),
    KEY_INT(g_bInfiniteAmmo),
    KEY_INT(g_bWeaponsStay),
    KEY_TXT(g_strSessionName),
    KEY_INT(g_ctMaxLives),
    KEY_INT(g_ctMaxPlayers),
    KEY_INT(g_ctPrivateSlots),
    KEY_INT(g_gdDifficulty),
    KEY_INT(g_iEnemyStrengthPerPlayer),
    KEY_INT(g_iExtraEnemyStrength),
    KEY_INT(g_iCoopStartingLevel),
    KEY_INT(g_iDmStartingLevel),
    KEY_INT(g_ctFragsLimit),
    KEY_INT(g_ctTimeLimit),
    KEY_INT(g_gtGameType),
    KEY_INT(g_ctTimeBanMinutes),
    KEY_DEC(g_fVoteDuration),
    KEY_INT(g_iVotePercentageToPass),
    KEY_DEC(g_fVoteEndDelay),
    KEY_DEC(g_fEndOfRoundDelay),
    KEY_TXT(g_strDisabledVoteTypes),
    KEY_TXT(g_strDisabledItems),
    KEY_TXT(g_strDefaultMapDir),
    KEY_TXT(g_strMapList),
    KEY_TXT(g_strMapListFile),
    KEY_TXT(g_strAdminPassword),
    KEY_TXT(g_strConnectPassword),
    KEY_TXT(g_strVIPPassword),
    KEY_INT(g_iFPS),
    KEY_INT(g_iProblemsTimeout),
    KEY_INT(g_uwPort),
    KEY_INT(g_ctMaxDebris),
};

#undef KEY_INT
#undef KEY_DEC
#undef KEY_TXT

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

}  // namespace

const CConfigKey* FindConfigKey(const std::string& name)
{
    for (const CConfigKey& key : kConfigKeys)
        if (name == key.m_pszName)
            return &key;
    return nullptr;
}

int ParseLeadingInt(const std::string& value)
{
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i]))
        ++i;
    bool negative = false;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        negative = value[i++] == '-';
    long long n = 0;
    for (; i < value.size() && IsDigit(value[i]); ++i) {
        n = n * 10 + (value[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            n = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        n = -n;
    if (n > INT_MAX)
        n = INT_MAX;
    return static_cast<int>(n);
}

double ParseLeadingDecimal(const std::string& value)
{
    size_t i = 0;
    while (i < value.size() && IsBlank(value[i]))
        ++i;
    const size_t start = i;
    if (i < value.size() && (value[i] == '+' || value[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < value.size() && IsDigit(value[i]))
        ++i, ++digits;
    if (i < value.size() && value[i] == '.') {
        ++i;
        while (i < value.size() && IsDigit(value[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0;
    // An exponent counts only when digits follow it ("3e" is 3).
    if (i < value.size() && (value[i] == 'e' || value[i] == 'E')) {
        size_t j = i + 1;
        if (j < value.size() && (value[j] == '+' || value[j] == '-'))
            ++j;
        if (j < value.size() && IsDigit(value[j])) {
            while (j < value.size() && IsDigit(value[j]))
                ++j;
            i = j;
        }
    }
    return ParseCheckedDecimal(value.substr(start, i - start));
}

void AssignConfigKey(CServerConfig& cfg, const CConfigKey& key, const std::string& value)
{
    switch (key.m_eType) {
    case EKeyType::Integer: cfg.*key.m_pInt = ParseLeadingInt(value); break;
    case EKeyType::Decimal: cfg.*key.m_pDec = ParseLeadingDecimal(value); break;
    case EKeyType::Text: cfg.*key.m_pText = value; break;
    }
}

std::string FormatConfigValue(const CServerConfig& cfg, const CConfigKey& key)
{
    switch (key.m_eType) {
    case EKeyType::Integer: return StringPrintf("%d", cfg.*key.m_pInt);
    case EKeyType::Decimal: return FormatFixed2(cfg.*key.m_pDec);
    case EKeyType::Text: return cfg.*key.m_pText;
    }
    return std::string();
}
