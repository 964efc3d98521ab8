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

std::optional<ExchangeFailure> ReadControls(const FieldRule* rules, size_t count,
                                            const ControlSource& source, ServerConfig& cfg)
{
    for (size_t i = 0; i < count; ++i) {
        const FieldRule& rule = rules[i];
        switch (rule.kind) {
        case FieldKind::Check:
            cfg.*rule.pInt = source.Checked(rule.controlId) ? 1 : 0;
            break;
        case FieldKind::ItemFlag:
            cfg.m_abItemAvailable[rule.index] = source.Checked(rule.controlId) ? 1 : 0;
            break;
        case FieldKind::VoteFlag:
            cfg.m_abVoteTypeAvailable[rule.index] = source.Checked(rule.controlId) ? 1 : 0;
            break;
        case FieldKind::Text:
            cfg.*rule.pText = source.Text(rule.controlId);
            break;
        case FieldKind::Integer: {
            std::optional<int> value = ParseIntegerText(source.Text(rule.controlId));
            if (!value)
                return ExchangeFailure{rule.controlId, kEnterIntegerMessage};
            if (rule.ranged && (*value < rule.minimum || *value > rule.maximum))
                return ExchangeFailure{rule.controlId, IntegerRangeMessage(rule.minimum, rule.maximum)};
            cfg.*rule.pInt = *value;
            break;
        }
        case FieldKind::Decimal: {
            std::optional<double> value = ParseDecimalText(source.Text(rule.controlId));
            if (!value)
                return ExchangeFailure{rule.controlId, kEnterNumberMessage};
            cfg.*rule.pDec = *value;
            break;
        }
        }
    }
    return std::nullopt;
}

std::string FieldText(const FieldRule& rule, const ServerConfig& cfg)
{
    switch (rule.kind) {
    case FieldKind::Integer: return StringPrintf("%d", cfg.*rule.pInt);
    case FieldKind::Decimal: return FormatDecimalText(cfg.*rule.pDec);
    case FieldKind::Text: return cfg.*rule.pText;
    default: return std::string();
    }
}

bool FieldChecked(const FieldRule& rule, const ServerConfig& cfg)
{
    switch (rule.kind) {
    case FieldKind::Check: return cfg.*rule.pInt != 0;
    case FieldKind::ItemFlag: return cfg.m_abItemAvailable[rule.index] != 0;
    case FieldKind::VoteFlag: return cfg.m_abVoteTypeAvailable[rule.index] != 0;
    default: return false;
    }
}

void ApplyGameTypeChoice(ServerConfig& cfg, int selected)
{
    if (selected >= 0 && selected < kGameTypeCount)
        cfg.g_gtGameType = selected;
}

void ApplyStartingLevelChoice(ServerConfig& cfg, int selected)
{
    if (selected < 0)
        return;
    if (cfg.g_gtGameType == kGameTypeDeathmatch)
        cfg.g_iDmStartingLevel = selected;
    else
        cfg.g_iCoopStartingLevel = selected;
}

void ApplyDifficultyChoice(ServerConfig& cfg, int selected)
{
    if (selected >= 0 && selected < kDifficultyCount)
        cfg.g_gdDifficulty = selected;
}

int StartingLevelOfGameType(const ServerConfig& cfg)
{
    return cfg.g_gtGameType == kGameTypeDeathmatch ? cfg.g_iDmStartingLevel : cfg.g_iCoopStartingLevel;
}
