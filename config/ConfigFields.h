// Which control of the configuration dialog and its pages shows which field of the record, in
// the order the controls are read.
#pragma once
#include "config/Availability.h"
#include "config/ConfigExchange.h"

#include <vector>

struct FieldTable {
    const FieldRule* rules;
    size_t count;
};

// The dialog's own controls: the three check boxes, Max Players, VIP Slots, Port, Server FPS,
// Problems Timeout, the passwords, the session name and Max Debris Count.
FieldTable ServerSettingsFields();
FieldTable CoopOptionsFields();
FieldTable DeathmatchOptionsFields();
FieldTable VoteOptionsFields();
// The check boxes of one availability page, in encoding order.
std::vector<FieldRule> AvailabilityFields(AvailabilityPage page);
