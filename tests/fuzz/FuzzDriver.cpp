// Runs a libFuzzer-style target without libFuzzer: seeded random inputs and mutations of the
// target's own seeds for a bounded time, so the suite stays deterministic and quick.
// Usage: fuzz_x [seconds] [seed]
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
// Optional interesting inputs a target may offer (weak: targets need not define it).
extern "C" __attribute__((weak)) const char* const* TollanFuzzSeeds();

int main(int argc, char** argv)
{
    double seconds = argc > 1 ? std::atof(argv[1]) : 5.0;
    unsigned seed = argc > 2 ? static_cast<unsigned>(std::strtoul(argv[2], nullptr, 10)) : 1234u;
    std::mt19937 rng(seed);

    std::vector<std::string> corpus{""};
    if (TollanFuzzSeeds)
        for (const char* const* s = TollanFuzzSeeds(); s && *s; ++s)
            corpus.emplace_back(*s);
    // Bytes that matter to our parsers: line ends, separators, telnet bytes.
    static const char kAlphabet[] = "\r\n=;{} \t\"/\\.>:\xff\xfa\xf0\xfb\xfc\xfd\xfe\x01\x03\x18"
                                    "\0abcINFERRWTCDMOP01";
    const std::string alphabet(kAlphabet, sizeof kAlphabet - 1);

    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    unsigned long runs = 0;
    while (std::chrono::steady_clock::now() < deadline) {
        for (int batch = 0; batch < 64; ++batch, ++runs) {
            std::string input = corpus[rng() % corpus.size()];
            int edits = 1 + static_cast<int>(rng() % 8);
            for (int e = 0; e < edits; ++e) {
                size_t pos = input.empty() ? 0 : rng() % (input.size() + 1);
                switch (rng() % 4) {
                case 0: input.insert(pos, 1, alphabet[rng() % alphabet.size()]); break;
                case 1: input.insert(pos, 1, static_cast<char>(rng() & 0xff)); break;
                case 2: if (pos < input.size()) input.erase(pos, 1 + rng() % 4); break;
                case 3: if (!input.empty()) input.insert(pos, input.substr(rng() % input.size(), 1 + rng() % 16)); break;
                }
            }
            if (input.size() > 4096)
                input.resize(4096);
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(input.data()), input.size());
            if (rng() % 16 == 0 && corpus.size() < 256)
                corpus.push_back(input);
        }
    }
    std::printf("%lu inputs in %.1f s, no fault\n", runs, seconds);
    return 0;
}
