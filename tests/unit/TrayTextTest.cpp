#include "app/TrayText.h"

#include <gtest/gtest.h>

namespace {

TEST(TrayText, TipOfEachStateAndDuration)
{
    const std::optional<std::uint32_t> unknown;
    const struct {
        ERunState state;
        const char* config;
        std::optional<std::uint32_t> seconds;
        const char* tip;
    } cases[] = {
        {ERunState::Stopped, "", unknown, "Tollan: stopped"},
        {ERunState::Stopped, "NormalDM", unknown, "Tollan - NormalDM: stopped"},
        {ERunState::Crashed, "NormalCOOP", unknown, "Tollan - NormalCOOP: crashed"},
        {ERunState::Restarting, "NormalDM", unknown, "Tollan - NormalDM: restarting"},
        {ERunState::Running, "NormalDM", unknown, "Tollan - NormalDM: running"},
        {ERunState::Running, "NormalDM", 59u, "Tollan - NormalDM: running for less than a minute"},
        {ERunState::Running, "NormalDM", 60u, "Tollan - NormalDM: running for 1 min"},
        {ERunState::Running, "NormalDM", 3599u, "Tollan - NormalDM: running for 59 min"},
        {ERunState::Running, "NormalDM", 2 * 3600 + 5 * 60 + 59, "Tollan - NormalDM: running for 2 h 05 min"},
        {ERunState::Running, "NormalDM", 86399u, "Tollan - NormalDM: running for 23 h 59 min"},
        {ERunState::Running, "NormalDM", 3 * 86400 + 4 * 3600 + 7 * 60,
         "Tollan - NormalDM: running for 3 d 4 h 07 min"},
        {ERunState::Running, "100% Frags", 600u, "Tollan - 100% Frags: running for 10 min"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TrayTipText(c.state, c.config, c.seconds), c.tip) << c.config << " " << int(c.state);
}

TEST(TrayText, LongNameIsCutNotTheState)
{
    const std::uint32_t longest = 0xFFFFFFFFu;  // the widest duration there is
    const std::string state = RunStateText(ERunState::Running, longest);
    const std::size_t room = kTrayTipMax - 11 - state.size();  // "Tollan - " and ": "
    for (std::size_t length : {room, room + 1, std::size_t(300)}) {
        const std::string tip = TrayTipText(ERunState::Running, std::string(length, 'n'), longest);
        EXPECT_LE(tip.size(), kTrayTipMax) << length;
        EXPECT_EQ(tip.substr(tip.size() - state.size()), state) << length;
        EXPECT_EQ(tip.find("...") != std::string::npos, length > room) << length;
    }
    EXPECT_EQ(TrayTipText(ERunState::Stopped, std::string(200, 'x'), std::nullopt),
              "Tollan - " + std::string(106, 'x') + "...: stopped");
}

// The time counts from the first status naming a run, starts again with the next run, survives
// the clock's wrap, and is not claimed for a server that was picked up.
TEST(TrayText, DurationFollowsTheRun)
{
    CTrayTip tip;
    const auto status = [](ERunState state, RunId run) {
        CRunStatus s;
        s.m_eState = state;
        s.m_strConfig = state == ERunState::Stopped ? "" : "DM";
        s.m_nRun = run;
        return s;
    };
    const struct {
        ERunState state;
        RunId run;
        std::uint32_t nowMs;
        const char* tip;
    } steps[] = {
        {ERunState::Stopped, 0, 0, "Tollan - List: stopped"},
        {ERunState::Running, 1, 0xFFFFF000u, "Tollan - DM: running for less than a minute"},
        {ERunState::Running, 1, 0xFFFFF000u + 7500000u, "Tollan - DM: running for 2 h 05 min"},
        {ERunState::Crashed, 0, 7600000u, "Tollan - DM: crashed"},
        {ERunState::Running, 2, 7700000u, "Tollan - DM: running for less than a minute"},
        {ERunState::Running, 2, 7760000u, "Tollan - DM: running for 1 min"},
        {ERunState::Running, 7, 7800000u, "Tollan - DM: running"},
        {ERunState::Running, 7, 9000000u, "Tollan - DM: running"},
    };
    for (const auto& s : steps) {
        if (s.run == 7)
            tip.OnPickedUp(7);
        EXPECT_EQ(tip.Text(status(s.state, s.run), "List", s.nowMs), s.tip) << s.nowMs;
    }
    // A run seen while the icon was off is timed from then, not from when the tip is first asked.
    tip.Observe(status(ERunState::Running, 8), 10000000u);
    EXPECT_EQ(tip.Text(status(ERunState::Running, 8), "List", 10000000u + 3600000u),
              "Tollan - DM: running for 1 h 00 min");
}

}  // namespace
