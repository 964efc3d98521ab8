// The notification area icon's tip: the configuration and where its run stands, kept within what
// the shell shows.
#pragma once
#include "server/RunModel.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

// A tip holds at most this many characters (NOTIFYICONDATA's szTip less its terminating zero).
constexpr std::size_t kTrayTipMax = 127;

// "stopped", "crashed", "restarting", "running", or "running for 2 h 05 min" when it is known how
// long the run has been on.
std::string RunStateText(ERunState state, std::optional<std::uint32_t> runningSeconds);

// "Tollan - NormalDM: running for 2 h 05 min", or "Tollan: stopped" with no configuration. A name
// too long for the tip is cut (ending in "..."), never the state.
std::string TrayTipText(ERunState state, const std::string& config, std::optional<std::uint32_t> runningSeconds);

// The tip of the run as it goes on: since when the run shown has been running, counted from the
// first status that named it. A picked-up server's launch is not known, so its tip gives no time.
class CTrayTip {
public:
    void OnPickedUp(RunId run) { m_nPickedUp = run; }
    // Told as the run goes on, whether the icon is shown or not, so that a run is timed from its
    // start. `nowMs` is a steady clock that may wrap.
    void Observe(const CRunStatus& status, std::uint32_t nowMs);
    // `currentConfig` names the configuration when no run names one.
    std::string Text(const CRunStatus& status, const std::string& currentConfig, std::uint32_t nowMs);

private:
    RunId m_nRun = 0;
    std::uint32_t m_nSinceMs = 0;
    RunId m_nPickedUp = 0;
};
