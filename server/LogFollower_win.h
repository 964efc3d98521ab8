// FollowServerLog: the worker thread of one server run. It reads the server's log while the
// process lives and reports to the runner's window as WM_APP_FOLLOWER notes naming its run; the
// run model on the user-interface thread decides everything else.
#pragma once
#include <windows.h>

#include "platform/Handle_win.h"
#include "server/RunAction.h"

#include <atomic>
#include <memory>
#include <string>

enum class EFollowerNote {
    Started,  // the follower runs
    Text,     // text: log text or the start text, for AppendConsoleText
    Rewind,   // the log was recreated and is read again from its start
    Ended,    // the process has ended and its log is drained; level: the level it played last
    Failed,   // the follower failed and stops (the failure is logged)
};

struct CFollowerNote {
    EFollowerNote m_eKind;
    const std::string* m_pText = nullptr;
    DWORD m_nEndedAt = 0;  // Ended: GetTickCount() when the process was seen to end
    const std::string* m_pLevel = nullptr;  // Ended
};

// The runner's window as long as the main window exists; cleared when it is destroyed, after
// which no follower touches it or logs (Tollan is closing and the server is left running).
struct CFollowerLink {
    std::atomic<HWND> m_hWnd{nullptr};
};

struct CFollowerStart {
    RunId m_nRun = 0;
    std::shared_ptr<CFollowerLink> m_pLink;
    platform::CHandle m_wait;  // the follower's own handle of the process
    std::string m_strGameFolder;
    bool m_bFromLogEnd = false;  // a picked-up server: only what it appends from now on
    // The run's configuration and its process's creation (UTC; zero when unknown): they name the
    // run's kept log, and a log last written before that moment is the previous run's.
    std::string m_strConfig;
    FILETIME m_launched{};
};

// Starts FollowServerLog on a detached thread. False when no thread could be started.
bool StartServerLogFollower(CFollowerStart start);
