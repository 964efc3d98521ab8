#include "app/TrayText.h"

#include "base/Names.h"
#include "base/StringPrintf.h"

std::string RunStateText(ERunState state, std::optional<std::uint32_t> runningSeconds)
{
    switch (state) {
    case ERunState::Stopped: return "stopped";
    case ERunState::Crashed: return "crashed";
    case ERunState::Restarting: return "restarting";
    case ERunState::Running: break;
    }
    if (!runningSeconds)
        return "running";
    const unsigned minutes = *runningSeconds / 60, hours = minutes / 60, days = hours / 24;
    if (minutes == 0)
        return "running for less than a minute";
    if (hours == 0)
        return StringPrintf("running for %u min", minutes);
    if (days == 0)
        return StringPrintf("running for %u h %02u min", hours, minutes % 60);
    return StringPrintf("running for %u d %u h %02u min", days, hours % 24, minutes % 60);
}

std::string TrayTipText(ERunState state, const std::string& config, std::optional<std::uint32_t> runningSeconds)
{
    const std::string tail = RunStateText(state, runningSeconds);
    if (config.empty())
        return StringPrintf("%s: %s", kProgramName, tail.c_str());
    // "Tollan - " and ": " around the name.
    const std::size_t room = kTrayTipMax - (sizeof kProgramName - 1) - 5 - tail.size();
    if (config.size() <= room)
        return StringPrintf("%s - %s: %s", kProgramName, config.c_str(), tail.c_str());
    return StringPrintf("%s - %.*s...: %s", kProgramName, static_cast<int>(room - 3), config.c_str(), tail.c_str());
}

void CTrayTip::Observe(const CRunStatus& status, std::uint32_t nowMs)
{
    if (status.m_eState == ERunState::Running && status.m_nRun != m_nRun) {
        m_nRun = status.m_nRun;
        m_nSinceMs = nowMs;
    }
}

std::string CTrayTip::Text(const CRunStatus& status, const std::string& currentConfig, std::uint32_t nowMs)
{
    Observe(status, nowMs);
    std::optional<std::uint32_t> seconds;
    if (status.m_eState == ERunState::Running && m_nRun != m_nPickedUp)
        seconds = (nowMs - m_nSinceMs) / 1000;
    return TrayTipText(status.m_eState, status.m_strConfig.empty() ? currentConfig : status.m_strConfig, seconds);
}
