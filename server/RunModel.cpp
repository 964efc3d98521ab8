#include "server/RunModel.h"

#include "server/PortCheck.h"
#include "base/GamePaths.h"
#include "base/SafeName.h"
#include "base/StringPrintf.h"
#include "config/ServerConfig.h"

namespace {

const char kIdleTitle[] = "Dravic Qel 2 Dedicated Server Utility";

unsigned TimerBit(unsigned timer)
{
    switch (timer) {
    case kTimerCommandDone: return 1u << 0;
    case kTimerLoginCheck: return 1u << 1;
    case kTimerRestart: return 1u << 2;
    case kTimerClose: return 1u << 3;
    case kTimerConnect: return 1u << 4;
    case kTimerScriptSwap: return 1u << 5;
    case kTimerConfigSettle: return 1u << 6;
    case kTimerRestartQuit: return 1u << 7;
    case kTimerWatch: return 1u << 8;
    }
    return 0;
}

// The action appended to `out`, its fields filled in place: many places add one, and none of them
// builds and copies an action of its own.
CRunAction& Push(CRunActions& out, ERunAction kind)
{
    out.emplace_back(kind);
    return out.back();
}

// Out of line on purpose: each of the many places that make an action of a text or a run is one
// call, not a string and an action built in place.
void Add(CRunActions& out, ERunAction kind, std::string text) { Push(out, kind).m_strText = std::move(text); }
void Add(CRunActions& out, ERunAction kind, const char* text) { Push(out, kind).m_strText = text; }

// `detail` says why a relaunch failed; the other notes have none.
void AddNote(CRunActions& out, ERunNote note, const std::string& config, const char* detail = "")
{
    CRunAction& a = Push(out, ERunAction::Notify);
    a.m_eNote = note;
    a.m_strConfig = config;
    a.m_strText = detail;
}

std::string UnsafeScriptLine(const std::string& config)
{
    return StringPrintf("ERR:  Configuration name \"%s\" cannot be used as the server's options script.\n",
                        config.c_str());
}

void AddForRun(CRunActions& out, ERunAction kind, RunId run) { Push(out, kind).m_nRun = run; }

}  // namespace

enum class ERunPhase {
    Launching,  // launched; its follower has not reported yet
    Running,    // the follower follows the log
    Ending,     // the process ended and its log is drained: the end steps are under way
};

struct CServerRunModel::CRun {
    RunId m_nId = 0;
    ERunStart m_eStart = ERunStart::Launched;
    ERunPhase m_ePhase = ERunPhase::Launching;
    std::string m_strConfig;  // the configuration launched
    std::optional<RunClock> m_nLaunchedAt;  // unknown for a picked-up run
    bool m_bConfigGuessed = false;  // picked up without knowing what it was launched with
    bool m_bStopRequested = false;
    bool m_bLoginFailed = false;
    bool m_bLoggedIn = false;
    bool m_bLoginRefused = false;  // a picked-up server did not take the login; it runs on
    bool m_bScheduledRestart = false;  // asked to quit for a scheduled restart
    bool m_bTitled = false;  // the title names the run's configuration
    std::optional<std::int64_t> m_nStartedUtc;  // a picked-up process's creation, when known
    // The watch of its windows.
    bool m_bChecking = false;  // a look at the windows is under way
    bool m_bWindowSeen = false;
    bool m_bNoWindowLogged = false;
    std::optional<RunClock> m_nSilentSince;  // the first of the checks in a row that found no answer
    bool m_bNotResponding = false;  // ended as not responding; its end is a crash's
};


std::string ServerLaunchParameters(int gtGameType, const std::string& configName)
{
    if (gtGameType != kGameTypeCoop && gtGameType != kGameTypeDeathmatch)
        return std::string();
    return StringPrintf("%s+gameoptions \"%s\"", gtGameType == kGameTypeDeathmatch ? "+gametype dm " : "",
                        ServerScriptArgument(configName).c_str());
    return std::string();
}

CServerRunModel::CServerRunModel(CRunStore& store) : m_store(store) {}

CServerRunModel::~CServerRunModel() = default;

bool CServerRunModel::IsServerRunning() const { return m_pRun && m_pRun->m_ePhase != ERunPhase::Ending; }

bool CServerRunModel::IsCurrentRun(RunId run) const { return m_pRun && run != 0 && m_pRun->m_nId == run; }

