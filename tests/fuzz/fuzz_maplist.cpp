// Arbitrary bytes as a map list file: recognised or not, read against the demo levels; a read
// list must name only filled deathmatch slots, and writing it back must read back the same.
#include "base/OwnFolder.h"
#include "maps/MapListFiles.h"
#include "platform/Platform.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_game;

void RemoveGame()
{
    std::system(("rm -rf '" + g_game + "'").c_str());
}

void SetUp()
{
    char tmpl[] = "/tmp/tollan-fuzz-maplist-XXXXXX";
    if (!mkdtemp(tmpl))
        std::abort();
    g_game = tmpl;
    std::atexit(RemoveGame);
    SetOwnFolder(g_game);
    platform::MakeDirectory(g_game + "/DedicatedServerUtility");
    platform::MakeDirectory(MapListFolder(g_game));
}

CLevelList DemoLevels()
{
    CLevelList dm;
    const char* names[] = {"DM_LittleTrouble", "DM_BrkeenChevap", "DM_Chanolin", "DM_Metropolis"};
    for (int i = 0; i < 4; ++i)
        dm.m_aSlots[i] = {names[i],
                       std::string("Content/DravicQel2/Levels/Multiplayer/") + names[i] + "/" +
                           names[i] + ".wld",
                       i};
    return dm;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static bool s_bReady = (SetUp(), true);
    static CLevelList s_dm = DemoLevels();
    (void)s_bReady;
    std::string path = MapListFolder(g_game) + "/Fuzz.txt";
    if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    ListMapLists(g_game, true);
    std::vector<int> slots;
    if (!ReadMapList(g_game, "Fuzz.txt", s_dm, slots))
        std::abort();
    for (int slot : slots)
        if (slot < 0 || slot >= s_dm.Count())
            std::abort();
    if (!slots.empty()) {
        int start = -1;
        if (WriteMapList(g_game, "Again", slots, s_dm, start) != EMapListSave::Saved ||
            start != slots.front())
            std::abort();
        std::vector<int> again;
        ReadMapList(g_game, "Again.txt", s_dm, again);
        // Runs of one level fold to one on reading.
        std::vector<int> folded;
        for (int slot : slots)
            if (folded.empty() || folded.back() != slot)
                folded.push_back(slot);
        if (again != folded)
            std::abort();
    }
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "Content/DravicQel2/Levels/Multiplayer/DM_Metropolis/DM_Metropolis.wld\r\n"
        "Content/DravicQel2/Levels/Multiplayer/DM_LittleTrouble/DM_LittleTrouble.wld\r\n",
        "Content/DravicQel2/Levels/Multiplayer/DM_Chanolin/DM_Chanolin.wld \t\n\n"
        "Content/DravicQel2/Levels/Multiplayer/DM_Chanolin/DM_Chanolin.wld\r\r\n",
        nullptr,
    };
    return seeds;
}
