// Every run's log kept: as the follower reads the server's log it copies the run's bytes to
// <game>\DedicatedServerUtility\Logs\YYYY-MM-DD HH-MM-SS <config>.log, named by the run's launch
// (local clock) and configuration. The folder keeps the newest kRunLogsKept of those files and
// never touches anything else.
#pragma once
#include "platform/Platform.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kRunLogsKept = 30;

// <game>\DedicatedServerUtility\Logs
std::string RunLogsFolder(const std::string& gameFolder);
// The copy's file name. A character that no file name may hold becomes "_", and so does an empty
// configuration name, so that every run gets a name of the pattern.
std::string RunLogName(const platform::CLocalTime& launched, const std::string& config);
// True for "YYYY-MM-DD HH-MM-SS <at least one character>.log" (digits where the pattern has them).
bool IsRunLogName(const std::string& name);
// The names among a folder's files that go: those of the pattern beyond the newest kRunLogsKept.
// The name order is the launch order; `keep`, the run being written, always stays and counts.
std::vector<std::string> PlanRunLogPruning(const std::vector<std::string>& names, const std::string& keep);
// Carries the plan out in `folder`; false when a file could not be deleted.
bool PruneRunLogs(const std::string& folder, const std::string& keep);
