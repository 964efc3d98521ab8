// Tollan's command line: "/start" launches the configuration launched last, "/start "Name"" that
// one, "/minimized" starts with the window minimised. And what start-up then launches.
#pragma once
#include <optional>
#include <string>
#include <vector>

// Settings store value: launch the last configuration whenever Tollan starts (REG_DWORD).
constexpr char kStartServerAtLaunchValue[] = "StartServerAtLaunch";

struct CStartOptions {
    bool m_bStart = false;
    std::string m_strConfig;  // the name after /start, or empty
    bool m_bMinimized = false;
    // Lines for the utility log about what the command line held and was not used.
    std::vector<std::string> m_astrProblems;
};

// The text after the program's name (WinMain's command line). Switches are taken in any letter
// case, with "/" or "-"; a name is one word or a quoted text.
CStartOptions ParseStartOptions(const std::string& commandLine);

// What start-up launches, if anything: the command line's /start or the stored setting, unless a
// server was picked up or the command line was not understood. The name given, else the one
// launched last; it must be a stored configuration and a name a file can carry. A line for the
// utility log says why nothing is launched.
struct CStartLaunch {
    std::optional<std::string> m_strConfig;
    std::string m_strLogLine;
};
CStartLaunch ChooseStartLaunch(const CStartOptions& options, bool bStartSetting, bool bPickedUp,
                               const std::optional<std::string>& lastLaunched,
                               const std::vector<std::string>& storedNames);