RunId CServerRunModel::CurrentRun() const { return m_pRun ? m_pRun->m_nId : 0; }

void CServerRunModel::SetTimer(unsigned timer, unsigned ms, CRunActions& out)
{
    m_nArmedTimers |= TimerBit(timer);
    CRunAction& a = Push(out, ERunAction::SetTimer);
    a.m_nTimer = timer;
    a.m_nMs = ms;
}

void CServerRunModel::KillTimer(unsigned timer, CRunActions& out)
{
    if (!(m_nArmedTimers & TimerBit(timer)))
        return;
    m_nArmedTimers &= ~TimerBit(timer);
    Push(out, ERunAction::KillTimer).m_nTimer = timer;
}

// The enabling table. Button 1 waits for any pending period and for a run's end steps; the
// command buttons need a run whose follower runs and nothing pending.
void CServerRunModel::Refresh(CRunActions& out)
{
    const bool ending = m_pRun && m_pRun->m_ePhase == ERunPhase::Ending;
    CButtonStates now;
    now.m_bStartEnabled = m_ePending == EPending::None && !ending;
    now.m_bStopCaption = m_bStopCaption;
    now.m_bCommandsEnabled = m_pRun && m_pRun->m_ePhase == ERunPhase::Running && !m_pRun->m_bLoginRefused &&
                           m_ePending == EPending::None;
    if (now == m_shown)
        return;
    m_shown = now;
    Push(out, ERunAction::Buttons).m_buttons = now;
}

CRunActions CServerRunModel::OnStartStopPressed(const std::string& currentConfig)
{
    CRunActions out;
    if (Guarded() || (m_pRun && m_pRun->m_ePhase == ERunPhase::Ending))
        return out;
    if (!m_pRun) {
        CheckPortAndLaunch(currentConfig, false, out);
        return out;
    }
    // Tollan never ends the server itself on a stop: the run ends when the process does. Only a
    // server that refused the login cannot hear Quit(); the press then ends its process.
    m_pRun->m_bStopRequested = true;
    m_schedule.OnStopRequested();
    Add(out, ERunAction::Send, "Quit()\r\n");
    Add(out, ERunAction::Log, "INF:  Quit() command has been sent to the server.\n");
    if (m_pRun->m_bLoginRefused) {
        AddForRun(out, ERunAction::Terminate, m_pRun->m_nId);
        Add(out, ERunAction::Log, "INF:  The server did not accept the login, so Stop Server ended "
                                            "its process.\n");
    }
    m_bStopCaption = false;
    m_ePending = EPending::Stop;
    Refresh(out);
    SetTimer(kTimerCommandDone, 2000, out);
    return out;
}

// Another program on the console port would get the password and every command: every launch
// is preceded by a look at the port.
void CServerRunModel::CheckPortAndLaunch(const std::string& configName, bool bUnattended, CRunActions& out)
{
    m_pCheck.reset(new CPendingCheck{configName, bUnattended});
    Push(out, ERunAction::CheckPort);
}

CRunActions CServerRunModel::OnPortChecked(const CPortCheck& check)
{
    CRunActions out;
    if (!m_pCheck)
        return out;
    const CPendingCheck pending = *m_pCheck;
    m_pCheck.reset();
    if (m_pRun)
        return out;
    if (check.m_eState == EPortState::Unknown)
        Add(out, ERunAction::Log, kPortNotCheckedLine);
    if (check.m_eState != EPortState::Busy) {
        if (!pending.m_bUnattended) {
            // Between a crash and its restart this press is the restart, so only one server
            // runs. A launch the user asks for begins a new count for the crash-loop guard.
            KillTimer(kTimerRestart, out);
            m_nQuickCrashes = 0;
        }
        Launch(pending.m_strConfig, pending.m_bUnattended, out);
        return out;
    }
    const CPortInUseReport report = DescribePortInUse(check.m_nOwnerPid, check.m_strOwnerImage);
    if (!pending.m_bUnattended) {
        // A refused press changes nothing, not even a restart that is pending after a crash.
        Add(out, ERunAction::Log, report.m_strLogLine);
        Add(out, ERunAction::ShowMessage, report.m_strMessage);
        return out;
    }
    Add(out, ERunAction::Log, report.m_strRestartLogLine);
    Add(out, ERunAction::Console, "ERR:    The server was not restarted, as another program listens on "
                                            "its remote console port.\n\n");
    RelaunchFailed(pending.m_strConfig, "another program listens on its remote console port", out);
    return out;
}

