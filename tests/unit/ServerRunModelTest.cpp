#include "server/RunModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

namespace {

using Lines = std::vector<std::string>;

const char kTitle[] = "title Dravic Qel 2 Dedicated Server Utility";
const char kBusy[] = "buttons start:off 'Start Server' commands:off";
const char kStopping[] = "buttons start:off 'Stop Server' commands:off";
const char kRunning[] = "buttons start:on 'Stop Server' commands:on";
const char kIdle[] = "buttons start:on 'Start Server' commands:off";
const char kCrashed[] = "buttons start:on 'Stop Server' commands:off";
const char kLaunchDM[] = "launch NormalDM +gametype dm +gameoptions \"DedicatedServerUtility/Config/NormalDM.cfg\"";
const char kLaunchCoop[] = "launch NormalCOOP +gameoptions \"DedicatedServerUtility/Config/NormalCOOP.cfg\"";

class CFakeStore : public CRunStore {
public:
    struct Entry {
        int gameType;
        std::optional<std::string> password;
    };
    std::map<std::string, Entry> entries{{"NormalDM", {1, "brindlex"}}, {"NormalCOOP", {0, "brindlex"}},
                                         {"Other", {1, "other"}}};
    int GameTypeOf(const std::string& name) override { return entries[name].gameType; }
    std::optional<std::string> AdminPasswordOf(const std::string& name) override { return entries[name].password; }
};

// The watch of the server's windows runs beside everything else; traces leave it out unless a
// test looks at it.
bool g_bShowWatch = false;
bool IsWatchLine(const std::string& line)
{
    return line == "timer 32800 5000" || line == "kill 32800" || line.rfind("check-windows ", 0) == 0;
}

Lines D(const CRunActions& actions)
{
    Lines out;
    for (const CRunAction& a : actions)
        if (g_bShowWatch || !IsWatchLine(Describe(a)))
            out.push_back(Describe(a));
    return out;
}

bool Has(const Lines& lines, const std::string& line) { return std::count(lines.begin(), lines.end(), line) > 0; }
size_t Count(const Lines& lines, const std::string& prefix)
{
    return std::count_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.rfind(prefix, 0) == 0; });
}

// The model with a simulated shell and clock: each action is carried as CServerRunner does it,
// what it reports back comes after the actions returned before it, timers fire when they are
// due, and a follower reports its start 250 ms after it was started. The port is free, launches
// succeed and message boxes are confirmed at once unless a test says otherwise.
struct CShell {
    // Carries the actions and everything that follows from them now; their trace.
    Lines Do(const CRunActions& actions)
    {
        Lines trace;
        std::vector<std::function<CRunActions()>> later;
        for (const CRunAction& a : actions) {
            if (g_bShowWatch || !IsWatchLine(Describe(a))) {
                trace.push_back(Describe(a));
                all.push_back(trace.back());
            }
            switch (a.m_eKind) {
            case ERunAction::SetTimer: due[a.m_nTimer] = now + a.m_nMs; break;
            case ERunAction::KillTimer: due.erase(a.m_nTimer); break;
            case ERunAction::CheckPort: later.push_back([this] { return m.OnPortChecked(port); }); break;
            case ERunAction::Launch:
                later.push_back([this] { return m.OnLaunched(launchSucceeds, static_cast<RunClock>(now)); });
                break;
            case ERunAction::Follow: {
                const RunId run = a.m_nRun;
                events.emplace(now + 250, [this, run] { return m.OnFollowerStarted(run); });
                break;
            }
            case ERunAction::Connect: {
                const RunId run = a.m_nRun;
                later.push_back([this, run] { return m.OnConnectBegun(run); });
                break;
            }
            case ERunAction::CrashCopy: later.push_back([this] { return m.OnCrashCopyWritten(); }); break;
            case ERunAction::CheckWindows: {
                // The look takes `answerMs`; it began now.
                const RunId run = a.m_nRun;
                const RunClock began = static_cast<RunClock>(now);
                events.emplace(now + answerMs, [this, run, began] { return m.OnWindowsChecked(run, windows, began); });
                break;
            }
            case ERunAction::ShowMessage:
                if (confirmBoxes)
                    later.push_back([this] { return m.OnMessageBoxClosed(); });
                break;
            default: break;
            }
        }
        for (auto& event : later)
            for (const std::string& line : Do(event()))
                trace.push_back(line);
        return trace;
    }
    // Lets `ms` pass: due timers fire and scheduled notes arrive, in time order.
    Lines Advance(double ms)
    {
        Lines trace;
        const double until = now + ms;
        for (;;) {
            auto timer = std::min_element(due.begin(), due.end(),
                                          [](const auto& a, const auto& b) { return a.second < b.second; });
            const double nextTimer = timer == due.end() ? 1e18 : timer->second;
            const double nextEvent = events.empty() ? 1e18 : events.begin()->first;
            if (std::min(nextTimer, nextEvent) > until)
                break;
            Lines step;
            if (nextEvent <= nextTimer) {
                now = nextEvent;
                auto fire = events.begin()->second;
                events.erase(events.begin());
                step = Do(fire());
            } else {
                now = nextTimer;
                const unsigned id = timer->first;
                due.erase(timer);
                step = Do(m.OnTimer(id));
            }
            trace.insert(trace.end(), step.begin(), step.end());
        }
        now = until;
        return trace;
    }
    // After `ms`, the follower of the current run reports its end (the process ended then).
    void EndRunAfter(double ms, const std::string& level = "")
    {
        const RunId run = m.CurrentRun();
        events.emplace(now + ms, [this, run, level] { return m.OnFollowerEnded(run, level, static_cast<RunClock>(now)); });
    }
    // A launch of `name` up to its login check being armed; its run.
    RunId Launch(const std::string& name)
    {
        Do(m.OnStartStopPressed(name));
        Advance(2000);
        return m.CurrentRun();
    }
    std::string Buttons() const
    {
        CRunAction a{ERunAction::Buttons};
        a.m_buttons = m.Buttons();
        return Describe(a);
    }

