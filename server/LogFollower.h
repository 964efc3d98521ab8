// The reading rules of the server log follower without threads, handles or waits: what each read
// shows and logs, when a recreated log is read from its start, and when the run is over. What
// the end of a run means is the run model's (CServerRunModel::OnFollowerEnded).
//
// Contract for the shell's worker thread (ServerLogFollower.cpp), one model per run:
//   model.Start(whether the log was last written before the launch), or model.StartAtEnd(size)
//   for a server that was picked up;
//   note "started" to the main window; sleep 250 ms;
//   loop:
//       if (model.OnFileSize(current size of the log file, written since the launch)) seek the
//           file to offset 0;
//       n = read at most kReadSize bytes (a failed read or a log that cannot be opened: none);
//       a = model.OnRead(those n bytes): note each a.m_console text to the main window, log each
//           a.m_log line, append a.m_strRun to the run's kept copy;
//       ended = wait at most 100 ms for the process;
//       if (!model.OnProcessWait(ended, n)) leave the loop;
//       sleep 100 ms;
//   note "ended" with the moment the process ended. The main window carries every note out on
//   its own thread, and only while it exists.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct CFollowerActions {
    std::vector<std::string> m_console;  // texts for AppendConsoleText, in order
    std::vector<std::string> m_log;      // lines for LogMessage, in order
    std::string m_strRun;                // the bytes that belong to the run, for its kept copy
};

class CLogFollowerModel {
public:
    static constexpr size_t kReadSize = 255;
    static constexpr int kMaxEmptyCycles = 10;
    static const char kStartMarker[];  // "-------- START OF LOG --------", 30 characters
    static constexpr size_t kMaxLineChars = 200;  // the console keeps no longer unfinished line

    // A launched run. The run's bytes begin at its start marker; with bLogIsOld the log at hand
    // is the previous run's (last written before this launch), and none of it is this run's.
    void Start(bool bLogIsOld = false);
    // A server that was already running: what its log holds is old and its start marker long
    // past, so reading begins at the log's end, no marker is awaited, and every byte is the run's.
    void StartAtEnd(uint64_t nLogSize);
    // The server may recreate its log while we follow it: a file now shorter than what we have
    // read means new content, to be read from its start; so does the previous run's log once it
    // has been written since the launch, however long it has grown by then. Either way the log is
    // this run's from then on, and its copy goes on across it. True: seek to 0 (done in the model).
    bool OnFileSize(uint64_t nFileSize, bool bWrittenSinceLaunch = true);
    CFollowerActions OnRead(const std::string& bytes);
    // False when the run is over: more than kMaxEmptyCycles cycles without bytes since the
    // process ended.
    bool OnProcessWait(bool bProcessEnded, size_t nBytesThisCycle);

    uint64_t Position() const { return m_nPosition; }
    // The level path of the run's last "TRC:   Changing over to " line, as the console shows it:
    // crash recovery carries it into a cooperative script. Empty until the run changes level.
    const std::string& CurrentLevel() const { return m_strCurrentLevel; }
    bool WaitingForStart() const { return m_bWaitForStart; }
    int EmptyCycles() const { return m_nEmptyCycles; }

private:
    std::string RunBytes(const std::string& bytes);
    // The console's lines, taken apart as the console does, for the level changes among them.
    void FollowLevel(const std::string& text);

    bool m_bWaitForStart = true;
    bool m_bLogIsOld = false;
    bool m_bCopying = false;  // the run's start marker has been seen
    std::string m_strCarry;   // the last bytes before it, in which a split marker may begin
    bool m_bRunningLogged = false;
    int m_nEmptyCycles = 0;
    uint64_t m_nPosition = 0;
    std::string m_strLine;  // the console line not ended yet (at most kMaxLineChars)
    std::string m_strCurrentLevel;
};
