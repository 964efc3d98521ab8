// Availability of weapons, items, powerups and vote types: the game's tokens, the check box
// labels, and the text form ("Token;Token;") the store and the options script carry.
#pragma once
#include "config/ServerConfig.h"

#include <string>

enum class EAvailabilityPage { Items, Powerups, Weapons };

struct CAvailabilityEntry {
    const char* m_pszToken;  // the game's own name; case-sensitive
    const char* m_pszLabel;  // check box label
    EAvailabilityPage m_ePage;
};

// In encoding order: the order in which disabled tokens are written.
extern const CAvailabilityEntry kItemTable[kItemCount];

struct CVoteTypeEntry {
    const char* m_pszToken;
    const char* m_pszLabel;
};
extern const CVoteTypeEntry kVoteTypeTable[kVoteTypeCount];

// Index of an item in kItemTable by its token, or -1.
int FindItem(const char* token);

void BuildDisabledItems(CServerConfig& cfg);
void BuildDisabledVoteTypes(CServerConfig& cfg);
void ReadDisabledItems(CServerConfig& cfg);
void ReadDisabledVoteTypes(CServerConfig& cfg);