void CServerRunModel::RelaunchFailed(const std::string& config, const char* why, CRunActions& out)
{
    Incident(ERunNote::RelaunchFailed, config, out, why);
    m_bStopCaption = false;
    Refresh(out);
}

void CServerRunModel::Launch(const std::string& configName, bool bUnattended, CRunActions& out)
{
    Add(out, ERunAction::Log, "INF:  Launching Server...\n");
    // The name goes inside the quotes of the command line; one edited into History.ini by hand
    // could otherwise close them and add parameters of its own.
    if (!IsSafeFileName(configName)) {
        Add(out, ERunAction::Log,
            StringPrintf("ERR:  Configuration name \"%s\" cannot be used to start the server.\n", configName.c_str()));
        if (bUnattended) {
            RelaunchFailed(configName, "its configuration name cannot be used", out);
            return;
        }
        m_bStopCaption = false;
        Refresh(out);
        return;
    }
    // The password of the configuration that is started: another one's would fail its login.
    if (std::optional<std::string> password = m_store.AdminPasswordOf(configName))
        m_strAdminPassword = *password;
    m_strActiveScript = configName;
    m_strLaunching = configName;
    m_bLaunchUnattended = bUnattended;
    CRunAction& a = Push(out, ERunAction::Launch);
    a.m_strConfig = configName;
    a.m_strText = ServerLaunchParameters(m_store.GameTypeOf(configName), configName);
}

CRunActions CServerRunModel::OnLaunched(bool bStarted, RunClock now)
{
    CRunActions out;
    const std::string configName = std::move(m_strLaunching);
    m_strLaunching.clear();
    if (!bStarted) {
        Add(out, ERunAction::Log, "ERR:  ShellExecuteEx() failed.\n");
        // A restart after a crash may fail too: no run is on, whatever the caption said.
        if (m_bLaunchUnattended) {
            RelaunchFailed(configName, "its program could not be started", out);
            return out;
        }
        m_bStopCaption = false;
        Refresh(out);
        return out;
    }
    m_pRun.reset(new CRun);
    m_pRun->m_nId = ++m_nLastRun;
    m_pRun->m_strConfig = configName;
    m_pRun->m_nLaunchedAt = now;
    // A launch supersedes what an earlier command left pending.
    KillTimer(kTimerCommandDone, out);
    m_ePending = EPending::Launch;
    Refresh(out);
    SetTimer(kTimerConnect, 2000, out);
    SetTimer(kTimerWatch, kWatchIntervalMs, out);
    AddForRun(out, ERunAction::Follow, m_pRun->m_nId);
    return out;
}

// The server runs already, so the run starts where a launch stands once the process is up: the
// follower reads from the log's end, and the connect timer logs in as after a launch.
CRunActions CServerRunModel::OnServerPickedUp(std::uint32_t pid, const std::string& config, bool bConfigGuessed,
                                              std::optional<std::int64_t> startedUtc)
{
    CRunActions out;
    if (m_pRun || Guarded())
        return out;
    if (std::optional<std::string> password = m_store.AdminPasswordOf(config))
        m_strAdminPassword = *password;
    m_strActiveScript = config;
    m_pRun.reset(new CRun);
    m_pRun->m_nId = ++m_nLastRun;
    m_pRun->m_eStart = ERunStart::PickedUp;
    m_pRun->m_strConfig = config;
    m_pRun->m_bConfigGuessed = bConfigGuessed;
    m_pRun->m_nStartedUtc = startedUtc;
    Add(out, ERunAction::Log,
        StringPrintf("INF:  Picked up the server that was left running (process id %lu).\n", static_cast<unsigned long>(pid)));
    Add(out, ERunAction::Console, "INF:    Picked up the server that was left running.\n");
    m_ePending = EPending::Launch;
    Refresh(out);
    SetTimer(kTimerConnect, 2000, out);
    SetTimer(kTimerWatch, kWatchIntervalMs, out);
    AddForRun(out, ERunAction::Follow, m_pRun->m_nId);
    out.back().m_bFromLogEnd = true;
    return out;
}

