// The 37 keys of a stored configuration, in the order the store writes them, with the field each
// one names and how its value is read and written.
#pragma once
#include "config/ServerConfig.h"

#include <string>

enum class EKeyType { Integer, Decimal, Text };

struct CConfigKey {
    const char* m_pszName;
    EKeyType m_eType;
    int CServerConfig::*m_pInt;
    double CServerConfig::*m_pDec;
    std::string CServerConfig::*m_pText;
};

constexpr int kConfigKeyCount = 37;
extern const CConfigKey kConfigKeys[kConfigKeyCount];

// Exact, case-sensitive lookup; nullptr for an unknown key.
const CConfigKey* FindConfigKey(const std::string& name);

// The leading decimal integer (blanks, sign, digits; "60.0" gives 60, no digits give 0),
// saturated to the int range so both builds read the same.
int ParseLeadingInt(const std::string& value);
// The leading decimal number (digits, optional point and fraction, optional exponent); 0 if none.
double ParseLeadingDecimal(const std::string& value);

// Assigns a stored value to the key's field.
void AssignConfigKey(CServerConfig& cfg, const CConfigKey& key, const std::string& value);
// The value as the store writes it: integers plain, decimals with two places, text unchanged.
std::string FormatConfigValue(const CServerConfig& cfg, const CConfigKey& key);

