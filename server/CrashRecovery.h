// After a crash of a cooperative server, the options script is made to start at the level that
// was running: a changed copy <name>Temp.cfg is written at once and swapped in later.
//
// Contract for the shell (one instance, held by the server runner; every call on the
// user-interface thread, where the run model's actions are carried out):
// - Action CrashCopy: if (recovery.AddCurrentLevelToConfig(gameFolder, config, level, g_iFPS))
//   report OnCrashCopyWritten to the model, which starts the script swap timer (20000 ms);
// - Action SwapScript (that timer): recovery.SwapConfigScript(gameFolder, config);
// - A save of a configuration: if (recovery.CancelPendingSwap(gameFolder, config)) report
//   OnSwapCancelled.
// The swap happens only when that very copy was written completely by the last call of
// AddCurrentLevelToConfig (not by an earlier one, and not for another configuration), and then
// in one replace operation, so a failed write never costs the script. Every failure is logged.
#pragma once
#include <string>

class CCrashRecovery {
public:
    // Writes the copy. `iFPS` is the record's g_iFPS, raised to 15 when the level line is
    // replaced and it is lower. True when the copy is complete and the swap should be scheduled.
    bool AddCurrentLevelToConfig(const std::string& gameFolder, const std::string& configName,
                                 const std::string& level, int& iFPS);
    // Puts the copy in place of the script; true when it did.
    bool SwapConfigScript(const std::string& gameFolder, const std::string& configName);
    // A save has just rewritten the configuration's script: a swap still pending for it would
    // undo the user's settings, so it is cancelled and its copy removed. True when there was one
    // (the caller then kills the swap timer).
    bool CancelPendingSwap(const std::string& gameFolder, const std::string& configName);

    static std::string ScriptPath(const std::string& gameFolder, const std::string& configName);
    static std::string CopyPath(const std::string& gameFolder, const std::string& configName);

private:
    std::string m_strCompletedCopy;  // path of the copy last written completely; empty: none
};
