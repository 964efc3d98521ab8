// What the run model hands its shell: the actions it returns, each naming what to carry out, and
// the identities, clock and timers they speak of.
#pragma once
#include "server/RunNote.h"

#include <cstdint>
#include <string>
#include <vector>

// Identity of one run; 0 names none.
using RunId = std::uint32_t;

// Milliseconds of a steady clock that the shell reads and hands in with the events that need a
// time. It may wrap: only differences are used, taken modulo 2^32.
using RunClock = std::uint32_t;

// The run's one-shot timers. The shell sets them on a window of its own, each under its number,
// and kills a timer when it fires, before it hands the expiry in, so each acts once per setting.
enum ERunTimer : unsigned {
    kTimerCommandDone = 32776,
    kTimerLoginCheck = 32777,
    kTimerRestart = 32781,
    kTimerClose = 32782,
    kTimerConnect = 32785,
    kTimerScriptSwap = 32796,
    kTimerConfigSettle = 32797,
    kTimerRestartQuit = 32798,  // a scheduled restart's Quit() has this long to end the server
    kTimerWatch = 32800,        // the next look at whether the server's windows still answer
};

// Button 1 (Start/Stop) and the three command buttons (1026, 1060, 1061).
struct CButtonStates {
    bool m_bStartEnabled = true;
    bool m_bStopCaption = false;  // button 1 reads "Stop Server", else "Start Server"
    bool m_bCommandsEnabled = false;
    bool operator==(const CButtonStates& o) const
    {
        return m_bStartEnabled == o.m_bStartEnabled && m_bStopCaption == o.m_bStopCaption &&
               m_bCommandsEnabled == o.m_bCommandsEnabled;
    }
    bool operator!=(const CButtonStates& o) const { return !(*this == o); }
};

enum class ERunAction {
    Send,         // text: bytes for the remote console (dropped when there is no connection)
    Log,          // text: a complete utility log message
    Console,      // text: for AppendConsoleText
    SetTimer,     // timer, ms
    KillTimer,    // timer
    Buttons,      // buttons
    Title,        // text: the main window's title
    CheckPort,    // look for another program listening on the remote console port; report
                  // OnPortChecked
    Launch,       // config, text: start the server program with these parameters; report OnLaunched
    Follow,       // run: start the run's log follower; report OnFollowerLost when it cannot start.
                  // bFromLogEnd: follow what is appended from now on, awaiting no start marker
    Connect,      // run: make the remote console connection; report OnConnectBegun when begun
    CheckWindows, // run: ask the server's top-level windows, without waiting; report OnWindowsChecked
    Terminate,    // run: end the run's server process
    ShowMessage,  // text: shown owned by the main window; report OnMessageBoxClosed
    Notify,       // note, config, text = its detail: what a user away from the screen wants to know
    CrashCopy,    // config, text = level: AddCurrentLevelToConfig(); report OnCrashCopyWritten
    SwapScript,   // config: put the crash copy in place of the script
    CloseWindow,  // end the main dialog
};

struct CRunAction {
    explicit CRunAction(ERunAction k) : m_eKind(k) {}
    ERunAction m_eKind;
    std::string m_strText;
    std::string m_strConfig;
    unsigned m_nTimer = 0;
    unsigned m_nMs = 0;
    RunId m_nRun = 0;
    CButtonStates m_buttons;
    bool m_bFromLogEnd = false;
    ERunNote m_eNote = ERunNote::Crashed;
};
using CRunActions = std::vector<CRunAction>;

// One line per action, for tests and traces: "send Quit()\r\n", "timer 32776 2000", ...
// (a follower from the log's end reads "follow N from-end")
std::string Describe(const CRunAction& action);
