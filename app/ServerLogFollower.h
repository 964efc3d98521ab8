// FollowServerLog: the worker thread of one server run. It reads the server's log while the
// process lives and reports to the main window as WM_APP_FOLLOWER notes naming its run; the run
// model on the user-interface thread decides everything else.
#pragma once
#include <windows.h>

#include "app/ServerRunModel.h"

#include <atomic>
#include <memory>
#include <string>

enum class EFollowerNote {
    Started,  // the follower runs
    Text,     // text: log text or the start text, for AppendConsoleText
    Rewind,   // the log was recreated and is read again from its start
    Ended,    // the process has ended and its log is drained
    Failed,   // the follower failed and stops (the failure is logged)
};

struct CFollowerNote {
    EFollowerNote m_eKind;
    const std::string* m_pText = nullptr;
    DWORD m_nEndedAt = 0;  // Ended: GetTickCount() when the process was seen to end
};

// The main window as long as it exists; cleared at WM_DESTROY, after which no follower touches it
// or logs (Tollan is closing and the server is left running).
struct CFollowerLink {
    std::atomic<HWND> m_hWnd{nullptr};
};

struct CFollowerStart {
    RunId m_nRun = 0;
    std::shared_ptr<CFollowerLink> m_pLink;
    HANDLE m_hWait = nullptr;  // the follower's own handle of the process, closed by the follower
    std::string m_strGameFolder;
    bool m_bFromLogEnd = false;  // a picked-up server: only what it appends from now on
    // The run's configuration and its process's creation (UTC; zero when unknown): they name the
    // run's kept log, and a log last written before that moment is the previous run's.
    std::string m_strConfig;
    FILETIME m_launched{};
};

// Starts FollowServerLog on a detached thread. False when no thread could be started; the wait
// handle is then closed.
bool StartServerLogFollower(CFollowerStart start);