CRunActions CServerRunModel::OnFollowerStarted(RunId run)
{
    CRunActions out;
    if (!IsCurrentRun(run) || m_pRun->m_ePhase != ERunPhase::Launching)
        return out;
    m_pRun->m_ePhase = ERunPhase::Running;
    m_bStopCaption = true;
    m_pRun->m_bTitled = true;
    Refresh(out);
    Add(out, ERunAction::Title, StringPrintf("%s - '%s.cfg'", kIdleTitle, m_pRun->m_strConfig.c_str()));
    return out;
}

CRunActions CServerRunModel::OnTimer(unsigned timer)
{
    CRunActions out;
    // A timer killed since it was due no longer counts.
    if (!(m_nArmedTimers & TimerBit(timer)))
        return out;
    m_nArmedTimers &= ~TimerBit(timer);
    switch (timer) {
    case kTimerCommandDone:
        if (m_ePending == EPending::Command || m_ePending == EPending::Stop)
            m_ePending = EPending::None;
        Refresh(out);
        break;
    case kTimerConnect:
        if (!IsServerRunning())
            break;
        if (m_ePending == EPending::Launch)
            m_ePending = EPending::None;
        Refresh(out);
        AddForRun(out, ERunAction::Connect, m_pRun->m_nId);
        break;
    case kTimerLoginCheck:
        // A check judges the connection of the run that made it, and no other.
        if (!IsServerRunning() || m_nLoginCheckRun != m_pRun->m_nId)
            break;
        m_nLoginCheckRun = 0;
        if (m_pRun->m_bLoggedIn) {
            Add(out, ERunAction::Log, "INF:  Connection to server was a success.\n");
        } else if (m_pRun->m_eStart == ERunStart::PickedUp) {
            // Tollan did not launch this server, and players may be on it: it is left running.
            m_pRun->m_bLoginRefused = true;
            Add(out, ERunAction::Console, "\nERR:    Unable to log in to the server that was picked up; "
                                                    "it keeps running. Stop Server ends it.\n\n");
            Add(out, ERunAction::Log, "ERR:  Unable to log in to the server that was picked up; it was "
                                                "left running.\n");
            AddNote(out, ERunNote::LoginRefused, m_strActiveScript);
            Refresh(out);
        } else {
            m_pRun->m_bLoginFailed = true;
            AddForRun(out, ERunAction::Terminate, m_pRun->m_nId);
            Add(out, ERunAction::Log, "ERR:  Unable to connect to server.  Server was shut down.\n");
        }
        break;
    case kTimerRestart:
        if (!m_pRun)
            CheckPortAndLaunch(m_strRestartConfig, true, out);
        break;
    case kTimerClose:
        Push(out, ERunAction::CloseWindow);
        break;
    case kTimerScriptSwap:
        Push(out, ERunAction::SwapScript).m_strConfig = m_strCrashCopyConfig;
        break;
    case kTimerConfigSettle: {
        const std::string config = std::move(m_strBrowsedConfig);
        m_strBrowsedConfig.clear();
        out = OnConfigChosen(config);
        break;
    }
    case kTimerWatch:
        if (!IsServerRunning())
            break;
        SetTimer(kTimerWatch, kWatchIntervalMs, out);
        // A look that takes longer than the interval is not overtaken by the next.
        if (!m_pRun->m_bChecking) {
            m_pRun->m_bChecking = true;
            AddForRun(out, ERunAction::CheckWindows, m_pRun->m_nId);
        }
        break;
    case kTimerRestartQuit:
        // Quit() was not obeyed: the restart ends the process itself, then launches as planned.
        if (IsServerRunning() && m_pRun->m_bScheduledRestart) {
            Add(out, ERunAction::Log, "ERR:  Scheduled restart: the server did not end within 60 s of "
                                                "Quit(); its process was ended.\n");
            AddForRun(out, ERunAction::Terminate, m_pRun->m_nId);
        }
        break;
    }
    return out;
}

CRunActions CServerRunModel::OnConnectBegun(RunId run)
{
    CRunActions out;
    if (!IsCurrentRun(run))
        return out;
    m_nLoginCheckRun = run;
    SetTimer(kTimerLoginCheck, 15000, out);
    Add(out, ERunAction::Log, "INF:  Attempting to connect to server...\n");
    return out;
}

