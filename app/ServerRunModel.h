// The server run without windows, handles or threads: every rule of starting, commanding and
// ending a run of the game's server. The shell (CServerRunner) hands in what happened and carries
// out the returned actions in their order.
//
// Each launch gets a fresh run state with its own identity. Everything that belongs to one run --
// its follower's messages, its socket's login, its login check -- names that run, and whatever
// names a run that has ended is dropped, so an ended run can never act on the next one.
#pragma once
#include "app/RestartSchedule.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Identity of one run; 0 names none.
using RunId = std::uint32_t;

// Milliseconds of a steady clock that the shell reads and hands in with the events that need a
// time. It may wrap: only differences are used, taken modulo 2^32.
using RunClock = std::uint32_t;

// The crash-loop guard: a server that crashes within kCrashLoopWindowMs of its launch for the
// kCrashLoopLimit-th time in a row is not restarted.
constexpr RunClock kCrashLoopWindowMs = 60000;
constexpr int kCrashLoopLimit = 3;

// The main dialog's one-shot timers (window timer ids). The shell kills a timer when it fires,
// before it hands the expiry in, so each acts once per setting.
enum ERunTimer : unsigned {
    kTimerCommandDone = 32776,
    kTimerLoginCheck = 32777,
    kTimerRestart = 32781,
    kTimerClose = 32782,
    kTimerConnect = 32785,
    kTimerScriptSwap = 32796,
    kTimerConfigSettle = 32797,
    kTimerRestartQuit = 32798,  // a scheduled restart's Quit() has this long to end the server
    // The schedule's tick: the one timer that repeats; the shell hands in the clock each time.
    kTimerScheduleTick = 32799,
    kTimerWatch = 32800,  // the next look at whether the server's windows still answer
};
constexpr unsigned kScheduleTickMs = 5000;
constexpr unsigned kRestartQuitMs = 60000;

// The watch for a server that stops without ending (a deadlock, or a crash held open by an error
// dialog or a debugger): while a run is on, its top-level windows are asked every kWatchIntervalMs
// whether they still handle messages, as Windows judges "not responding". Windows that have
// answered no check for kNotRespondingMs in a row are not responding, and the process is ended.
// A shorter silence (a long level load) is left alone.
constexpr unsigned kWatchIntervalMs = 5000;
constexpr RunClock kNotRespondingMs = 60000;

// What a look at the server's top-level windows found: none of its own (a console window is the
// console host's), one that answered, only windows that did not answer in time, or nothing known
// (the look could not be made).
enum class EWindowAnswer { NoWindow, Answered, Silent, Unknown };

// A configuration list moved by keys or the wheel tells the server of the new options script
// once the choice has rested this long, not at every step.
constexpr unsigned kConfigSettleMs = 1000;

enum class EServerCommand { Restart, Pause, ListPlayers };

// How a run began: launched by this Tollan, or a server an earlier Tollan left running, picked
// up at start-up (its log is followed from its end; when it was launched is not known).
enum class ERunStart { Launched, PickedUp };

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
    Notify,       // text: something happened that a user away from the screen wants to know
    ClearLevel,   // empty the current level
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
};
using CRunActions = std::vector<CRunAction>;

// One line per action, for tests and traces: "send Quit()\r\n", "timer 32776 2000", ...
// (a follower from the log's end reads "follow N from-end")
std::string Describe(const CRunAction& action);

// What the model reads from the configuration store when it launches.
class CRunStore {
public:
    // g_gtGameType the named configuration is started with.
    virtual int GameTypeOf(const std::string& configName) = 0;
    // The administrator password for its login; nothing when the store cannot be read.
    virtual std::optional<std::string> AdminPasswordOf(const std::string& configName) = 0;

protected:
    ~CRunStore() = default;
};

// What the shell found on 127.0.0.1:25600 before a launch: nobody, another program (named as far
// as the system tells), or nothing known because the system's tables could not be read.
enum class EPortState { Free, Busy, Unknown };
struct CPortCheck {
    EPortState m_eState = EPortState::Free;
    std::uint32_t m_nOwnerPid = 0;
    std::string m_strOwnerImage;
};

// Where the run stands, for a reader away from the window (the notification area's tip).
enum class ERunState { Stopped, Running, Crashed, Restarting };
struct CRunStatus {
    ERunState m_eState = ERunState::Stopped;
    std::string m_strConfig;  // the configuration that runs, crashed or is restarted
    RunId m_nRun = 0;         // the run that is on, or 0
};

// The server's parameters for a game type: cooperative, deathmatch, or none for any other value.
std::string ServerLaunchParameters(int gtGameType, const std::string& configName);

class CServerRunModel {
public:
    explicit CServerRunModel(CRunStore& store);
    ~CServerRunModel();

    // The user.
    CRunActions OnStartStopPressed(const std::string& currentConfig);
    CRunActions OnCommandPressed(EServerCommand command);
    // The configuration list closed up with `currentConfig` as the current configuration.
    CRunActions OnConfigChosen(const std::string& currentConfig);
    // The list's selection moved without a close-up (keys, the wheel, a typed letter): while a run
    // is on, the choice counts once it has settled for kConfigSettleMs.
    CRunActions OnConfigBrowsed(const std::string& currentConfig);
    // Enter with the command line's text while a run is on (see IsServerRunning).
    CRunActions OnCommandLine(const std::string& text);
    // The title bar's close command.
    CRunActions OnCloseCommand();
    // The scheduled restart's settings, and a tick of its timer with the clock.
    void SetRestartSettings(const CRestartSettings& settings) { m_schedule.SetSettings(settings); }
    const CRestartSettings& RestartSettings() const { return m_schedule.Settings(); }
    CRunActions OnScheduleTick(const CScheduleTime& now);
    // The next restart that `settings` would give the run that is on, as the schedule's tick
    // will act: nothing while no run is on, or once it is being stopped or closed.
    std::optional<std::int64_t> SecondsUntilRestart(const CScheduleTime& now, const CRestartSettings& settings) const;
    CRunStatus Status() const;

