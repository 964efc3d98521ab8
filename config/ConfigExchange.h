// Exchange between the configuration dialog's controls and the record: which field each control
// shows, how its text is checked and read back, and what a closed drop-down list changes. The
// dialogs hold tables of these rules and carry out what the functions decide.
#pragma once
#include "config/ServerConfig.h"

#include <cstddef>
#include <optional>
#include <string>

enum class EFieldKind {
    Check,     // check box bound to an integer 0/1
    Integer,   // edit holding an integer, with or without a range
    Decimal,   // edit holding a decimal number
    Text,      // edit holding text as it is
    ItemFlag,  // check box bound to an availability flag (index in encoding order)
    VoteFlag,  // check box bound to a vote type flag
};

// The text edits (session name, passwords) take at most this many characters.
constexpr int kMaxTextFieldChars = 255;

struct CFieldRule {
    int m_nControlId;
    EFieldKind m_eKind;
    int CServerConfig::*m_pInt;
    double CServerConfig::*m_pDec;
    std::string CServerConfig::*m_pText;
    int m_nIndex;  // ItemFlag, VoteFlag
    bool m_bRanged;
    int m_nMinimum, m_nMaximum;
};

constexpr CFieldRule CheckField(int id, int CServerConfig::*p)
{
    return {id, EFieldKind::Check, p, nullptr, nullptr, 0, false, 0, 0};
}
constexpr CFieldRule IntegerField(int id, int CServerConfig::*p)
{
    return {id, EFieldKind::Integer, p, nullptr, nullptr, 0, false, 0, 0};
}
constexpr CFieldRule RangedField(int id, int CServerConfig::*p, int minimum, int maximum)
{
    return {id, EFieldKind::Integer, p, nullptr, nullptr, 0, true, minimum, maximum};
}
constexpr CFieldRule DecimalField(int id, double CServerConfig::*p)
{
    return {id, EFieldKind::Decimal, nullptr, p, nullptr, 0, false, 0, 0};
}
constexpr CFieldRule TextField(int id, std::string CServerConfig::*p)
{
    return {id, EFieldKind::Text, nullptr, nullptr, p, 0, false, 0, 0};
}
constexpr CFieldRule ItemFlagField(int id, int index)
{
    return {id, EFieldKind::ItemFlag, nullptr, nullptr, nullptr, index, false, 0, 0};
}
constexpr CFieldRule VoteFlagField(int id, int index)
{
    return {id, EFieldKind::VoteFlag, nullptr, nullptr, nullptr, index, false, 0, 0};
}

extern const char* const kEnterIntegerMessage;  // "Please enter an integer."
extern const char* const kEnterNumberMessage;   // "Please enter a number."
// "Please enter an integer between <min> and <max>."
std::string IntegerRangeMessage(int minimum, int maximum);

// A whole edit text as an integer: blanks around an optional sign and decimal digits, within
// 32 bits. Hex, exponents and anything else give nothing.
std::optional<int> ParseIntegerText(const std::string& text);
// A whole edit text as a decimal number (digits, optional point and fraction, optional
// exponent), finite and within a 32-bit float's range. "inf", "nan" and hex give nothing.
std::optional<double> ParseDecimalText(const std::string& text);
// A decimal as the edits show it: no trailing zeros (60, 3, 2.5).
std::string FormatDecimalText(double value);

// What the controls hold, as the dialog reads them.
class CControlSource {
public:
    virtual std::string Text(int controlId) const = 0;
    virtual bool Checked(int controlId) const = 0;

protected:
    ~CControlSource() = default;
};

struct CExchangeFailure {
    int m_nControlId;
    std::string m_strMessage;
};

// Reads the controls into the record in table order. The first failing check stops the reading
// there: the fields after it stay as they were.
std::optional<CExchangeFailure> ReadControls(const CFieldRule* rules, size_t count,
                                            const CControlSource& source, CServerConfig& cfg);

// What a control shows for the record: an edit's text, a check box's tick.
std::string FieldText(const CFieldRule& rule, const CServerConfig& cfg);
bool FieldChecked(const CFieldRule& rule, const CServerConfig& cfg);

// A closed drop-down list. With nothing selected (-1) the record keeps its value.
void ApplyGameTypeChoice(CServerConfig& cfg, int selected);
void ApplyStartingLevelChoice(CServerConfig& cfg, int selected);
void ApplyDifficultyChoice(CServerConfig& cfg, int selected);
// The stored starting level of the record's game type.
int StartingLevelOfGameType(const CServerConfig& cfg);

// The labels of the game type and difficulty lists; their index is the code.
constexpr int kGameTypeCount = 2;
extern const char* const kGameTypeLabels[kGameTypeCount];
constexpr int kDifficultyCount = 5;
extern const char* const kDifficultyLabels[kDifficultyCount];