// Windows that answered no check for kNotRespondingMs in a row make a server not responding. The
// silence counts from the first check that went unanswered, so a pause shorter than that is left
// alone however the checks fall; a window that appears late is watched from then on.
CRunActions CServerRunModel::OnWindowsChecked(RunId run, EWindowAnswer answer, RunClock began)
{
    CRunActions out;
    if (!IsCurrentRun(run) || m_pRun->m_ePhase == ERunPhase::Ending)
        return out;
    CRun& r = *m_pRun;
    r.m_bChecking = false;
    switch (answer) {
    case EWindowAnswer::Unknown:
        break;
    case EWindowAnswer::NoWindow:
        r.m_nSilentSince.reset();
        // Once the server is up (its console took or refused the login) its windows are there.
        if (!r.m_bWindowSeen && !r.m_bNoWindowLogged && (r.m_bLoggedIn || r.m_bLoginRefused)) {
            r.m_bNoWindowLogged = true;
            Add(out, ERunAction::Log, "INF:  The server shows no window of its own, so Tollan cannot tell "
                                                "whether it stops responding.\n");
        }
        break;
    case EWindowAnswer::Answered:
        r.m_bWindowSeen = true;
        r.m_nSilentSince.reset();
        break;
    case EWindowAnswer::Silent:
        r.m_bWindowSeen = true;
        if (!r.m_nSilentSince)
            r.m_nSilentSince = began;
        else if (!r.m_bNotResponding && began - *r.m_nSilentSince >= kNotRespondingMs)
            OnNotResponding(out);
        break;
    }
    return out;
}

// The process is ended; the run then ends as after a crash, unless a stop or a close was asked
// for, which it then simply completes.
void CServerRunModel::OnNotResponding(CRunActions& out)
{
    CRun& r = *m_pRun;
    r.m_bNotResponding = true;
    static_assert(kNotRespondingMs == 60000, "the texts name the time");
    const bool restart = !r.m_bStopRequested && !m_bClosing && !(r.m_eStart == ERunStart::PickedUp && r.m_bConfigGuessed);
    Add(out, ERunAction::Log, "ERR:  The server has not responded for 60 s; its process was ended.\n");
    Add(out, ERunAction::Console, "\nERR:    The server has not responded for 60 s and was ended.\n\n");
    // A stop or a close asked for is no incident: somebody is there.
    if (restart)
        Incident(ERunNote::NotResponding, m_strActiveScript, out);
    else if (!r.m_bStopRequested && !m_bClosing)
        Incident(ERunNote::NotRespondingEnded, m_strActiveScript, out);
    else
        AddNote(out, ERunNote::NotRespondingEnded, m_strActiveScript);
    AddForRun(out, ERunAction::Terminate, r.m_nId);
}

// The first login after a crash, a hang or a failed relaunch ends the incident: it runs again.
CRunActions CServerRunModel::OnLoggedIn(RunId run)
{
    CRunActions out;
    if (!IsCurrentRun(run))
        return out;
    m_pRun->m_bLoggedIn = true;
    if (m_bIncidentOpen) {
        m_bIncidentOpen = false;
        AddNote(out, ERunNote::RunningAgain, m_strActiveScript);
    }
    return out;
}

void CServerRunModel::Incident(ERunNote note, const std::string& config, CRunActions& out, const char* detail)
{
    m_bIncidentOpen = true;
    AddNote(out, note, config, detail);
}

void CServerRunModel::SendCommand(const std::string& text, const std::string& logLine, unsigned ms,
                                  CRunActions& out)
{
    Add(out, ERunAction::Send, text);
    if (!logLine.empty())
        Add(out, ERunAction::Log, logLine);
    m_ePending = EPending::Command;
    Refresh(out);
    SetTimer(kTimerCommandDone, ms, out);
}

CRunActions CServerRunModel::OnCommandPressed(EServerCommand command)
{
    // In the order of EServerCommand: the console function and how long the buttons wait for it.
    static const struct {
        const char* m_pszName;
        unsigned m_nMs;
    } kCommands[] = {{"qelRestartServer()", 8000}, {"qelPauseGame()", 4000}, {"qelListPlayers()", 4000}};
    CRunActions out;
    if (!IsServerRunning())
        return out;
    const auto& c = kCommands[static_cast<int>(command)];
    SendCommand(StringPrintf("%s\r\n", c.m_pszName),
                StringPrintf("INF:  %s command has been sent to the server.\n", c.m_pszName), c.m_nMs, out);
    return out;
}

