// Arbitrary disabled-item and vote-type texts: decoding never fails, and re-encoding the flags
// gives a canonical text that decodes to the same flags.
#include "config/Availability.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {"DravicDamage;Cannon;", "Uzi;;uzi;Sniper", "nextmap;kick",
                                        ";", nullptr};
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    CServerConfig cfg;
    cfg.g_strDisabledItems = text;
    cfg.g_strDisabledVoteTypes = text;
    ReadDisabledItems(cfg);
    ReadDisabledVoteTypes(cfg);
    const auto items = cfg.m_abItemAvailable;
    const auto votes = cfg.m_abVoteTypeAvailable;

    BuildDisabledItems(cfg);
    BuildDisabledVoteTypes(cfg);
    const std::string itemText = cfg.g_strDisabledItems;
    const std::string voteText = cfg.g_strDisabledVoteTypes;
    ReadDisabledItems(cfg);
    ReadDisabledVoteTypes(cfg);
    if (cfg.m_abItemAvailable != items || cfg.m_abVoteTypeAvailable != votes)
        std::abort();
    BuildDisabledItems(cfg);
    BuildDisabledVoteTypes(cfg);
    if (cfg.g_strDisabledItems != itemText || cfg.g_strDisabledVoteTypes != voteText)
        std::abort();
    // Every enabled flag stays out of the text.
    for (int i = 0; i < kItemCount; ++i)
        if (items[i] != 0 && items[i] != 1)
            std::abort();
    return 0;
}