    CFakeStore store;
    CServerRunModel m{store};
    double now = 0;
    std::map<unsigned, double> due;
    std::multimap<double, std::function<CRunActions()>> events;
    Lines all;  // every action carried so far
    CPortCheck port;
    bool launchSucceeds = true;
    bool confirmBoxes = true;
    EWindowAnswer windows = EWindowAnswer::Answered;  // what each look at the server's windows finds
    double answerMs = 0;
};

class ServerRunModelTest : public testing::Test, protected CShell {};

// One full trace of a launch: the port check, the launch, the follower, the connection.
TEST_F(ServerRunModelTest, LaunchToConnection)
{
    EXPECT_EQ(Do(m.OnStartStopPressed("NormalDM")),
              (Lines{"check-port", "log INF:  Launching Server...\n", kLaunchDM, kBusy, "timer 32785 2000", "follow 1"}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());  // the pending guard
    EXPECT_EQ(Advance(250), (Lines{kStopping, std::string(kTitle) + " - 'NormalDM.cfg'"}));
    EXPECT_EQ(Advance(1750), (Lines{kRunning, "connect 1", "timer 32777 15000",
                                    "log INF:  Attempting to connect to server...\n"}));
    EXPECT_EQ(m.AdminPassword(), "brindlex");
}

TEST_F(ServerRunModelTest, LaunchParametersByGameType)
{
    EXPECT_EQ(ServerLaunchParameters(0, "C"), "+gameoptions \"DedicatedServerUtility/Config/C.cfg\"");
    EXPECT_EQ(ServerLaunchParameters(1, "D"), "+gametype dm +gameoptions \"DedicatedServerUtility/Config/D.cfg\"");
    EXPECT_EQ(ServerLaunchParameters(2, "X"), "");
}

TEST_F(ServerRunModelTest, FailedLaunchesChangeNothing)
{
    launchSucceeds = false;
    EXPECT_TRUE(Has(Do(m.OnStartStopPressed("NormalDM")), "log ERR:  ShellExecuteEx() failed.\n"));
    EXPECT_FALSE(m.IsServerRunning());
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(Do(m.OnStartStopPressed("a\"b")),
              (Lines{"check-port", "log INF:  Launching Server...\n",
                     "log ERR:  Configuration name \"a\"b\" cannot be used to start the server.\n"}));
}

// Another program on the console port: a press is refused with the message and changes nothing,
// not even a pending restart; a restart nobody asked for logs it and ends idle. Tables that
// cannot be read let the launch go ahead, with a log line.
TEST_F(ServerRunModelTest, BusyConsolePortRefusesTheLaunch)
{
    port = {EPortState::Busy, 4321, "other.exe"};
    Lines pressed = Do(m.OnStartStopPressed("NormalDM"));
    EXPECT_EQ(Count(pressed, "launch"), 0u);
    EXPECT_EQ(Count(pressed, "box "), 1u);
    EXPECT_EQ(Count(pressed, "log ERR:  "), 1u);
    EXPECT_EQ(pressed.at(1).find("other.exe (process id 4321)") != std::string::npos, true) << pressed.at(1);

    port = {};
    Launch("NormalDM");
    EndRunAfter(0);
    Advance(0);
    port = {EPortState::Busy, 0, ""};
    Do(m.OnStartStopPressed("NormalDM"));
    EXPECT_EQ(due.count(kTimerRestart), 1u);  // the restart still stands
    Lines restart = Advance(5000);
    EXPECT_TRUE(Has(restart, "console ERR:    The server was not restarted, as another program listens on its "
                             "remote console port.\n\n"));
    EXPECT_EQ(Count(restart, "launch"), 0u);
    EXPECT_EQ(Buttons(), kIdle);

    port = {EPortState::Unknown, 0, ""};
    EXPECT_EQ(Count(Do(m.OnStartStopPressed("NormalDM")), "launch NormalDM"), 1u);
    EXPECT_EQ(Count(all, "log ERR:  Could not read the system's TCP table"), 1u);
}

TEST_F(ServerRunModelTest, CommandsHoldTheButtonsForTheirIntervals)
{
    struct Case {
        EServerCommand m_eCommand;
        const char* m_pszSent;
        double m_dMs;
    } cases[] = {{EServerCommand::Restart, "qelRestartServer()", 8000},
                 {EServerCommand::Pause, "qelPauseGame()", 4000},
                 {EServerCommand::ListPlayers, "qelListPlayers()", 4000}};
    EXPECT_TRUE(m.OnCommandPressed(EServerCommand::Pause).empty());  // no run
    Launch("NormalDM");
    for (const Case& c : cases) {
        EXPECT_EQ(Do(m.OnCommandPressed(c.m_eCommand)),
                  (Lines{std::string("send ") + c.m_pszSent + "\r\n",
                         std::string("log INF:  ") + c.m_pszSent + " command has been sent to the server.\n", kStopping,
                         "timer 32776 " + std::to_string(static_cast<int>(c.m_dMs))}));
        EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());
        Advance(c.m_dMs - 1);
        EXPECT_EQ(Buttons(), kStopping) << c.m_pszSent;
        Advance(1);
        EXPECT_EQ(Buttons(), kRunning) << c.m_pszSent;
    }
}