CRunActions CServerRunModel::OnConfigChosen(const std::string& currentConfig)
{
    CRunActions out;
    KillTimer(kTimerConfigSettle, out);
    m_strBrowsedConfig.clear();
    if (!m_pRun && (m_nArmedTimers & TimerBit(kTimerRestart))) {
        // Between a crash and its restart, the restart launches what the list shows.
        if (IsSafeFileName(currentConfig))
            m_strRestartConfig = currentConfig;
        return out;
    }
    if (!IsServerRunning() || m_strActiveScript == currentConfig)
        return out;
    // The name goes inside the quotes of a console command, as it does on the command line of a
    // launch; one edited into History.ini by hand could add commands of its own.
    if (!IsSafeFileName(currentConfig)) {
        Add(out, ERunAction::Log, UnsafeScriptLine(currentConfig));
        return out;
    }
    if (!Guarded()) {
        SendCommand(StringPrintf("qel_strOptionsScript = \"%s\"\r\n", ServerScriptArgument(currentConfig).c_str()), "", 8000,
                    out);
        m_pRun->m_bConfigGuessed = false;  // whatever it was launched with, this is its script now
    }
    // The server follows the switch at its next level; a crash restart launches it too.
    m_strActiveScript = currentConfig;
    return out;
}

CRunActions CServerRunModel::OnConfigBrowsed(const std::string& currentConfig)
{
    CRunActions out;
    if (!m_pRun && (m_nArmedTimers & TimerBit(kTimerRestart)))
        return OnConfigChosen(currentConfig);  // no server to tell: the choice counts at once
    if (!IsServerRunning())
        return out;
    m_strBrowsedConfig = currentConfig;
    SetTimer(kTimerConfigSettle, kConfigSettleMs, out);
    return out;
}

CRunActions CServerRunModel::OnCommandLine(const std::string& text)
{
    CRunActions out;
    if (!IsServerRunning())
        return out;
    Add(out, ERunAction::Send, text + "\r\n");
    Add(out, ERunAction::Log, StringPrintf("INF:  Command: '%s' sent to the server.\n", text.c_str()));
    return out;
}

CRunActions CServerRunModel::OnCloseCommand()
{
    CRunActions out;
    // A server that refused the login cannot hear Quit(): the window closes and leaves it running,
    // as it was found.
    if (!IsServerRunning() || m_pRun->m_bLoginRefused) {
        Push(out, ERunAction::CloseWindow);
        return out;
    }
    Add(out, ERunAction::Send, "Quit()\r\n");
    Add(out, ERunAction::Log, "INF:  Quit() command has been sent to the server during Close.\n");
    m_bClosing = true;
    return out;
}

void CServerRunModel::TakeBrowsedChoice(CRunActions& out)
{
    if (!(m_nArmedTimers & TimerBit(kTimerConfigSettle)))
        return;
    KillTimer(kTimerConfigSettle, out);
    const std::string config = std::move(m_strBrowsedConfig);
    m_strBrowsedConfig.clear();
    if (config == m_strActiveScript)
        return;
    if (!IsSafeFileName(config)) {
        Add(out, ERunAction::Log, UnsafeScriptLine(config));
        return;
    }
    m_strActiveScript = config;
}

// The run's timers end with it, and button 1 waits until its end steps are done.
void CServerRunModel::EndRun(CRunActions& out)
{
    m_pRun->m_ePhase = ERunPhase::Ending;
    TakeBrowsedChoice(out);
    KillTimer(kTimerConnect, out);
    KillTimer(kTimerLoginCheck, out);
    KillTimer(kTimerRestartQuit, out);
    KillTimer(kTimerWatch, out);
    m_nLoginCheckRun = 0;
    m_schedule.OnRunEnded();
    if (m_ePending == EPending::Launch || m_ePending == EPending::Restart)
        m_ePending = EPending::None;
    Refresh(out);
}

void CServerRunModel::FinishRun(bool bCaptionStart, CRunActions& out)
{
    const bool titled = m_pRun->m_bTitled;
    m_pRun.reset();
    if (bCaptionStart)
        m_bStopCaption = false;
    Refresh(out);
    if (titled)
        Add(out, ERunAction::Title, kIdleTitle);
}

