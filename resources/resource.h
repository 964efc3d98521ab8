// Every id the resource scripts name: each folder keeps the ids of its own dialogs and menus beside
// them, and Tollan.rc, which holds all of them, sees them all through this one header.
#pragma once

#include "../app/Resource.h"
#include "../config/Resource.h"
#include "../controls/Resource.h"
#include "../maps/Resource.h"
