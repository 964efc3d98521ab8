// State of the server runs shared between the main dialog (user-interface thread) and the log
// follower of each run. The follower co-owns it through a shared_ptr, so it outlives the dialog
// when Tollan is closed at once while a server runs; the follower never sees the dialog itself.
#pragma once
#include <windows.h>

#include "controls/ConsoleModel.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

// The process handle of one run. The login check terminates through it (UI thread) while the
// follower closes it at the end of the run; the lock keeps a terminate off a closed handle.
class CProcessHolder {
public:
    explicit CProcessHolder(HANDLE h) : m_hProcess(h) {}
    ~CProcessHolder() { Close(); }
    CProcessHolder(const CProcessHolder&) = delete;
    CProcessHolder& operator=(const CProcessHolder&) = delete;

    bool Terminate(UINT exitCode)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_hProcess && TerminateProcess(m_hProcess, exitCode);
    }
    void Close()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_hProcess)
            CloseHandle(m_hProcess);
        m_hProcess = nullptr;
    }
    bool IsHeld()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_hProcess != nullptr;
    }

private:
    std::mutex m_mutex;
    HANDLE m_hProcess;
};

struct CServerRunState {
    std::atomic<bool> m_bServerRunning{false};
    std::atomic<bool> m_bCommandPending{false};
    std::atomic<bool> m_bStopRequested{false};
    std::atomic<bool> m_bClosing{false};
    std::atomic<bool> m_bLoginFailed{false};
    std::atomic<bool> m_bLoggedIn{false};
    // The main window while it exists; cleared at WM_DESTROY, after which no follower touches it.
    std::atomic<HWND> m_hWndAlive{nullptr};
    // The console's line logic; used only inside the UI thread's handling of a follower's
    // synchronous console message, and by that follower between its messages.
    CConsoleModel m_console;
};

// The main dialog's one-shot timers; each handler kills its own timer on the first expiry.
enum : UINT_PTR {
    kTimerCommandDone = 32776,
    kTimerLoginCheck = 32777,
    kTimerRestart = 32781,
    kTimerClose = 32782,
    kTimerConnect = 32785,
    kTimerScriptSwap = 32796,
};

// What the follower of one run gets at its start.
struct CFollowerStart {
    std::shared_ptr<CServerRunState> pState;
    std::shared_ptr<CProcessHolder> pProcess;
    HANDLE hWait = nullptr;  // the follower's own handle of the process, for waiting
    std::string strGameFolder;
    std::string strConfigName;
    int gtGameType = 0;
};

// Starts FollowServerLog on a detached thread; false when no thread could be started.
bool StartServerLogFollower(CFollowerStart start);

// Window operations the follower asks of the UI thread: WM_APP_RUN_ON_UI with one of these in
// wParam. Sent synchronously, so the follower's steps happen in their order.
enum ERunOnUi : WPARAM {
    kUiRunStarted = 1,   // lParam: const std::string* configuration name
    kUiConsoleText,      // lParam: const std::string* text for AppendConsoleText
    kUiRunEnded,         // disable 1026, 1060, 1061
    kUiCaptionStart,     // caption of button 1 = "Start Server"
    kUiStartTimer,       // lParam: timer id
    kUiCrashed,          // lParam: const std::string* current level; crash recovery of the script
    kUiTitleIdle,        // the plain window title
};