TEST_F(ServerRunModelTest, StopEndsAsStoppedWhateverFollows)
{
    Launch("NormalDM");
    EXPECT_EQ(Do(m.OnStartStopPressed("NormalDM")),
              (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server.\n", kBusy,
                     "timer 32776 2000"}));
    Advance(2000);
    EXPECT_EQ(Buttons(), "buttons start:on 'Start Server' commands:on");
    // Pressed again while the server has not obeyed: Quit() again, never a second launch.
    EXPECT_EQ(Do(m.OnStartStopPressed("NormalDM")).at(0), "send Quit()\r\n");
    Advance(2000);
    EndRunAfter(0, "L");
    Lines end = Advance(0);
    EXPECT_TRUE(Has(end, "console \nINF:    The server has stopped.\n\n"));
    EXPECT_TRUE(Has(end, "log INF:  The server has stopped.\n"));
    EXPECT_EQ(end.back(), kTitle);
    EXPECT_EQ(Buttons(), kIdle);
    EXPECT_EQ(Count(all, "launch"), 1u);
}

// The end of a run, first match wins: stop, close, failed login, crash.
TEST_F(ServerRunModelTest, EndOfARunByWhatHappenedBefore)
{
    struct Case {
        bool m_bStop, m_bClose, m_bLoginFailed;
        const char* m_pszExpected;
    } cases[] = {{true, true, true, "console \nINF:    The server has stopped.\n\n"},
                 {false, true, true, "timer 32782 500"},
                 {false, false, true, "console \nERR:    Unable to log in!\nINF:    Stopping Server.\n\n"},
                 {false, false, false, "console \nERR:    The server has crashed.\n\n"}};
    for (const Case& c : cases) {
        CShell s;
        s.Do(s.m.OnStartStopPressed("NormalDM"));
        s.Advance(c.m_bLoginFailed ? 17000 : 2000);
        if (c.m_bStop)
            s.Do(s.m.OnStartStopPressed("NormalDM"));
        if (c.m_bClose)
            s.Do(s.m.OnCloseCommand());
        const Lines end = s.Do(s.m.OnFollowerEnded(1, "", 0));
        EXPECT_TRUE(Has(end, c.m_pszExpected)) << c.m_pszExpected;
        EXPECT_EQ(Count(end, "console "), c.m_bClose && !c.m_bStop ? 0u : 1u) << c.m_pszExpected;
    }
}

TEST_F(ServerRunModelTest, ConfigurationSwitchWhileRunning)
{
    EXPECT_TRUE(m.OnConfigChosen("NormalCOOP").empty());  // no run
    Launch("NormalDM");
    EXPECT_EQ(Do(m.OnConfigChosen("NormalCOOP")),
              (Lines{"send qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalCOOP.cfg\"\r\n", kStopping,
                     "timer 32776 8000"}));
    EXPECT_TRUE(m.OnConfigChosen("NormalCOOP").empty());
    EXPECT_TRUE(m.OnConfigChosen("Other").empty());  // pending: not sent, but followed
    EXPECT_EQ(m.ActiveScript(), "Other");
    Advance(8000);
    EXPECT_EQ(Do(m.OnConfigChosen("NormalCOOP")).at(0),
              "send qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalCOOP.cfg\"\r\n");
}

