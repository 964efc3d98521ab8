#include "config/ConfigExchange.h"

#include "base/Decimal.h"
#include "base/StringPrintf.h"
#include "config/ConfigKeys.h"

#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdlib>

const char* const kEnterIntegerMessage = "Please enter an integer.";
const char* const kEnterNumberMessage = "Please enter a number.";

const char* const kGameTypeLabels[kGameTypeCount] = {"COOPERATIVE", "DEATHMATCH"};
const char* const kDifficultyLabels[kDifficultyCount] = {"TOURIST", "EASY", "NORMAL", "HARD",
                                                         "DRAVIC"};

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The text between leading and trailing blanks.
std::string Stripped(const std::string& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

}  // namespace

std::string IntegerRangeMessage(int minimum, int maximum)
{
    return StringPrintf("Please enter an integer between %d and %d.", minimum, maximum);
}

std::optional<int> ParseIntegerText(const std::string& text)
{
    const std::string s = Stripped(text);
    size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        negative = s[i++] == '-';
    if (i == s.size())
        return std::nullopt;
    long long n = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i]))
            return std::nullopt;
        n = n * 10 + (s[i] - '0');
        if (n > static_cast<long long>(INT_MAX) + 1)
            return std::nullopt;
    }
    if (negative)
        n = -n;
    if (n > INT_MAX || n < INT_MIN)
        return std::nullopt;
    return static_cast<int>(n);
}

std::optional<double> ParseDecimalText(const std::string& text)
{
    const std::string s = Stripped(text);
    size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    size_t digits = 0;
    while (i < s.size() && IsDigit(s[i]))
        ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && IsDigit(s[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        size_t exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i]))
            ++i, ++exponentDigits;
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;
    const double value = ParseCheckedDecimal(s);
    // The game keeps these values as 32-bit floats.
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX)
        return std::nullopt;
    return value;
}

std::string FormatDecimalText(double value) { return FormatSignificant15(value); }

std::optional<CExchangeFailure> ReadControls(const CFieldRule* rules, size_t count,
                                            const CControlSource& source, CServerConfig& cfg)
{
    for (size_t i = 0; i < count; ++i) {
        const CFieldRule& rule = rules[i];
        switch (rule.m_eKind) {
        case EFieldKind::Check:
            cfg.*rule.m_pInt = source.Checked(rule.m_nControlId) ? 1 : 0;
            break;
        case EFieldKind::ItemFlag:
            cfg.m_abItemAvailable[rule.m_nIndex] = source.Checked(rule.m_nControlId) ? 1 : 0;
            break;
        case EFieldKind::VoteFlag:
            cfg.m_abVoteTypeAvailable[rule.m_nIndex] = source.Checked(rule.m_nControlId) ? 1 : 0;
            break;
        case EFieldKind::Text:
            cfg.*rule.m_pText = source.Text(rule.m_nControlId);
            break;
        case EFieldKind::Integer: {
            std::optional<int> value = ParseIntegerText(source.Text(rule.m_nControlId));
            if (!value)
                return CExchangeFailure{rule.m_nControlId, kEnterIntegerMessage};
            if (rule.m_bRanged && (*value < rule.m_nMinimum || *value > rule.m_nMaximum))
                return CExchangeFailure{rule.m_nControlId, IntegerRangeMessage(rule.m_nMinimum, rule.m_nMaximum)};
            cfg.*rule.m_pInt = *value;
            break;
        }
        case EFieldKind::Decimal: {
            std::optional<double> value = ParseDecimalText(source.Text(rule.m_nControlId));
            if (!value)
                return CExchangeFailure{rule.m_nControlId, kEnterNumberMessage};
            cfg.*rule.m_pDec = *value;
            break;
        }
        }
    }
    return std::nullopt;
}

std::string FieldText(const CFieldRule& rule, const CServerConfig& cfg)
{
    switch (rule.m_eKind) {
    case EFieldKind::Integer: return StringPrintf("%d", cfg.*rule.m_pInt);
    case EFieldKind::Decimal: return FormatDecimalText(cfg.*rule.m_pDec);
    case EFieldKind::Text: return cfg.*rule.m_pText;
    default: return std::string();
    }
}

bool FieldChecked(const CFieldRule& rule, const CServerConfig& cfg)
{
    switch (rule.m_eKind) {
    case EFieldKind::Check: return cfg.*rule.m_pInt != 0;
    case EFieldKind::ItemFlag: return cfg.m_abItemAvailable[rule.m_nIndex] != 0;
    case EFieldKind::VoteFlag: return cfg.m_abVoteTypeAvailable[rule.m_nIndex] != 0;
    default: return false;
    }
}

void ApplyGameTypeChoice(CServerConfig& cfg, int selected)
{
    if (selected >= 0 && selected < kGameTypeCount)
        cfg.g_gtGameType = selected;
}

void ApplyStartingLevelChoice(CServerConfig& cfg, int selected)
{
    if (selected < 0)
        return;
    if (cfg.g_gtGameType == kGameTypeDeathmatch)
        cfg.g_iDmStartingLevel = selected;
    else
        cfg.g_iCoopStartingLevel = selected;
}

void ApplyDifficultyChoice(CServerConfig& cfg, int selected)
{
    if (selected >= 0 && selected < kDifficultyCount)
        cfg.g_gdDifficulty = selected;
}

int StartingLevelOfGameType(const CServerConfig& cfg)
{
    return cfg.g_gtGameType == kGameTypeDeathmatch ? cfg.g_iDmStartingLevel : cfg.g_iCoopStartingLevel;
}
