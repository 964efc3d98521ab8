// Exchange between the configuration dialog's controls and the record: which field each control
// shows, how its text is checked and read back, and what a closed drop-down list changes. The
// dialogs hold tables of these rules and carry out what the functions decide.
#pragma once
#include "config/ServerConfig.h"

#include <cstddef>
#include <optional>
#include <string>

enum class FieldKind {
    Check,     // check box bound to an integer 0/1
    Integer,   // edit holding an integer, with or without a range
    Decimal,   // edit holding a decimal number
    Text,      // edit holding text as it is
    ItemFlag,  // check box bound to an availability flag (index in encoding order)
    VoteFlag,  // check box bound to a vote type flag
};

// The text edits (session name, passwords) take at most this many characters.
constexpr int kMaxTextFieldChars = 255;

struct FieldRule {
    int controlId;
    FieldKind kind;
    int ServerConfig::*pInt;
    double ServerConfig::*pDec;
    std::string ServerConfig::*pText;
    int index;  // ItemFlag, VoteFlag
    bool ranged;
    int minimum, maximum;
};

constexpr FieldRule CheckField(int id, int ServerConfig::*p)
{
    return {id, FieldKind::Check, p, nullptr, nullptr, 0, false, 0, 0};
}
constexpr FieldRule IntegerField(int id, int ServerConfig::*p)
{
    return {id, FieldKind::Integer, p, nullptr, nullptr, 0, false, 0, 0};
}
constexpr FieldRule RangedField(int id, int ServerConfig::*p, int minimum, int maximum)
{
    return {id, FieldKind::Integer, p, nullptr, nullptr, 0, true, minimum, maximum};
}
constexpr FieldRule DecimalField(int id, double ServerConfig::*p)
{
    return {id, FieldKind::Decimal, nullptr, p, nullptr, 0, false, 0, 0};
}
constexpr FieldRule TextField(int id, std::string ServerConfig::*p)
{
    return {id, FieldKind::Text, nullptr, nullptr, p, 0, false, 0, 0};
}
constexpr FieldRule ItemFlagField(int id, int index)
{
    return {id, FieldKind::ItemFlag, nullptr, nullptr, nullptr, index, false, 0, 0};
}
constexpr FieldRule VoteFlagField(int id, int index)
{
    return {id, FieldKind::VoteFlag, nullptr, nullptr, nullptr, index, false, 0, 0};
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
class ControlSource {
public:
    virtual std::string Text(int controlId) const = 0;
    virtual bool Checked(int controlId) const = 0;

protected:
    ~ControlSource() = default;
};

struct ExchangeFailure {
    int controlId;
    std::string message;
};

// Reads the controls into the record in table order. The first failing check stops the reading
// there: the fields after it stay as they were.
std::optional<ExchangeFailure> ReadControls(const FieldRule* rules, size_t count,
                                            const ControlSource& source, ServerConfig& cfg);

// What a control shows for the record: an edit's text, a check box's tick.
std::string FieldText(const FieldRule& rule, const ServerConfig& cfg);
bool FieldChecked(const FieldRule& rule, const ServerConfig& cfg);

// A closed drop-down list. With nothing selected (-1) the record keeps its value.
void ApplyGameTypeChoice(ServerConfig& cfg, int selected);
void ApplyStartingLevelChoice(ServerConfig& cfg, int selected);
void ApplyDifficultyChoice(ServerConfig& cfg, int selected);
// The stored starting level of the record's game type.
int StartingLevelOfGameType(const ServerConfig& cfg);

// The labels of the game type and difficulty lists; their index is the code.
constexpr int kGameTypeCount = 2;
extern const char* const kGameTypeLabels[kGameTypeCount];
constexpr int kDifficultyCount = 5;
extern const char* const kDifficultyLabels[kDifficultyCount];
