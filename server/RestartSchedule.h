// When a long-running server is restarted in full: at a daily time of the local clock, every so
// many hours after its launch, or both. Only the rule lives here; the run model asks it at every
// tick of the schedule timer and carries out the restart.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

// Values of the settings store (HKEY_CURRENT_USER\Software\Tollan\Settings).
constexpr char kRestartDailyValue[] = "RestartDaily";            // REG_SZ "HH:MM", empty: off
constexpr char kRestartEveryHoursValue[] = "RestartEveryHours";  // REG_DWORD, 0: off
constexpr unsigned kMaxRestartEveryHours = 8760;                 // a year

struct CRestartSettings {
    std::optional<int> m_nDailyMinute;  // minutes after local midnight
    unsigned m_nEveryHours = 0;         // 0: off
    bool operator==(const CRestartSettings& o) const
    {
        return m_nDailyMinute == o.m_nDailyMinute && m_nEveryHours == o.m_nEveryHours;
    }
};

// "HH:MM" with 00 to 23 and 00 to 59 (one-digit hours too); the minute of the day, or nothing.
std::optional<int> ParseDailyTime(const std::string& text);
std::string FormatDailyTime(int minuteOfDay);
// The interval's text: a whole number of hours from 0 (off) to kMaxRestartEveryHours, or nothing.
std::optional<unsigned> ParseEveryHours(const std::string& text);
// Why the dialog's two texts cannot be kept, or nothing when they can.
std::optional<std::string> CheckRestartTexts(const std::string& daily, const std::string& everyHours);

// A moment as the schedule needs it: seconds of a clock that runs on through changes of the
// local time (UTC), and the local date and minute of the day at that moment.
struct CScheduleTime {
    std::int64_t m_nUtcSeconds = 0;
    int m_nLocalDate = 0;    // yyyymmdd
    int m_nLocalMinute = 0;  // 0..1439
};

// The dialog's line about the next restart: "Next restart: today at 03:00 (in 2 h 10 min).", or
// why there is none: nothing is set, or no server runs to be restarted.
std::string DescribeNextRestart(const std::optional<std::int64_t>& seconds, const CScheduleTime& now,
                                const CRestartSettings& settings);

// The next restart that `settings` give a run started at `runStartUtc`: seconds from `now` until
// it (0 when it is due already), or nothing when none is set.
std::optional<std::int64_t> NextRestartAfter(const CScheduleTime& now, const CRestartSettings& settings,
                                             std::int64_t runStartUtc);

class CRestartSchedule {
public:
    void SetSettings(const CRestartSettings& settings) { m_settings = settings; }
    const CRestartSettings& Settings() const { return m_settings; }

    // The schedule meets a run at `now`: its interval counts from `runStartUtc` (the launch, or a
    // picked-up server's creation), and no daily moment before `now` is made up.
    void OnRunStarted(const CScheduleTime& now, std::int64_t runStartUtc);
    std::int64_t RunStart() const { return m_nRunStart; }
    // The user stopped the server: nothing more for this run.
    void OnStopRequested() { m_bCancelled = true; }
    void OnRunEnded() { m_bRunOn = false; }

    // A tick of the schedule timer. True when a restart is due: a daily moment passed since the
    // last tick (at most one, however far the clock jumped, and never twice for the same date and
    // minute), or the interval since the run's start is over. It stays due until it begins.
    bool OnTick(const CScheduleTime& now);

    // The restart that was due has begun: the schedule waits for the next run.
    void OnRestartBegun();


private:
    CRestartSettings m_settings;
    bool m_bRunOn = false;
    bool m_bCancelled = false;
    bool m_bDue = false;  // due since a tick, waiting for the run to be free of commands
    std::int64_t m_nRunStart = 0;
    CScheduleTime m_lastTick;
    std::int64_t m_nDoneMoment = -1;  // the daily moment detected last, in local minutes
};
