// The History.ini store at a generous size: 100 configurations. A save rewrites the whole file
// through its twin; a load scans for one block (the last one is the worst case).
#include "base/OwnFolder.h"
#include "config/HistoryStore.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

// The store in Tollan's own folder, where the test put it.
static CHistoryStore OwnHistory() { return CHistoryStore(OwnFile("History.ini")); }

namespace {

constexpr int kConfigs = 100;

std::string Name(int i) { return "Config" + std::to_string(i); }

// A temporary own folder holding a store of kConfigs blocks, made by our own writer.
class StoreFolder {
public:
    StoreFolder()
    {
        char tmpl[] = "/tmp/tollan-bench-history-XXXXXX";
        m_dir = mkdtemp(tmpl);
        SetOwnFolder(m_dir);
        for (int i = kConfigs - 1; i >= 0; --i) {
            CServerConfig cfg;
            cfg.m_strConfigName = Name(i);
            cfg.g_strSessionName = "Session of " + Name(i);
            cfg.g_iDmStartingLevel = i;
            cfg.m_astrHistory[0] = Name(i);
            OwnHistory().WriteHistoryFile(cfg);
        }
    }
    ~StoreFolder()
    {
        for (const char* name : {"History.ini", "HistoryTemp.ini", "Tollan.log"})
            std::remove((m_dir + "/" + name).c_str());
        rmdir(m_dir.c_str());
        SetOwnFolder("");
    }

private:
    std::string m_dir;
};

void BM_WriteHistoryFile(benchmark::State& state)
{
    StoreFolder folder;
    CServerConfig cfg;
    cfg.m_strConfigName = Name(kConfigs / 2);
    for (int i = 0; i < kHistorySlots; ++i)
        cfg.m_astrHistory[i] = Name(i);
    for (auto _ : state)
        benchmark::DoNotOptimize(OwnHistory().WriteHistoryFile(cfg));
}
BENCHMARK(BM_WriteHistoryFile)->Unit(benchmark::kMicrosecond);

void BM_GetConfigOptions(benchmark::State& state)
{
    StoreFolder folder;
    CServerConfig cfg;
    cfg.m_strConfigName = Name(static_cast<int>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(OwnHistory().GetConfigOptions(cfg));
}
// Block 0 comes first in the file, block 99 last.
BENCHMARK(BM_GetConfigOptions)->Arg(0)->Arg(kConfigs - 1)->Unit(benchmark::kMicrosecond);

}  // namespace
