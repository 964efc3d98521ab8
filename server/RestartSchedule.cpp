#include "server/RestartSchedule.h"

#include "base/StringPrintf.h"

#include <cctype>

namespace {

// Days since 1970-01-01 of a date yyyymmdd (the proleptic Gregorian calendar).
std::int64_t DaysOfDate(int date)
{
    std::int64_t y = date / 10000;
    const int m = date / 100 % 100, d = date % 100;
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

// The local clock as one number of minutes, so that moments compare across midnight.
std::int64_t LocalMinutes(const CScheduleTime& t) { return DaysOfDate(t.m_nLocalDate) * 1440 + t.m_nLocalMinute; }

// The last daily moment at or before `local`.
std::int64_t LastMoment(std::int64_t local, int minute)
{
    std::int64_t days = (local - minute) / 1440;
    if ((local - minute) % 1440 < 0)
        --days;
    return days * 1440 + minute;
}

// The number that s[from, to) spells, or -1 when it is empty or holds anything but digits. The
// callers allow at most five digits.
long DigitsValue(const std::string& s, size_t from, size_t to)
{
    long value = to > from ? 0 : -1;
    for (size_t i = from; i < to && value >= 0; ++i)
        value = std::isdigit(static_cast<unsigned char>(s[i])) ? value * 10 + (s[i] - '0') : -1;
    return value;
}

}  // namespace

std::optional<int> ParseDailyTime(const std::string& text)
{
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon > 2 || text.size() != colon + 3)
        return std::nullopt;
    const long hours = DigitsValue(text, 0, colon), minutes = DigitsValue(text, colon + 1, text.size());
    if (hours < 0 || minutes < 0 || hours > 23 || minutes > 59)
        return std::nullopt;
    return static_cast<int>(hours * 60 + minutes);
}

std::string FormatDailyTime(int minuteOfDay) { return StringPrintf("%02d:%02d", minuteOfDay / 60, minuteOfDay % 60); }

std::optional<unsigned> ParseEveryHours(const std::string& text)
{
    const long hours = text.size() > 5 ? -1 : DigitsValue(text, 0, text.size());
    if (hours < 0 || hours > static_cast<long>(kMaxRestartEveryHours))
        return std::nullopt;
    return static_cast<unsigned>(hours);
}

std::optional<std::string> CheckRestartTexts(const std::string& daily, const std::string& everyHours)
{
    if (!daily.empty() && !ParseDailyTime(daily))
        return std::string("Please enter the daily restart time as HH:MM, from 00:00 to 23:59, or leave it empty.");
    if (!everyHours.empty() && !ParseEveryHours(everyHours))
        return StringPrintf("Please enter the hours between restarts as a whole number from 0 to %u, or leave it "
                            "empty.",
                            kMaxRestartEveryHours);
    return std::nullopt;
}

void CRestartSchedule::OnRunStarted(const CScheduleTime& now, std::int64_t runStartUtc)
{
    m_bRunOn = true;
    m_bCancelled = false;
    m_bDue = false;
    m_nRunStart = runStartUtc;
    m_lastTick = now;
}

bool CRestartSchedule::OnTick(const CScheduleTime& now)
{
    const CScheduleTime last = m_lastTick;
    m_lastTick = now;
    if (!m_bRunOn || m_bCancelled)
        return false;
    const unsigned hours = m_settings.m_nEveryHours;
    if (hours && now.m_nUtcSeconds - m_nRunStart >= static_cast<std::int64_t>(hours) * 3600)
        m_bDue = true;
    if (m_settings.m_nDailyMinute) {
        const std::int64_t moment = LastMoment(LocalMinutes(now), *m_settings.m_nDailyMinute);
        if (moment > LocalMinutes(last) && moment != m_nDoneMoment) {
            m_nDoneMoment = moment;
            m_bDue = true;
        }
    }
    return m_bDue;
}

void CRestartSchedule::OnRestartBegun()
{
    m_bDue = false;
    m_bRunOn = false;
}

std::optional<std::int64_t> NextRestartAfter(const CScheduleTime& now, const CRestartSettings& settings,
                                             std::int64_t runStartUtc)
{
    std::optional<std::int64_t> next;
    if (settings.m_nDailyMinute) {
        const std::int64_t local = LocalMinutes(now);
        std::int64_t moment = LastMoment(local, *settings.m_nDailyMinute);
        if (moment <= local)
            moment += 1440;
        next = (moment - local) * 60;
    }
    if (settings.m_nEveryHours) {
        std::int64_t left = runStartUtc + static_cast<std::int64_t>(settings.m_nEveryHours) * 3600 - now.m_nUtcSeconds;
        if (left < 0)
            left = 0;
        if (!next || left < *next)
            next = left;
    }
    return next;
}

std::string DescribeNextRestart(const std::optional<std::int64_t>& seconds, const CScheduleTime& now,
                                const CRestartSettings& settings)
{
    if (!settings.m_nDailyMinute && !settings.m_nEveryHours)
        return "No restart is scheduled.";
    if (!seconds)
        return "No restart is due, as no server runs.";
    const std::int64_t minutes = (*seconds + 59) / 60;
    const std::int64_t at = now.m_nLocalMinute + minutes;
    const std::int64_t days = at / 1440;
    const std::string day = days == 0 ? "today" : days == 1 ? "tomorrow" : StringPrintf("in %d days", static_cast<int>(days));
    const std::string in = minutes >= 60 ? StringPrintf("%d h %02d min", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60))
                                         : StringPrintf("%d min", static_cast<int>(minutes));
    const int minute = static_cast<int>(at % 1440);
    return StringPrintf("Next restart: %s at %02d:%02d (in %s).", day.c_str(), minute / 60, minute % 60, in.c_str());
}
