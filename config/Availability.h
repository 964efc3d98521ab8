// Availability of weapons, items, powerups and vote types: the game's tokens, the check box
// labels, and the text form ("Token;Token;") the store and the options script carry.
#pragma once
#include "config/ServerConfig.h"

#include <string>

enum class AvailabilityPage { Items, Powerups, Weapons };

struct AvailabilityEntry {
    const char* token;  // the game's own name; case-sensitive
    const char* label;  // check box label
    AvailabilityPage page;
};

// In encoding order: the order in which disabled tokens are written.
extern const AvailabilityEntry kItemTable[kItemCount];

struct VoteTypeEntry {
    const char* token;
    const char* label;
};
extern const VoteTypeEntry kVoteTypeTable[kVoteTypeCount];

// Index of an item in kItemTable by its token, or -1.
int FindItem(const char* token);

void BuildDisabledItems(ServerConfig& cfg);
void BuildDisabledVoteTypes(ServerConfig& cfg);
void ReadDisabledItems(ServerConfig& cfg);
void ReadDisabledVoteTypes(ServerConfig& cfg);
