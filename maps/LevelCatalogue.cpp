#include "maps/LevelCatalogue.h"

LevelCatalogue& TheLevelCatalogue()
{
    static LevelCatalogue s_catalogue;
    return s_catalogue;
}