TEST_F(ServerRunModelTest, OptionsScriptSwitchSettlesAndRefusesUnsafeNames)
{
    Launch("NormalDM");
    // A name that would close the command's quotes never reaches the console.
    EXPECT_EQ(Do(m.OnConfigChosen("x\"; Quit(); \"")),
              Lines{"log ERR:  Configuration name \"x\"; Quit(); \"\" cannot be used as the server's options "
                    "script.\n"});
    // Keys and the wheel: one switch, to where the list came to rest.
    EXPECT_EQ(Do(m.OnConfigBrowsed("NormalCOOP")), Lines{"timer 32797 1000"});
    Advance(900);
    Do(m.OnConfigBrowsed("Other"));
    Lines settled = Advance(1000);
    EXPECT_EQ(Count(settled, "send qel_strOptionsScript"), 1u);
    EXPECT_TRUE(Has(settled, "send qel_strOptionsScript = \"DedicatedServerUtility/Config/Other.cfg\"\r\n"));
    Advance(8000);
    // A close-up while the choice settles is the choice.
    Do(m.OnConfigBrowsed("NormalCOOP"));
    EXPECT_EQ(Do(m.OnConfigChosen("NormalDM")).at(0), "kill 32797");
    EXPECT_EQ(Count(Advance(2000), "send"), 0u);
}

TEST_F(ServerRunModelTest, CommandLineAndCloseCommand)
{
    EXPECT_TRUE(m.OnCommandLine("x").empty());
    EXPECT_EQ(D(m.OnCloseCommand()), Lines{"close"});
    Launch("NormalDM");
    EXPECT_EQ(Do(m.OnCommandLine("qelNextMap()")),
              (Lines{"send qelNextMap()\r\n", "log INF:  Command: 'qelNextMap()' sent to the server.\n"}));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Do(m.OnCloseCommand()),
                  (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server during Close.\n"}));
    EndRunAfter(0);
    EXPECT_TRUE(Has(Advance(0), "timer 32782 500"));
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());  // nothing starts before the window goes
    EXPECT_EQ(Advance(500), Lines{"close"});
}

// The login check judges only its own run: a server crashing 9, 10 or 11 s after its launch is
// restarted before the first check would fire, and the restarted one must stay up and log in.
TEST_F(ServerRunModelTest, StaleLoginCheckNeverJudgesTheRestartedRun)
{
    for (double crashAt : {9000.0, 10000.0, 11000.0}) {
        CShell s;
        s.Do(s.m.OnStartStopPressed("NormalDM"));
        s.EndRunAfter(crashAt + 1100);
        s.Advance(crashAt + 1100 + 5000 + 2000);
        ASSERT_EQ(s.m.CurrentRun(), 2u) << crashAt;
        s.m.OnLoggedIn(2);
        s.Advance(60000);
        EXPECT_EQ(Count(s.all, "terminate"), 0u) << crashAt;
        EXPECT_EQ(Count(s.all, "log INF:  Connection to server was a success.\n"), 1u) << crashAt;
        EXPECT_TRUE(s.m.IsCurrentRun(2) && s.m.IsServerRunning()) << crashAt;
    }
}

TEST_F(ServerRunModelTest, FailedLoginEndsOnlyAfterItsMessageBox)
{
    confirmBoxes = false;
    Launch("NormalDM");
    EXPECT_EQ(Advance(15000), (Lines{"terminate 1", "log ERR:  Unable to connect to server.  Server was shut down.\n"}));
    EndRunAfter(0);
    Lines end = Advance(0);
    EXPECT_TRUE(Has(end, "console \nERR:    Unable to log in!\nINF:    Stopping Server.\n\n"));
    EXPECT_TRUE(Has(end, "box The utility was unable to log in to the server and has stopped it.\nIf this problem "
                         "persists, please submit a bug report."));
    // While the box is open nothing starts.
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());
    EXPECT_TRUE(m.OnFollowerEnded(1, "", 0).empty());
    EXPECT_EQ(Do(m.OnMessageBoxClosed()), (Lines{kIdle, kTitle}));
    EXPECT_TRUE(m.OnMessageBoxClosed().empty());
    // The next run's login belongs to it alone: logged in, then a crash is a crash.
    RunId run = Launch("NormalDM");
    m.OnLoggedIn(run);
    EXPECT_EQ(Advance(15000), Lines{"log INF:  Connection to server was a success.\n"});
    EndRunAfter(0);
    EXPECT_TRUE(Has(Advance(0), "console \nERR:    The server has crashed.\n\n"));
}

TEST_F(ServerRunModelTest, NotesOfAnEndedRunAreDropped)
{
    Launch("NormalDM");
    Do(m.OnStartStopPressed("NormalDM"));
    Advance(2000);
    Do(m.OnFollowerEnded(1, "", 0));
    EXPECT_FALSE(m.IsCurrentRun(1));
    RunId run = Launch("NormalDM");
    EXPECT_EQ(run, 2u);
    EXPECT_TRUE(m.OnFollowerEnded(1, "", 0).empty());
    EXPECT_TRUE(m.OnFollowerLost(1).empty());
    EXPECT_TRUE(m.OnFollowerStarted(1).empty());
    m.OnLoggedIn(1);
    EXPECT_EQ(Advance(15000).at(0), "terminate 2");
}