// What the end of a run means, first match wins: a stop the user asked for, a close of the window,
// a server ended for its failed login, or else a crash.
CRunActions CServerRunModel::OnFollowerEnded(RunId run, const std::string& currentLevel, RunClock endedAt)
{
    CRunActions out;
    if (!IsCurrentRun(run) || m_pRun->m_ePhase == ERunPhase::Ending)
        return out;
    EndRun(out);
    if (m_pRun->m_bStopRequested) {
        Add(out, ERunAction::Console, "\nINF:    The server has stopped.\n\n");
        Add(out, ERunAction::Log, "INF:  The server has stopped.\n");
        FinishRun(true, out);
    } else if (m_bClosing) {
        // The window closes; nothing may start in the meantime, so the run stays in its end.
        SetTimer(kTimerClose, 500, out);
        Add(out, ERunAction::Title, kIdleTitle);
    } else if (m_pRun->m_bScheduledRestart) {
        // A new process gives the memory back; the same script is launched again, and this end is
        // no crash for the crash-loop guard.
        const std::string config = m_strActiveScript;
        Add(out, ERunAction::Console, "\nINF:    The server has stopped for its scheduled restart.\n\n");
        Add(out, ERunAction::Log, "INF:  Scheduled restart: the server has stopped; it is launched "
                                            "again.\n");
        m_nQuickCrashes = 0;
        FinishRun(false, out);
        CheckPortAndLaunch(config, true, out);
    } else if (m_pRun->m_bLoginFailed) {
        Add(out, ERunAction::Console, "\nERR:    Unable to log in!\nINF:    Stopping Server.\n\n");
        m_bAwaitingBox = true;
        AddNote(out, ERunNote::LoginFailed, m_strActiveScript);
        Add(out, ERunAction::ShowMessage, "The utility was unable to log in to the server and has "
                                                    "stopped it.\nIf this problem persists, please submit a bug "
                                                    "report.");
    } else {
        OnCrashed(currentLevel, endedAt, out);
    }
    return out;
}

void CServerRunModel::OnCrashed(const std::string& currentLevel, RunClock endedAt, CRunActions& out)
{
    // A server ended as not responding was reported then; it ends as a crash without saying so again.
    const bool hung = m_pRun->m_bNotResponding;
    if (hung && m_pRun->m_eStart == ERunStart::PickedUp && m_pRun->m_bConfigGuessed) {
        Add(out, ERunAction::Log, "INF:  The server that was picked up is not started again, as its "
                                            "configuration was only assumed.\n");
        FinishRun(true, out);
        return;
    }
    if (!hung) {
        Add(out, ERunAction::Console, "\nERR:    The server has crashed.\n\n");
        Add(out, ERunAction::Log, "ERR:  The server has crashed.\n");
    }
    // A picked-up run was launched who knows when: its crash is not one at start.
    const bool quick = m_pRun->m_nLaunchedAt && endedAt - *m_pRun->m_nLaunchedAt <= kCrashLoopWindowMs;
    m_nQuickCrashes = quick ? m_nQuickCrashes + 1 : 0;
    // The run's script: a switch while it ran changed what the restart launches.
    const std::string config = m_strActiveScript;
    if (m_store.GameTypeOf(config) == kGameTypeCoop) {
        // A configuration that was only assumed may not be what ran: its script stays as it is.
        if (m_pRun->m_bConfigGuessed) {
            Add(out, ERunAction::Log, "INF:  The crashed server's configuration was only assumed, so its "
                                                "script keeps its starting level.\n");
        } else {
            m_strCrashCopyConfig = config;
            CRunAction& a = Push(out, ERunAction::CrashCopy);
            a.m_strConfig = config;
            a.m_strText = currentLevel;
        }
    }
    if (m_nQuickCrashes >= kCrashLoopLimit) {
        m_nQuickCrashes = 0;
        static_assert(kCrashLoopLimit == 3 && kCrashLoopWindowMs == 60000, "the texts name the thresholds");
        Add(out, ERunAction::Console, "ERR:    The server crashed 3 times in a row, each time within "
                                                "60 s of its launch; it is not restarted.\n\n");
        Add(out, ERunAction::Log, "ERR:  The server crashed 3 times in a row, each time within 60 s of "
                                            "its launch, and was not restarted. Check its configuration and "
                                            "DedicatedServer.log, then press Start Server.\n");
        Incident(ERunNote::CrashLoop, config, out);
        FinishRun(true, out);
        return;
    }
    if (!hung)
        Incident(ERunNote::Crashed, config, out);
    m_strRestartConfig = config;
    SetTimer(kTimerRestart, 5000, out);
    FinishRun(false, out);
}

