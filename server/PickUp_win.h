// Finding a server of this game folder that runs already, on Windows: a process snapshot, the
// image path of each DedicatedServer.exe, and a handle with the rights a run needs.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

struct CRunningServer {
    HANDLE m_hProcess = nullptr;  // SYNCHRONIZE | PROCESS_TERMINATE | query rights; the caller's
    DWORD m_nPid = 0;
};

// The first running process whose image is <game folder>\Bin\DedicatedServer.exe, or nothing.
// Processes that cannot be opened with those rights (another user's) are passed over.
std::optional<CRunningServer> FindRunningServer(const std::string& gameFolder);