// One full trace of a crash: a cooperative run gets its crash copy, and the restart launches the
// script the server was told to use.
TEST_F(ServerRunModelTest, CrashRestartsTheConfigurationThatCrashed)
{
    store.entries["Switched"] = {0, "sw"};
    Launch("NormalCOOP");
    Do(m.OnConfigChosen("Switched"));
    Advance(8000);
    EndRunAfter(0, "Levels/A.wld");
    EXPECT_EQ(Advance(0), (Lines{"kill 32777", kStopping, "console \nERR:    The server has crashed.\n\n",
                                 "log ERR:  The server has crashed.\n", "crash-copy Switched Levels/A.wld",
                                 "notify The server crashed and is started again in 5 seconds.", "timer 32781 5000", kCrashed, kTitle, "timer 32796 20000"}));
    // The list made another entry current meanwhile; the restart keeps to what crashed.
    EXPECT_TRUE(Has(Advance(5000), "launch Switched +gameoptions \"DedicatedServerUtility/Config/Switched.cfg\""));
    EXPECT_EQ(m.AdminPassword(), "sw");
    EXPECT_TRUE(Has(Advance(15000), "swap Switched"));
    EXPECT_EQ(Count(all, "crash-copy"), 1u);
}

TEST_F(ServerRunModelTest, DeathmatchCrashKeepsItsScript)
{
    Launch("NormalDM");
    EndRunAfter(0, "Levels/A.wld");
    Advance(0);
    EXPECT_EQ(Count(all, "crash-copy"), 0u);
    EXPECT_TRUE(Has(Advance(5000), kLaunchDM));
}

TEST_F(ServerRunModelTest, StartDuringTheCrashGapIsTheRestart)
{
    Launch("NormalDM");
    EndRunAfter(0);
    Advance(0);
    Lines pressed = Do(m.OnStartStopPressed("Other"));
    EXPECT_TRUE(Has(pressed, "kill 32781"));
    EXPECT_TRUE(Has(pressed, "launch Other +gametype dm +gameoptions \"DedicatedServerUtility/Config/Other.cfg\""));
    EXPECT_EQ(Count(Advance(10000), "launch"), 0u);
}

TEST_F(ServerRunModelTest, EachLaunchLogsInWithItsOwnPassword)
{
    Launch("Other");
    EXPECT_EQ(m.AdminPassword(), "other");
    Do(m.OnStartStopPressed("Other"));
    Advance(2000);
    Do(m.OnFollowerEnded(1, "", 0));
    store.entries["Other"].password.reset();  // store unreadable: the last password stays
    Launch("Other");
    EXPECT_EQ(m.AdminPassword(), "other");
}

TEST_F(ServerRunModelTest, LostFollowerEndsTheServerItWouldLeaveUnwatched)
{
    Do(m.OnStartStopPressed("NormalDM"));
    EXPECT_EQ(Do(m.OnFollowerLost(1)),
              (Lines{"kill 32785", "terminate 1", "log ERR:  The server was shut down, as its log cannot be followed.\n",
                     kIdle}));
    EXPECT_FALSE(m.IsServerRunning());
    EXPECT_TRUE(Advance(3000).empty());
}

// The crash-loop guard. Each letter is a run that crashes: launched by a press of Start (P) or by
// the pending restart (r, =, L), after 5 s, exactly 60 s (=) or 61 s (L); the clock wraps on the
// way. Then whether each crash was restarted (+) or not (-).
TEST_F(ServerRunModelTest, CrashLoopGuardCountsQuickCrashesInARow)
{
    const char* const cases[][2] = {{"Pr=", "++-"}, {"PrLrrr", "+++++-"}, {"PrPr", "++++"}, {"PrrPr", "++-++"}};
    for (const auto& c : cases) {
        CServerRunModel model(store);
        RunClock t = 0xFFFFF000u;
        std::string restarted;
        Lines end;
        for (const char* step = c[0]; *step; ++step, t += 6100) {
            *step == 'P' ? model.OnStartStopPressed("NormalCOOP") : model.OnTimer(kTimerRestart);
            model.OnPortChecked({});
            model.OnLaunched(true, t);
            model.OnFollowerStarted(model.CurrentRun());
            t += *step == '=' ? 60000 : *step == 'L' ? 60001 : 5000;
            end = D(model.OnFollowerEnded(model.CurrentRun(), "L", t));
            restarted += Has(end, "timer 32781 5000") ? '+' : '-';
        }
        EXPECT_EQ(restarted, c[1]) << c[0];
        if (&c == &cases[0]) {
            EXPECT_EQ(end, (Lines{"kill 32785", "console \nERR:    The server has crashed.\n\n",
                                  "log ERR:  The server has crashed.\n", "crash-copy NormalCOOP L",
                                  "console ERR:    The server crashed 3 times in a row, each time within 60 s of "
                                  "its launch; it is not restarted.\n\n",
                                  "log ERR:  The server crashed 3 times in a row, each time within 60 s of its "
                                  "launch, and was not restarted. Check its configuration and DedicatedServer.log, "
                                  "then press Start Server.\n",
                                  "notify The server crashed 3 times in a row, each time within 60 s of its launch, "
                                  "and is not restarted.",
                                  kIdle, kTitle}));
        }
    }
}

