// At start-up a server that an earlier Tollan left running (Escape, "  Close Utility") is taken
// up as a run. The rules of finding it and of knowing its configuration are here; the process
// snapshot and the handles are ServerPickUpShell's.
#pragma once
#include <optional>
#include <string>
#include <vector>

// Two paths name the same file the way Windows compares them: "/" and "\" alike, repeated
// separators and a trailing one ignored, a "\\?\" prefix dropped, letters compared without case
// (ASCII here; the shell folds other letters first).
bool IsSameWindowsPath(const std::string& a, const std::string& b);

// The configuration a picked-up server is taken to run: the stored name of the one launched last
// when History.ini still holds it, otherwise the current configuration (else the first stored
// one). m_strLogLine says which was assumed and why; empty when the stored name holds.
struct CPickedUpConfig {
    std::string m_strName;
    std::string m_strLogLine;
    bool m_bGuessed = false;  // m_strName was assumed, not recorded at the launch
};
CPickedUpConfig ChoosePickedUpConfig(const std::optional<std::string>& lastLaunched,
                                     const std::vector<std::string>& storedNames, const std::string& current);
