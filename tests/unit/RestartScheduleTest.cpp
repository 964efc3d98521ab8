#include "server/RestartSchedule.h"

#include <gtest/gtest.h>

namespace {

// A tick: the local date, hour and minute, and the UTC clock in minutes (it runs on steadily
// when the local clock is put forward or back).
struct CTick {
    int m_nDate, m_nHour, m_nMinute, m_nUtcMinutes;
    char m_cExpect;  // 'y' due, '-' not, 'S' the run starts here, 'X' the user stops it here
};

CScheduleTime At(const CTick& t)
{
    CScheduleTime time;
    time.m_nUtcSeconds = static_cast<std::int64_t>(t.m_nUtcMinutes) * 60;
    time.m_nLocalDate = t.m_nDate;
    time.m_nLocalMinute = t.m_nHour * 60 + t.m_nMinute;
    return time;
}

TEST(RestartSchedule, ClockCases)
{
    struct Case {
        const char* m_pszWhat;
        CRestartSettings m_settings;
        std::vector<CTick> m_ticks;
    } cases[] = {
        {"daily 03:00, once", {180, 0},
         {{20261208, 2, 50, 0, 'S'}, {20261208, 2, 59, 9, '-'}, {20261208, 3, 0, 10, 'y'}, {20261208, 3, 1, 11, 'S'},
          {20261208, 3, 5, 15, '-'}, {20261209, 2, 59, 1449, '-'}, {20261209, 3, 0, 1450, 'y'}}},
        {"daily 03:00, clock put back an hour after it", {180, 0},
         {{20261025, 2, 55, 0, 'S'}, {20261025, 3, 0, 5, 'y'}, {20261025, 3, 1, 6, 'S'}, {20261025, 2, 2, 67, '-'},
          {20261025, 3, 0, 125, '-'}, {20261025, 3, 30, 155, '-'}}},
        {"daily 02:30, clock put forward over it", {150, 0},
         {{20260329, 1, 50, 0, 'S'}, {20260329, 1, 59, 9, '-'}, {20260329, 3, 0, 10, 'y'}, {20260329, 3, 1, 11, 'S'},
          {20260329, 3, 5, 15, '-'}}},
        {"daily, missed while no server ran", {180, 0},
         {{20261208, 2, 50, 0, '-'}, {20261208, 3, 0, 10, '-'}, {20261208, 3, 10, 20, 'S'}, {20261208, 3, 15, 25, '-'}}},
        {"daily, a stop cancels it until the next launch", {180, 0},
         {{20261208, 2, 50, 0, 'S'}, {20261208, 2, 55, 5, 'X'}, {20261208, 3, 0, 10, '-'}, {20261209, 3, 0, 1450, '-'},
          {20261209, 3, 10, 1460, 'S'}, {20261210, 3, 0, 2890, 'y'}}},
        {"daily, three days jumped: one restart", {180, 0},
         {{20261208, 2, 50, 0, 'S'}, {20261211, 9, 0, 4690, 'y'}, {20261211, 9, 1, 4691, 'S'}, {20261211, 9, 5, 4695, '-'}}},
        {"every 2 hours from the run's start", {std::nullopt, 2},
         {{20261208, 10, 0, 0, 'S'}, {20261208, 11, 59, 119, '-'}, {20261208, 12, 0, 120, 'y'}, {20261208, 12, 1, 121, 'S'},
          {20261208, 14, 0, 240, '-'}, {20261208, 14, 1, 241, 'y'}}},
        {"every hour, the local clock put back does not delay it", {std::nullopt, 1},
         {{20261025, 2, 30, 0, 'S'}, {20261025, 2, 0, 30, '-'}, {20261025, 2, 30, 60, 'y'}}},
    };
    for (const Case& c : cases) {
        CRestartSchedule schedule;
        schedule.SetSettings(c.m_settings);
        std::string got, expected;
        for (const CTick& t : c.m_ticks) {
            if (t.m_cExpect == 'S') {
                schedule.OnRunEnded();
                schedule.OnRunStarted(At(t), At(t).m_nUtcSeconds);
            }
            if (t.m_cExpect == 'X')
                schedule.OnStopRequested();
            const bool due = schedule.OnTick(At(t));
            if (due)
                schedule.OnRestartBegun();
            got += due ? 'y' : '-';
            expected += t.m_cExpect == 'y' ? 'y' : '-';
        }
        EXPECT_EQ(got, expected) << c.m_pszWhat;
    }
}

TEST(RestartSchedule, TextsAndTheNextRestart)
{
    EXPECT_EQ(ParseDailyTime("03:00"), std::optional<int>(180));
    EXPECT_EQ(ParseDailyTime("3:05"), std::optional<int>(185));
    EXPECT_EQ(ParseDailyTime("23:59"), std::optional<int>(1439));
    for (const char* bad : {"", "24:00", "12:60", "12:5", "1200", " 3:00", "3:00 ", "-1:00", "12:30:00", "ab:cd"})
        EXPECT_EQ(ParseDailyTime(bad), std::nullopt) << bad;
    EXPECT_EQ(FormatDailyTime(185), "03:05");
    EXPECT_EQ(ParseEveryHours("0"), std::optional<unsigned>(0));
    EXPECT_EQ(ParseEveryHours("8760"), std::optional<unsigned>(8760));
    for (const char* bad : {"", "8761", "-1", "1.5", "99999999999", "x"})
        EXPECT_EQ(ParseEveryHours(bad), std::nullopt) << bad;
    EXPECT_EQ(CheckRestartTexts("", ""), std::nullopt);
    EXPECT_EQ(CheckRestartTexts("25:00", "").value_or("").find("HH:MM") != std::string::npos, true);
    EXPECT_EQ(CheckRestartTexts("", "1e3").value_or("").find("8760") != std::string::npos, true);

    // The next restart as the tick will act; the run started at UTC 0 unless said otherwise.
    const CRestartSettings both{180, 2};
    EXPECT_EQ(NextRestartAfter(At({20261208, 2, 0, 0, '-'}), {}, 0), std::nullopt);
    EXPECT_EQ(NextRestartAfter(At({20261208, 2, 0, 0, '-'}), both, 0), std::optional<std::int64_t>(3600));
    EXPECT_EQ(NextRestartAfter(At({20261208, 4, 0, 0, '-'}), {180, 0}, 0), std::optional<std::int64_t>(23 * 3600));
    EXPECT_EQ(NextRestartAfter(At({20261208, 4, 30, 30, '-'}), both, 0), std::optional<std::int64_t>(90 * 60));
    // A picked-up server that runs longer than its interval already is due now.
    EXPECT_EQ(NextRestartAfter(At({20261208, 4, 0, 0, '-'}), {std::nullopt, 2}, -3 * 3600), std::optional<std::int64_t>(0));
    EXPECT_EQ(DescribeNextRestart(std::nullopt, At({20261208, 0, 50, 0, '-'}), {}), "No restart is scheduled.");
    EXPECT_EQ(DescribeNextRestart(std::nullopt, At({20261208, 0, 50, 0, '-'}), both), "No restart is due, as no server runs.");
    EXPECT_EQ(DescribeNextRestart(7800, At({20261208, 0, 50, 0, '-'}), both), "Next restart: today at 03:00 (in 2 h 10 min).");
}

}  // namespace