    // At start-up: a server of this game folder runs already (process `pid`); it becomes a run
    // of `config`, the configuration launched last, or only assumed to be its configuration
    // (bConfigGuessed). `startedUtc`: when its process was created (UTC seconds since 1970), if
    // known; its scheduled restart by the hour counts from there. Ignored while a run is on.
    // Tollan did not launch such a server, so it never ends it unless the user presses Stop or
    // it stops responding.
    CRunActions OnServerPickedUp(std::uint32_t pid, const std::string& config, bool bConfigGuessed,
                                 std::optional<std::int64_t> startedUtc);

    // What the shell did with an action.
    CRunActions OnPortChecked(const CPortCheck& check);
    CRunActions OnLaunched(bool bStarted, RunClock now);
    CRunActions OnConnectBegun(RunId run);
    // The look at the windows that CheckWindows asked for, begun at `began`.
    CRunActions OnWindowsChecked(RunId run, EWindowAnswer answer, RunClock began);
    CRunActions OnLoggedIn(RunId run);
    CRunActions OnCrashCopyWritten();
    // The configuration whose crash copy waited for its swap was saved; the swap is off.
    CRunActions OnSwapCancelled();
    CRunActions OnMessageBoxClosed();
    CRunActions OnTimer(unsigned timer);

    // The run's log follower.
    CRunActions OnFollowerStarted(RunId run);
    // The process has ended (at `endedAt`) and its log is drained; `currentLevel` is the console's.
    CRunActions OnFollowerEnded(RunId run, const std::string& currentLevel, RunClock endedAt);
    // The follower could not start, or failed: the server would run unwatched.
    CRunActions OnFollowerLost(RunId run);

    // A run is on and its end has not begun: commands go to its server.
    bool IsServerRunning() const;
    // Text of this run's follower is shown; everything of another run is dropped.
    bool IsCurrentRun(RunId run) const;
    RunId CurrentRun() const;
    const std::string& AdminPassword() const { return m_strAdminPassword; }
    const std::string& ActiveScript() const { return m_strActiveScript; }
    const CButtonStates& Buttons() const { return m_shown; }

private:
    struct CRun;
    // What holds the buttons disabled: a launch until its connect timer, a command (or a change
    // of options script) until its command-done timer, a stop for its 2 s. A pending launch or
    // command refuses further presses; a stop does not.
    enum class EPending { None, Launch, Command, Stop, Restart };

    void CheckPortAndLaunch(const std::string& configName, bool bUnattended, CRunActions& out);
    void Launch(const std::string& configName, bool bUnattended, CRunActions& out);
    void OnCrashed(const std::string& currentLevel, RunClock endedAt, CRunActions& out);
    void OnNotResponding(CRunActions& out);
    // A choice of the configuration list that had not settled when the run ended: the relaunch
    // takes it, as it would have taken a close-up.
    void TakeBrowsedChoice(CRunActions& out);
    // The failed relaunch of a crashed or scheduled run: nobody may be at the screen.
    void RelaunchFailed(const std::string& why, CRunActions& out);
    void BeginScheduledRestart(CRunActions& out);
    void EndRun(CRunActions& out);
    void FinishRun(bool bCaptionStart, CRunActions& out);
    void SendCommand(const std::string& text, const std::string& logLine, unsigned ms, CRunActions& out);
    void Refresh(CRunActions& out);
    bool Guarded() const
    {
        return m_ePending == EPending::Launch || m_ePending == EPending::Command ||
               m_ePending == EPending::Restart || m_pCheck;
    }
    void SetTimer(unsigned timer, unsigned ms, CRunActions& out);
    void KillTimer(unsigned timer, CRunActions& out);

    CRunStore& m_store;
    CRestartSchedule m_schedule;
    RunId m_nScheduledRun = 0;  // the run the schedule counts for
    std::unique_ptr<CRun> m_pRun;  // the current run, from its launch to the end of its end steps
    RunId m_nLastRun = 0;
    RunId m_nLoginCheckRun = 0;  // the run whose connection the armed login check judges
    unsigned m_nArmedTimers = 0;  // bit per timer, so that only armed timers are killed
    EPending m_ePending = EPending::None;
    bool m_bClosing = false;
    bool m_bAwaitingBox = false;
    int m_nQuickCrashes = 0;  // crashes in a row, each within kCrashLoopWindowMs of its launch
    std::string m_strRestartConfig;  // the crashed run's configuration
    std::string m_strCrashCopyConfig;
    // A launch waits for its port check: what it will launch, and whether anybody asked for it.
    struct CPendingCheck {
        std::string strConfig;
        bool bUnattended;
    };
    std::unique_ptr<CPendingCheck> m_pCheck;
    std::string m_strLaunching;  // between a Launch action and OnLaunched
    bool m_bLaunchUnattended = false;  // that launch is a restart nobody asked for
    std::string m_strBrowsedConfig;  // the list's choice while it settles
    std::string m_strActiveScript;
    std::string m_strAdminPassword;
    bool m_bStopCaption = false;
    CButtonStates m_shown;
};