// A server found running at start-up: the run stands where a launch does once the process is up,
// with the follower at the log's end; its crash is not one at start and is restarted.
TEST_F(ServerRunModelTest, PickedUpRunStartsAsALaunchedOneAfterItsLaunch)
{
    EXPECT_EQ(Do(m.OnServerPickedUp(4242, "NormalCOOP", false, std::nullopt)),
              (Lines{"log INF:  Picked up the server that was left running (process id 4242).\n",
                     "console INF:    Picked up the server that was left running.\n", kBusy, "timer 32785 2000",
                     "follow 1 from-end"}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_EQ(m.ActiveScript(), "NormalCOOP");
    EXPECT_EQ(m.AdminPassword(), "brindlex");
    EXPECT_TRUE(m.OnServerPickedUp(4243, "NormalDM", false, std::nullopt).empty());
    EXPECT_EQ(Advance(250), (Lines{kStopping, std::string(kTitle) + " - 'NormalCOOP.cfg'"}));
    EXPECT_TRUE(Has(Advance(1750), "connect 1"));
    m.OnLoggedIn(1);
    EndRunAfter(0, "L");
    EXPECT_TRUE(Has(Advance(0), "crash-copy NormalCOOP L"));
    EXPECT_TRUE(Has(Advance(5000), kLaunchCoop));
}

// Tollan never ends a server it did not launch: a picked-up server that refuses the login, or
// whose log cannot be followed, runs on; only Stop ends it, and a close leaves it running.
TEST_F(ServerRunModelTest, PickedUpServerIsEndedOnlyByStop)
{
    Do(m.OnServerPickedUp(7, "NormalDM", false, std::nullopt));
    Advance(2000);
    EXPECT_EQ(Advance(15000),
              (Lines{"console \nERR:    Unable to log in to the server that was picked up; it keeps running. Stop "
                     "Server ends it.\n\n",
                     "log ERR:  Unable to log in to the server that was picked up; it was left running.\n",
                     "notify Tollan could not log in to the server it picked up; the server keeps running.", kCrashed}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_EQ(Do(m.OnStartStopPressed("NormalDM")),
              (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server.\n", "terminate 1",
                     "log INF:  The server did not accept the login, so Stop Server ended its process.\n", kBusy,
                     "timer 32776 2000"}));

    CServerRunModel other(store);
    other.OnServerPickedUp(8, "NormalDM", false, std::nullopt);
    EXPECT_EQ(D(other.OnFollowerLost(1)),
              (Lines{"kill 32785", "log ERR:  The log of the server that was picked up cannot be followed; the "
                                   "server was left running.\n",
                     kIdle}));
    CServerRunModel closing(store);
    closing.OnServerPickedUp(9, "NormalDM", false, std::nullopt);
    closing.OnFollowerStarted(1);
    closing.OnTimer(kTimerConnect);
    closing.OnConnectBegun(1);
    closing.OnTimer(kTimerLoginCheck);
    EXPECT_EQ(D(closing.OnCloseCommand()), Lines{"close"});
}

TEST_F(ServerRunModelTest, AssumedConfigurationGetsNoCrashCopy)
{
    Do(m.OnServerPickedUp(7, "NormalCOOP", true, std::nullopt));
    Advance(250);
    EndRunAfter(0, "Levels/A.wld");
    Advance(0);
    EXPECT_EQ(Count(all, "crash-copy"), 0u);
    EXPECT_TRUE(Has(all, "log INF:  The crashed server's configuration was only assumed, so its script keeps its "
                         "starting level.\n"));
    EXPECT_TRUE(Has(Advance(5000), kLaunchCoop));
}

// A restart after a crash that cannot be made leaves no "Stop Server" on a stopped server.
TEST_F(ServerRunModelTest, RestartThatFailsEndsWithStartServer)
{
    for (const char* name : {"NormalDM", "a\"b"}) {
        CServerRunModel model(store);
        store.entries[name] = {1, "x"};
        model.OnServerPickedUp(7, name, false, std::nullopt);
        model.OnFollowerStarted(1);
        model.OnFollowerEnded(1, "", 0);
        ASSERT_TRUE(model.Buttons().m_bStopCaption);
        model.OnTimer(kTimerRestart);
        model.OnPortChecked({});
        model.OnLaunched(false, 0);  // the program is gone (for the unsafe name, never asked)
        EXPECT_EQ(model.Buttons(), CButtonStates()) << name;
        EXPECT_FALSE(model.IsServerRunning()) << name;
    }
}

// A scheduled restart is a full one: Quit(), and when the run has ended the same configuration is
// launched again; a server that does not obey within 60 s is ended. It never counts as a crash.
TEST_F(ServerRunModelTest, ScheduledRestartRelaunchesTheSameScript)
{
    m.SetRestartSettings({std::nullopt, 1});
    auto tick = [this](int minutes) {
        CScheduleTime t;
        t.m_nUtcSeconds = minutes * 60;
        t.m_nLocalDate = 20261208;
        t.m_nLocalMinute = minutes % 1440;
        return Do(m.OnScheduleTick(t));
    };
    const RunId first = Launch("NormalCOOP");
    m.OnLoggedIn(first);
    EXPECT_TRUE(tick(0).empty());
    EXPECT_TRUE(tick(59).empty());
    EXPECT_EQ(tick(60), (Lines{"send Quit()\r\n", "log INF:  Scheduled restart: Quit() command has been sent to the "
                                                   "server.\n",
                               "console \nINF:    Scheduled restart: the server is asked to quit and will be started "
                               "again.\n",
                               "notify The server is restarted as scheduled.", kStopping, "timer 32798 60000"}));
    EXPECT_TRUE(m.OnStartStopPressed("NormalCOOP").empty());  // held while it restarts
    EXPECT_TRUE(tick(61).empty());
    EXPECT_EQ(m.Status().m_eState, ERunState::Restarting);
    // The server keeps running past its minute: its process is ended, and the end relaunches.
    EXPECT_TRUE(Has(Advance(60000), "terminate 1"));
    EndRunAfter(0);
    const Lines end = Advance(0);
    EXPECT_TRUE(Has(end, "log INF:  Scheduled restart: the server has stopped; it is launched again.\n"));
    EXPECT_TRUE(Has(end, kLaunchCoop));
    EXPECT_EQ(Count(end, "crash-copy") + Count(end, "log ERR:  The server has crashed"), 0u);
    EXPECT_EQ(m.CurrentRun(), first + 1);
    // The new run's hour counts from its own start.
    Advance(2000);
    EXPECT_TRUE(tick(100).empty());
    m.OnLoggedIn(m.CurrentRun());
    EXPECT_EQ(Count(tick(161), "send Quit()"), 1u);
}

// ---- the watch of the server's windows

const Lines kHungRestarted{"log ERR:  The server has not responded for 60 s; its process was ended.\n",
                           "console \nERR:    The server has not responded for 60 s and was ended.\n\n",
                           "notify The server stopped responding for 60 s and was ended; it is started again in 5 "
                           "seconds.",
                           "terminate 1"};

// Windows that answered no look for 60 s in a row end the server, and its end is a crash's: the
// level carried, the restart 5 s later. A silence of 55 s (a long level load) is left alone, and
// the looks come every 5 s whatever a look takes.
TEST_F(ServerRunModelTest, WatchEndsAServerSilentFor60sAsACrash)
{
    g_bShowWatch = true;
    EXPECT_TRUE(Has(Do(m.OnStartStopPressed("NormalCOOP")), "follow 1"));
    EXPECT_TRUE(Has(all, "timer 32800 5000"));
    EXPECT_EQ(Count(Advance(10000), "check-windows 1"), 2u);
    g_bShowWatch = false;
    m.OnLoggedIn(1);
    windows = EWindowAnswer::Silent;  // looks at 15 s to 65 s go unanswered
    answerMs = 5000;
    Advance(55000);
    windows = EWindowAnswer::Answered;
    Advance(10000);
    EXPECT_EQ(Count(all, "terminate"), 0u);
    windows = EWindowAnswer::Silent;  // from the look at 80 s on
    EXPECT_TRUE(Advance(64000).empty());
    EXPECT_EQ(Advance(1000), kHungRestarted);  // the look begun at 140 s
    EndRunAfter(0, "Levels/L.wld");
    const Lines end = Advance(0);
    EXPECT_TRUE(Has(end, "crash-copy NormalCOOP Levels/L.wld"));
    EXPECT_EQ(Count(end, "log ERR:  The server has crashed") + Count(end, "notify"), 0u);
    EXPECT_TRUE(Has(Advance(5000), kLaunchCoop));
}

// A stop or a close asked for is completed, not restarted; a server without a window of its own is
// never judged (said once), and one whose window appears late is watched from then on.
TEST_F(ServerRunModelTest, WatchCompletesAStopAndWaitsForAWindow)
{
    Launch("NormalDM");
    m.OnLoggedIn(1);
    windows = EWindowAnswer::Silent;
    Do(m.OnStartStopPressed("NormalDM"));
    const Lines judged = Advance(70000);
    EXPECT_TRUE(Has(judged, "notify The server stopped responding for 60 s and was ended."));
    EndRunAfter(0);
    EXPECT_TRUE(Has(Advance(0), "log INF:  The server has stopped.\n"));
    EXPECT_EQ(Count(Advance(10000), "launch"), 0u);

    windows = EWindowAnswer::NoWindow;
    Launch("NormalDM");
    m.OnLoggedIn(2);
    const Lines lone = Advance(300000);
    EXPECT_EQ(Count(lone, "log INF:  The server shows no window of its own, so Tollan cannot tell whether it stops "
                          "responding.\n"),
              1u);
    EXPECT_EQ(Count(lone, "terminate"), 0u);
    windows = EWindowAnswer::Silent;
    EXPECT_TRUE(Advance(60000).empty());
    EXPECT_TRUE(Has(Advance(5000), "terminate 2"));
}

// A picked-up server that no longer responds is ended after 60 s like any other; Tollan relaunches
// the configuration it knows, and stays stopped when that was only assumed.
TEST_F(ServerRunModelTest, WatchOfPickedUpServers)
{
    for (bool guessed : {false, true}) {
        CShell s;
        s.windows = EWindowAnswer::Silent;
        s.Do(s.m.OnServerPickedUp(7, "NormalCOOP", guessed, std::nullopt));
        EXPECT_TRUE(Has(s.Advance(70000), "terminate 1")) << guessed;  // its login was refused meanwhile
        s.EndRunAfter(0);
        const Lines end = s.Advance(5000);
        EXPECT_EQ(Count(end, kLaunchCoop), guessed ? 0u : 1u) << guessed;
        EXPECT_EQ(Has(end, "log INF:  The server that was picked up is not started again, as its configuration was "
                           "only assumed.\n"),
                  guessed);
    }
}

// ---- unattended relaunches

// A relaunch nobody asked for that cannot be made is told to a user away from the screen.
TEST_F(ServerRunModelTest, FailedRelaunchIsNotified)
{
    struct Case {
        const char* m_pszConfig;
        CPortCheck m_port;
        bool m_bLaunches;
        const char* m_pszWhy;
    } cases[] = {
        {"NormalDM", {EPortState::Busy, 9, "x.exe"}, true, "another program listens on its remote console port"},
        {"NormalDM", {}, false, "its program could not be started"},
        {"a\"b", {}, true, "its configuration name cannot be used"},  // the name a picked-up server was known by
    };
    for (const Case& c : cases) {
        CShell s;
        s.store.entries["a\"b"] = {1, "x"};
        s.Do(s.m.OnServerPickedUp(7, c.m_pszConfig, false, std::nullopt));
        s.Advance(2000);
        s.EndRunAfter(0);
        s.Advance(0);
        s.port = c.m_port;
        s.launchSucceeds = c.m_bLaunches;
        const Lines relaunch = s.Advance(5000);
        EXPECT_TRUE(Has(relaunch, std::string("notify The server could not be started again (") + c.m_pszWhy + "); it is down."))
            << c.m_pszWhy;
        EXPECT_EQ(s.Buttons(), kIdle) << c.m_pszWhy;
    }
}

// The list's choice that had not settled when the run ended is what the restart launches; so is
// one made in the gap before the restart.
TEST_F(ServerRunModelTest, RestartLaunchesWhatTheListShows)
{
    Launch("NormalDM");
    Do(m.OnConfigBrowsed("NormalCOOP"));
    Advance(500);
    EndRunAfter(0);
    Advance(0);
    EXPECT_TRUE(Has(Advance(5000), kLaunchCoop));
    Advance(2000);
    EndRunAfter(0);
    Advance(1000);
    EXPECT_TRUE(Do(m.OnConfigBrowsed("NormalDM")).empty());
    EXPECT_TRUE(Has(Advance(4000), kLaunchDM));
}

// The dialog's next restart is the one the tick will make: none without a run or once it is
// stopped; a picked-up server's hours count from its process's creation.
TEST_F(ServerRunModelTest, NextRestartAsTheTickWillAct)
{
    const CRestartSettings every2h{std::nullopt, 2};
    CScheduleTime now;
    now.m_nUtcSeconds = 10 * 3600;
    now.m_nLocalDate = 20261208;
    now.m_nLocalMinute = 600;
    EXPECT_EQ(m.SecondsUntilRestart(now, every2h), std::nullopt);
    Do(m.OnServerPickedUp(7, "NormalDM", false, now.m_nUtcSeconds - 3600));
    EXPECT_EQ(m.SecondsUntilRestart(now, every2h), std::optional<std::int64_t>(3600));
    m.SetRestartSettings(every2h);
    Do(m.OnScheduleTick(now));
    now.m_nUtcSeconds += 600;
    EXPECT_EQ(m.SecondsUntilRestart(now, every2h), std::optional<std::int64_t>(3000));
    Advance(2000);
    Do(m.OnStartStopPressed("NormalDM"));
    EXPECT_EQ(m.SecondsUntilRestart(now, every2h), std::nullopt);
}

}  // namespace
