// Level discovery: the demo game folder, and one large archive (20,000 entries, 200 ".nfo", about
// 100 MB of stored ".wld" data) against the unzip command doing the same job: list the names,
// then unpack the ".nfo" entries.
#include "base/OwnFolder.h"
#include "maps/LevelDiscovery.h"

#include <benchmark/benchmark.h>
#include <zip.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

const int kEntries = 20000;
const int kNfoEntries = 200;
const size_t kWldBytes = 100u * 1000 * 1000 / (kEntries - kNfoEntries);

std::string MakeTempDir(const char* tag)
{
    std::string tmpl = std::string("/tmp/tollan-bench-") + tag + "-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!mkdtemp(buf.data()))
        std::abort();
    return buf.data();
}

// Removes the folder when the benchmark program ends.
struct CFolder {
    explicit CFolder(const char* tag) : m_strPath(MakeTempDir(tag)) {}
    ~CFolder() { std::system(("rm -rf '" + m_strPath + "'").c_str()); }
    std::string m_strPath;
};

const CFolder& LogFolder()
{
    static CFolder s_folder("log");
    SetOwnFolder(s_folder.m_strPath);
    return s_folder;
}

const std::string& DemoGame()
{
    static CFolder s_folder("demo");
    static bool s_bMade = [] {
        std::string cmd = "python3 '" TOLLAN_SOURCE_DIR "/gamesim/make_demo_game.py' '" +
                          s_folder.m_strPath + "'";
        return std::system(cmd.c_str()) == 0;
    }();
    if (!s_bMade)
        std::abort();
    return s_folder.m_strPath;
}

const std::string& LargeGame()
{
    static CFolder s_folder("large");
    static bool s_bMade = [] {
        std::string path = s_folder.m_strPath + "/Large.gro";
        zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
        if (!zf)
            return false;
        std::string data(kWldBytes, '\0');
        unsigned seed = 12345;
        int every = kEntries / kNfoEntries;
        for (int i = 0; i < kEntries; ++i) {
            char name[128];
            bool nfo = i % every == every - 1;
            std::snprintf(name, sizeof name, "Content/DravicQel2/Levels/Bench/L%05d/L%05d.%s", i, i,
                          nfo ? "nfo" : "wld");
            std::string body;
            if (nfo) {
                body = std::string("[LEVEL_INFO]\r\nMAP_TYPE=\" ") + (i % 2 ? "DM" : "COOP") +
                       "\"\r\nNAME=\"LVL=Level " + std::to_string(i) + "\"\r\n";
            } else {
                for (char& c : data)
                    c = static_cast<char>((seed = seed * 1103515245u + 12345u) >> 24);
                body = data;
            }
            zip_fileinfo info{};
            // Stored: level data does not shrink, and the cost under test is finding the entries.
            if (zipOpenNewFileInZip(zf, name, &info, nullptr, 0, nullptr, 0, nullptr,
                                    nfo ? Z_DEFLATED : 0, Z_DEFAULT_COMPRESSION) != ZIP_OK ||
                zipWriteInFileInZip(zf, body.data(), static_cast<unsigned>(body.size())) != ZIP_OK ||
                zipCloseFileInZip(zf) != ZIP_OK)
                return false;
        }
        return zipClose(zf, nullptr) == ZIP_OK;
    }();
    if (!s_bMade)
        std::abort();
    return s_folder.m_strPath;
}

void Discover(benchmark::State& state, const std::string& game, int expected)
{
    LogFolder();
    auto catalogue = std::make_unique<CLevelCatalogue>();
    for (auto _ : state) {
        catalogue->Clear();
        ScanLevels(game, *catalogue);
        benchmark::DoNotOptimize(catalogue.get());
    }
    if (catalogue->dm.Count() + catalogue->coop.Count() != expected)
        state.SkipWithError("unexpected number of levels");
}

void BM_DiscoverDemoGame(benchmark::State& state) { Discover(state, DemoGame(), 4 + 29); }
BENCHMARK(BM_DiscoverDemoGame)->Unit(benchmark::kMillisecond);

void BM_DiscoverLargeArchive(benchmark::State& state)
{
    Discover(state, LargeGame(), kNfoEntries);
}
BENCHMARK(BM_DiscoverLargeArchive)->Unit(benchmark::kMillisecond);

// The same file through unzip: names from the central directory, then the ".nfo" data.
void BM_UnzipLargeArchive(benchmark::State& state)
{
    std::string archive = LargeGame() + "/Large.gro";
    std::string cmd = "unzip -Z1 '" + archive + "' >/dev/null && unzip -p '" + archive +
                      "' '*.nfo' >/dev/null";
    for (auto _ : state)
        if (std::system(cmd.c_str()) != 0)
            state.SkipWithError("unzip failed");
}
BENCHMARK(BM_UnzipLargeArchive)->Unit(benchmark::kMillisecond);

}  // namespace
