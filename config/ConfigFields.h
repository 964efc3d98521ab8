// Which control of the configuration dialog and its pages shows which field of the record, in
// the order the controls are read.
#pragma once
#include "config/Availability.h"
#include "config/ConfigExchange.h"

#include <vector>

struct CFieldTable {
    const CFieldRule* m_pRules;
    size_t m_nCount;
};

// The dialog's own controls: the three check boxes, Max Players, VIP Slots, Port, Server FPS,
// Problems Timeout, the passwords, the session name and Max Debris Count.
CFieldTable ServerSettingsFields();
CFieldTable CoopOptionsFields();
CFieldTable DeathmatchOptionsFields();
CFieldTable VoteOptionsFields();
// The check boxes of one availability page, in encoding order.
std::vector<CFieldRule> AvailabilityFields(EAvailabilityPage page);
