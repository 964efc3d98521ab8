// The console model under a long server run: 10 MB of log-like text in batches of 255 bytes (one
// follower read each), with the control's length simulated under the 20000-character cap. The
// cost per batch must not grow with what the console has held: compare the first and the last
// 1000 batches.
#include "controls/ConsoleModel.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <string>
#include <sys/resource.h>

namespace {

std::string LogLikeText(size_t bytes)
{
    static const char* const kLines[] = {
        "INF:  Player %u joined the game.\r\n",
        "TRC:   Changing over to Levels/Coop/Level%u.wld\r\n",
        "WRN:  Client %u is lagging behind.\r\n",
        "ERR:  Could not load texture %u.\r\n",
        "Server frame %u took too long\r\n",
        "TRC:   Spawned entity %u\r\n",
    };
    std::string text;
    text.reserve(bytes + 128);
    char line[128];
    unsigned n = 0;
    while (text.size() < bytes) {
        int len = std::snprintf(line, sizeof line, kLines[n % 6], n * 7919u % 100000u);
        text.append(line, static_cast<size_t>(len));
        ++n;
    }
    text.resize(bytes);
    return text;
}

long PeakRssKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

void BM_ConsoleModel10MB(benchmark::State& state)
{
    const size_t kBytes = 10u * 1024u * 1024u;
    const size_t kBatch = 255;
    const size_t kWindow = 1000;
    const std::string text = LogLikeText(kBytes);
    const size_t batches = (text.size() + kBatch - 1) / kBatch;
    double firstNs = 0, lastNs = 0;
    size_t finalLength = 0;
    for (auto _ : state) {
        CConsoleModel model;
        size_t length = 0;
        auto windowStart = std::chrono::steady_clock::now();
        for (size_t i = 0; i < batches; ++i) {
            if (i == batches - kWindow)
                windowStart = std::chrono::steady_clock::now();
            CConsoleBatch b = model.AppendConsoleText(text.substr(i * kBatch, kBatch), length);
            length -= b.nTrimChars;
            for (const CConsoleInsert& ins : b.inserts)
                length += ins.strText.size();
            benchmark::DoNotOptimize(b);
            if (i + 1 == kWindow || i + 1 == batches) {
                double ns = std::chrono::duration<double, std::nano>(
                                std::chrono::steady_clock::now() - windowStart)
                                .count() /
                            kWindow;
                (i + 1 == kWindow ? firstNs : lastNs) = ns;
            }
        }
        finalLength = length;
    }
    state.counters["batches"] = static_cast<double>(batches);
    state.counters["first1000_ns_per_batch"] = firstNs;
    state.counters["last1000_ns_per_batch"] = lastNs;
    state.counters["last_over_first"] = firstNs > 0 ? lastNs / firstNs : 0;
    state.counters["final_console_chars"] = static_cast<double>(finalLength);
    state.counters["peak_rss_kb"] = static_cast<double>(PeakRssKb());
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}

}  // namespace

BENCHMARK(BM_ConsoleModel10MB)->Unit(benchmark::kMillisecond)->Iterations(3);
