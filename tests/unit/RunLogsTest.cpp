#include "server/RunLogs.h"

#include <gtest/gtest.h>

using Names = std::vector<std::string>;

TEST(RunLogs, NamesAndThePattern)
{
    EXPECT_EQ(RunLogName({2024, 3, 9, 7, 5, 2}, "My Coop"), "2024-03-09 07-05-02 My Coop.log");
    EXPECT_EQ(RunLogName({2031, 12, 31, 23, 59, 59}, "a/b:c*?\"<>|\\\t"), "2031-12-31 23-59-59 a_b_c________.log");
    EXPECT_EQ(RunLogName({2024, 1, 1, 0, 0, 0}, ""), "2024-01-01 00-00-00 _.log");
    EXPECT_TRUE(IsRunLogName("2024-03-09 07-05-02 NormalDM.log"));
    for (const char* name : {"2024-03-09 07-05-02 .log", "2024-03-09 07-05-02 A.txt", "2024-03-09 07-05-02 A.LOG",
                             "2024-3-09 07-05-02 A.log", "2024-03-09_07-05-02 A.log", "2024-03-09 07:05:02 A.log",
                             "Tollan.log"})
        EXPECT_FALSE(IsRunLogName(name)) << name;
}

namespace {
// Minutes first to first + count - 1 of one day; files of other names are in every case.
Names Minutes(int first, int count)
{
    Names names;
    for (int i = first; i < first + count; ++i)
        names.push_back(RunLogName({2024, 5, 1, i / 60, i % 60, 0}, "A"));
    return names;
}
}  // namespace

TEST(RunLogs, PruningKeepsTheNewestThirtyAndTheRunsOwn)
{
    const std::string now = RunLogName({2024, 5, 2, 0, 0, 0}, "A");
    const std::string early = RunLogName({2020, 1, 1, 0, 0, 0}, "A");  // a clock set back
    const struct {
        Names others;
        std::string keep;
        Names gone;
    } cases[] = {{Minutes(0, 29), now, {}}, {Minutes(0, 31), now, Minutes(0, 2)}, {Minutes(0, 30), early, Minutes(0, 1)}};
    for (const auto& c : cases) {
        Names names = c.others;
        names.insert(names.end(), {c.keep, "Notes.txt", "2020-01-01 00-00-00 A.txt"});
        EXPECT_EQ(PlanRunLogPruning(names, c.keep), c.gone) << c.others.size();
    }
}
