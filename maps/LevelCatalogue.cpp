#include "maps/LevelCatalogue.h"