CRunActions CServerRunModel::OnMessageBoxClosed()
{
    CRunActions out;
    if (!m_bAwaitingBox)
        return out;
    m_bAwaitingBox = false;
    if (m_pRun)
        FinishRun(true, out);
    return out;
}

CRunActions CServerRunModel::OnCrashCopyWritten()
{
    CRunActions out;
    SetTimer(kTimerScriptSwap, 20000, out);
    return out;
}

CRunActions CServerRunModel::OnSwapCancelled()
{
    CRunActions out;
    KillTimer(kTimerScriptSwap, out);
    return out;
}

CRunActions CServerRunModel::OnFollowerLost(RunId run)
{
    CRunActions out;
    if (!IsCurrentRun(run) || m_pRun->m_ePhase == ERunPhase::Ending)
        return out;
    EndRun(out);
    if (m_pRun->m_eStart == ERunStart::PickedUp) {
        // Tollan did not launch it: it runs on unwatched rather than ending under its players.
        Add(out, ERunAction::Log, "ERR:  The log of the server that was picked up cannot be followed; "
                                            "the server was left running.\n");
    } else {
        AddForRun(out, ERunAction::Terminate, run);
        Add(out, ERunAction::Log, "ERR:  The server was shut down, as its log cannot be followed.\n");
    }
    FinishRun(true, out);
    return out;
}

// A restart is due when the schedule says so and the run is free: no command or launch pending,
// no stop or close asked for, and a console that takes Quit().
CRunActions CServerRunModel::OnScheduleTick(const CScheduleTime& now)
{
    CRunActions out;
    if (!IsServerRunning()) {
        m_schedule.OnTick(now);
        return out;
    }
    if (m_nScheduledRun != m_pRun->m_nId) {
        m_nScheduledRun = m_pRun->m_nId;
        m_schedule.OnRunStarted(now, m_pRun->m_nStartedUtc.value_or(now.m_nUtcSeconds));
    }
    if (!m_schedule.OnTick(now))
        return out;
    if (m_pRun->m_ePhase != ERunPhase::Running || m_ePending != EPending::None || m_pCheck || m_pRun->m_bStopRequested ||
        m_bClosing || m_pRun->m_bLoginRefused || !m_pRun->m_bLoggedIn)
        return out;
    m_schedule.OnRestartBegun();
    BeginScheduledRestart(out);
    return out;
}

std::optional<std::int64_t> CServerRunModel::SecondsUntilRestart(const CScheduleTime& now,
                                                                 const CRestartSettings& settings) const
{
    if (!IsServerRunning() || m_pRun->m_bStopRequested || m_bClosing || m_pRun->m_bScheduledRestart)
        return std::nullopt;
    // A run the schedule's tick has not met yet starts there.
    const std::int64_t start = m_nScheduledRun == m_pRun->m_nId ? m_schedule.RunStart()
                                                             : m_pRun->m_nStartedUtc.value_or(now.m_nUtcSeconds);
    return NextRestartAfter(now, settings, start);
}

void CServerRunModel::BeginScheduledRestart(CRunActions& out)
{
    m_pRun->m_bScheduledRestart = true;
    Add(out, ERunAction::Send, "Quit()\r\n");
    Add(out, ERunAction::Log, "INF:  Scheduled restart: Quit() command has been sent to the server.\n");
    Add(out, ERunAction::Console, "\nINF:    Scheduled restart: the server is asked to quit and will be "
                                            "started again.\n");
    AddNote(out, ERunNote::ScheduledRestart, m_strActiveScript);
    m_ePending = EPending::Restart;
    Refresh(out);
    SetTimer(kTimerRestartQuit, kRestartQuitMs, out);
}

CRunStatus CServerRunModel::Status() const
{
    CRunStatus status;
    if (m_pRun && m_pRun->m_ePhase != ERunPhase::Ending) {
        status.m_eState = m_pRun->m_bScheduledRestart ? ERunState::Restarting : ERunState::Running;
        status.m_strConfig = m_strActiveScript;
        status.m_nRun = m_pRun->m_nId;
    } else if (m_nArmedTimers & TimerBit(kTimerRestart)) {
        status.m_eState = ERunState::Crashed;
        status.m_strConfig = m_strRestartConfig;
    } else if (m_pCheck || !m_strLaunching.empty()) {
        status.m_eState = ERunState::Restarting;
        status.m_strConfig = m_pCheck ? m_pCheck->m_strConfig : m_strLaunching;
    }
    return status;
}
