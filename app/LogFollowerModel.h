// The decisions of the server log follower (FollowServerLog) without threads, handles or waits:
// what each read shows and logs, when the run is over, and what the end of the run means.
//
// Contract for the shell's worker thread, one model per run:
//   model.Start();  (also: m_bServerRunning = true, m_bStopRequested = false, level emptied)
//   sleep 250 ms;
//   while (m_bServerRunning) {
//       if (model.OnFileSize(current size of the log file)) seek the file to offset 0;
//       n = read at most kReadSize bytes;
//       CFollowerActions a = model.OnRead(those n bytes);  (n == 0 or a failed read: empty)
//       AppendConsoleText each a.console text in order; LogMessage("%s", each a.log line);
//       ended = wait at most 100 ms for the process;
//       if (!model.OnProcessWait(ended, n)) m_bServerRunning = false;
//       sleep 100 ms;
//   }
//   COutcome o = CLogFollowerModel::DecideOutcome(stop, closing, loginFailed, g_gtGameType);
// then carry out the outcome's fields in the order they are declared. A log that cannot be opened
// reads as empty and has size 0.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CFollowerActions {
    std::vector<std::string> console;  // texts for AppendConsoleText, in order
    std::vector<std::string> log;      // lines for LogMessage, in order
};

enum class EFollowerOutcome { Stopped, Closing, LoginFailed, Crashed };

struct COutcome {
    EFollowerOutcome kind = EFollowerOutcome::Crashed;
    std::string strConsole;     // for AppendConsoleText; empty: nothing
    std::string strLog;         // for LogMessage; empty: nothing
    std::string strMessageBox;  // shown from the follower's thread, which waits for it; empty: none
    bool bCaptionStart = false;      // caption of button 1 = "Start Server"
    bool bCloseTimer = false;        // start the close timer (500 ms)
    bool bAddLevelToConfig = false;  // call AddCurrentLevelToConfig() with the current level
    bool bRestartTimer = false;      // start the restart timer (5000 ms)
};

class CLogFollowerModel {
public:
    static constexpr size_t kReadSize = 255;
    static constexpr int kMaxEmptyCycles = 10;
    static const char kStartMarker[];  // "-------- START OF LOG --------", 30 characters

    void Start();
    // A server that was already running: what its log holds is old and its start marker long
    // past, so reading begins at the log's end and no marker is awaited.
    void StartAtEnd(uint64_t nLogSize);
    // The server may recreate its log while we follow it: a file now shorter than what we have
    // read means new content, to be read from its start. True: seek to 0 (done in the model).
    bool OnFileSize(uint64_t nFileSize);
    CFollowerActions OnRead(const std::string& bytes);
    // False when the run is over: more than kMaxEmptyCycles cycles without bytes since the
    // process ended.
    bool OnProcessWait(bool bProcessEnded, size_t nBytesThisCycle);

    static COutcome DecideOutcome(bool bStopRequested, bool bClosing, bool bLoginFailed,
                                  int gtGameType);

    uint64_t Position() const { return m_nPosition; }
    bool WaitingForStart() const { return m_bWaitForStart; }
    int EmptyCycles() const { return m_nEmptyCycles; }

private:
    bool m_bWaitForStart = true;
    bool m_bRunningLogged = false;
    int m_nEmptyCycles = 0;
    uint64_t m_nPosition = 0;
};
