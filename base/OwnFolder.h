// Tollan keeps its own files (History.ini, HistoryTemp.ini, Tollan.log) in its own folder,
// DedicatedServerUtility, whatever the working directory it was started with.
#pragma once
#include <string>

// Sets the folder; empty means the working directory (bare file names).
void SetOwnFolder(const std::string& folder);
const std::string& OwnFolder();
// Path of one of Tollan's own files: the bare name, or the folder, a separator and the name.
std::string OwnFile(const char* name);
