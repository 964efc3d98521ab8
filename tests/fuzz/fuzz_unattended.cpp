// Arbitrary bytes as the command line, the schedule dialog's two texts and a configuration name
// for a kept log: nothing crashes, a time read back is the time written, and a log's name is
// always one of the pattern that pruning recognises, with no character a file name cannot hold.
#include "server/RestartSchedule.h"
#include "server/RunLogs.h"
#include "app/StartOptions.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const size_t cut = size ? data[0] % (size + 1) : 0;
    const std::string first = text.substr(0, cut), second = text.substr(cut);

    const CStartOptions options = ParseStartOptions(text);
    const CStartLaunch launch = ChooseStartLaunch(options, size % 2 != 0, size % 3 == 0, first, {first, second});
    if (launch.m_strConfig && launch.m_strConfig->empty())
        std::abort();

    if (const std::optional<int> minute = ParseDailyTime(first)) {
        if (*minute < 0 || *minute >= 24 * 60 || ParseDailyTime(FormatDailyTime(*minute)) != minute)
            std::abort();
    }
    if (const std::optional<unsigned> hours = ParseEveryHours(second); hours && *hours > kMaxRestartEveryHours)
        std::abort();
    CheckRestartTexts(first, second);

    const std::string name = RunLogName({2024, 5, 1, 12, 30, 0}, text);
    if (!IsRunLogName(name))
        std::abort();
    for (char c : name.substr(20))
        if (static_cast<unsigned char>(c) < 32 || std::strchr("\\/:*?\"<>|", c))
            std::abort();
    return 0;
}

extern "C" const char* const* TollanFuzzSeeds()
{
    static const char* const seeds[] = {
        "/start \"Normal DM\" /minimized",
        "-START NormalCOOP",
        "\x05" "23:59" "8760",
        "/start \"unterminated",
        "\x02" "7:5/x:y*?",
        nullptr,
    };
    return seeds;
}
