// The level catalogue: the cooperative and the deathmatch levels found in the game's archives.
// Each list has 200 slots, filled contiguously from slot 0 in discovery order; a free slot has an
// empty name, an empty path and index -1 and ends the list for every reader.
#pragma once
#include <array>
#include <string>

struct CLevelSlot {
    std::string m_strName;  // display name (at most 100 characters)
    std::string m_strPath;  // archive path with "/", ending in ".wld"
    int m_nIndex = -1;      // the slot's own number when filled
};

constexpr int kLevelSlots = 200;

struct CLevelList {
    std::array<CLevelSlot, kLevelSlots> m_aSlots;

    // Number of filled slots (up to the first free one).
    int Count() const
    {
        int n = 0;
        while (n < kLevelSlots && m_aSlots[n].m_nIndex >= 0 && !m_aSlots[n].m_strName.empty())
            ++n;
        return n;
    }
    // Path of slot i, or "" when i is outside the filled slots.
    std::string PathAt(int i) const { return i >= 0 && i < Count() ? m_aSlots[i].m_strPath : std::string(); }
    void Clear() { m_aSlots.fill(CLevelSlot{}); }
};

// Filled by the level scan at start-up, read by everything after it.
struct CLevelCatalogue {
    CLevelList m_coop;
    CLevelList m_dm;
    void Clear()
    {
        m_coop.Clear();
        m_dm.Clear();
    }
};

