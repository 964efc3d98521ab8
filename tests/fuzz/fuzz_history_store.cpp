// Arbitrary bytes as History.ini: every reader of the store, and a rewrite that copies its blocks.
#include "base/OwnFolder.h"
#include "config/HistoryStore.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

std::string g_dir;

void RemoveDir()
{
    for (const char* name : {"History.ini", "HistoryTemp.ini", "Tollan.log"})
        std::remove((g_dir + "/" + name).c_str());
    rmdir(g_dir.c_str());
}

void Prepare()
{
    if (!g_dir.empty())
        return;
    char tmpl[] = "/tmp/tollan-fuzz-history-XXXXXX";
    g_dir = mkdtemp(tmpl);
    SetOwnFolder(g_dir);
    std::atexit(RemoveDir);
}

void Store(const uint8_t* data, size_t size)
{
    if (std::FILE* f = std::fopen((g_dir + "/History.ini").c_str(), "wb")) {
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
}

}  // namespace

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "CONFIG_HISTORY\r\n  A\r\n  B\r\nEND_HISTORY\r\n\r\nSERVER_OPTIONS\r\n  g_strAdminPassword = "
        "pw;\r\nEND_OPTIONS\r\n\r\nCONFIG_NAME\r\nA\r\n{\r\n  g_iFPS = 10;\r\n  g_fVoteDuration = "
        "1e308;\r\n  g_strDisabledItems = Uzi;cannon;Klodovik\r\n}\r\n\r\nCONFIG_NAME\r\nB\r\n{\r\n"
        "  g_gtGameType = 1;\r\n}\r\n\r\nEND\r\n",
        "CONFIG_NAME\nA\n{\n  g_ctMaxPlayers = -99999999999999;\n  g_strSessionName = x ;;\n",
        "CONFIG_NAME\r\nCONFIG_NAME\r\nA\r\n",
        nullptr,
    };
    return seeds;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Prepare();
    Store(data, size);
    std::remove((g_dir + "/Tollan.log").c_str());

    CServerConfig cfg;
    cfg.m_strConfigName = "A";
    OwnHistory().GetConfigOptions(cfg);
    CConfigComboResult combo = OwnHistory().FillConfigCombo(cfg);
    for (size_t i = kHistorySlots; i < combo.m_names.size(); ++i)
        if (i < cfg.m_astrHistory.size())
            std::abort();
    OwnHistory().ReadAdminPassword();
    OwnHistory().ReadStoredGameType("B");
    OwnHistory().ReadConfigHistory(cfg.m_strConfigName, size % 2 == 0);

    // Rewriting keeps every other block and the result loads back to the same record.
    cfg.m_strConfigName = "A";
    cfg.m_astrHistory = {"A", "B"};
    if (OwnHistory().WriteHistoryFile(cfg)) {
        CServerConfig again;
        again.m_strConfigName = "A";
        OwnHistory().GetConfigOptions(again);
        if (again.g_iFPS != cfg.g_iFPS || again.g_strMapList != cfg.g_strMapList ||
            again.m_abItemAvailable != cfg.m_abItemAvailable)
            std::abort();
    }
    return 0;
}
