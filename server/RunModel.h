// The server run without windows, handles or threads: every rule of starting, commanding and
// ending a run of the game's server. The shell (CServerRunner) hands in what happened and carries
// out the returned actions in their order.
//
// Each launch gets a fresh run state with its own identity. Everything that belongs to one run --
// its follower's messages, its socket's login, its login check -- names that run, and whatever
// names a run that has ended is dropped, so an ended run can never act on the next one.
#pragma once
#include "server/PortCheck.h"
#include "server/RestartSchedule.h"
#include "server/RunAction.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// The crash-loop guard: a server that crashes within kCrashLoopWindowMs of its launch for the
// kCrashLoopLimit-th time in a row is not restarted.
constexpr RunClock kCrashLoopWindowMs = 60000;
constexpr int kCrashLoopLimit = 3;

// A scheduled restart's Quit() has this long to end the server before its process is ended.
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
    // The process has ended (at `endedAt`) and its log is drained; `currentLevel` is the level the
    // run played last, as its follower read it.
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
    void RelaunchFailed(const std::string& config, const char* why, CRunActions& out);
    // A note of something gone wrong that lasts until the server runs (logs in) again.
    void Incident(ERunNote note, const std::string& config, CRunActions& out, const char* detail = "");
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
    bool m_bIncidentOpen = false;  // a crash or hang was told of and the server has not run since
    int m_nQuickCrashes = 0;  // crashes in a row, each within kCrashLoopWindowMs of its launch
    std::string m_strRestartConfig;  // the crashed run's configuration
    std::string m_strCrashCopyConfig;
    // A launch waits for its port check: what it will launch, and whether anybody asked for it.
    struct CPendingCheck {
        std::string m_strConfig;
        bool m_bUnattended;
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
