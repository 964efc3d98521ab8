#include "app/ServerRunModel.h"

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

Lines D(const CRunActions& actions)
{
    Lines out;
    for (const CRunAction& a : actions)
        out.push_back(Describe(a));
    return out;
}

class ServerRunModelTest : public testing::Test {
protected:
    // A launch of `name` up to its login check being armed; returns its run.
    RunId Run(const std::string& name)
    {
        m.OnStartStopPressed(name);
        m.OnLaunched(true, 0);
        RunId run = m.CurrentRun();
        m.OnFollowerStarted(run);
        m.OnTimer(kTimerConnect);
        m.OnConnectBegun(run);
        return run;
    }
    CFakeStore store;
    CServerRunModel m{store};
};

TEST_F(ServerRunModelTest, LaunchToConnection)
{
    EXPECT_EQ(D(m.OnStartStopPressed("NormalDM")),
              (Lines{"log INF:  Launching Server...\n",
                     "launch NormalDM +gametype dm +gameoptions \"DedicatedServerUtility/Config/NormalDM.cfg\""}));
    EXPECT_EQ(D(m.OnLaunched(true, 0)), (Lines{kBusy, "timer 32785 2000", "follow 1"}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());  // the pending guard
    EXPECT_EQ(D(m.OnFollowerStarted(1)),
              (Lines{"clear-level", kStopping, std::string(kTitle) + " - 'NormalDM.cfg'"}));
    EXPECT_EQ(D(m.OnTimer(kTimerConnect)), (Lines{kRunning, "connect 1"}));
    EXPECT_EQ(D(m.OnConnectBegun(1)), (Lines{"timer 32777 15000", "log INF:  Attempting to connect to server...\n"}));
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
    m.OnStartStopPressed("NormalDM");
    EXPECT_EQ(D(m.OnLaunched(false, 0)), Lines{"log ERR:  ShellExecuteEx() failed.\n"});
    EXPECT_FALSE(m.IsServerRunning());
    EXPECT_EQ(D(m.OnStartStopPressed("a\"b")),
              (Lines{"log INF:  Launching Server...\n",
                     "log ERR:  Configuration name \"a\"b\" cannot be used to start the server.\n"}));
}

TEST_F(ServerRunModelTest, CommandsHoldTheButtonsForTheirIntervals)
{
    struct Case {
        EServerCommand command;
        const char* sent;
        const char* ms;
    } cases[] = {{EServerCommand::Restart, "qelRestartServer()", "8000"},
                 {EServerCommand::Pause, "qelPauseGame()", "4000"},
                 {EServerCommand::ListPlayers, "qelListPlayers()", "4000"}};
    EXPECT_TRUE(m.OnCommandPressed(EServerCommand::Pause).empty());  // no run
    Run("NormalDM");
    for (const Case& c : cases) {
        EXPECT_EQ(D(m.OnCommandPressed(c.command)),
                  (Lines{std::string("send ") + c.sent + "\r\n",
                         std::string("log INF:  ") + c.sent + " command has been sent to the server.\n", kStopping,
                         std::string("timer 32776 ") + c.ms}));
        EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());
        EXPECT_EQ(D(m.OnTimer(kTimerCommandDone)), Lines{kRunning});
    }
}

TEST_F(ServerRunModelTest, StopEndsAsStoppedWhateverFollows)
{
    Run("NormalDM");
    EXPECT_EQ(D(m.OnStartStopPressed("NormalDM")),
              (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server.\n", kBusy,
                     "timer 32776 2000"}));
    EXPECT_EQ(D(m.OnTimer(kTimerCommandDone)), Lines{"buttons start:on 'Start Server' commands:on"});
    // Pressed again while the server has not obeyed: Quit() again, never a second launch.
    EXPECT_EQ(D(m.OnStartStopPressed("NormalDM")).at(0), "send Quit()\r\n");
    m.OnTimer(kTimerCommandDone);
    EXPECT_EQ(D(m.OnFollowerEnded(1, "L", 0)),
              (Lines{"kill 32777", kBusy, "console \nINF:    The server has stopped.\n\n",
                     "log INF:  The server has stopped.\n", kIdle, kTitle}));
}

TEST_F(ServerRunModelTest, ConfigurationSwitchWhileRunning)
{
    EXPECT_TRUE(m.OnConfigChosen("NormalCOOP").empty());  // no run
    Run("NormalDM");
    EXPECT_EQ(D(m.OnConfigChosen("NormalCOOP")),
              (Lines{"send qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalCOOP.cfg\"\r\n", kStopping,
                     "timer 32776 8000"}));
    EXPECT_TRUE(m.OnConfigChosen("NormalCOOP").empty());
    EXPECT_TRUE(m.OnConfigChosen("Other").empty());  // pending: not sent, but followed
    EXPECT_EQ(m.ActiveScript(), "Other");
    m.OnTimer(kTimerCommandDone);
    EXPECT_EQ(D(m.OnConfigChosen("NormalCOOP")).at(0),
              "send qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalCOOP.cfg\"\r\n");
}

TEST_F(ServerRunModelTest, CommandLineAndCloseCommand)
{
    EXPECT_TRUE(m.OnCommandLine("x").empty());
    EXPECT_EQ(D(m.OnCloseCommand()), Lines{"close"});
    Run("NormalDM");
    EXPECT_EQ(D(m.OnCommandLine("qelNextMap()")),
              (Lines{"send qelNextMap()\r\n", "log INF:  Command: 'qelNextMap()' sent to the server.\n"}));
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(D(m.OnCloseCommand()),
                  (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server during Close.\n"}));
    EXPECT_EQ(D(m.OnFollowerEnded(1, "", 0)), (Lines{"kill 32777", kStopping, "timer 32782 500", kTitle}));
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());  // nothing starts before the window goes
    EXPECT_EQ(D(m.OnTimer(kTimerClose)), Lines{"close"});
}

// The login check judges only its own run: a server crashing 9, 10 or 11 s after its launch is
// restarted before the first check would fire, and the restarted one must stay up and log in.
TEST_F(ServerRunModelTest, StaleLoginCheckNeverJudgesTheRestartedRun)
{
    for (double crashAt : {9.0, 10.0, 11.0}) {
        CFakeStore s;
        CServerRunModel model(s);
        std::map<unsigned, double> due;
        std::multimap<double, std::function<CRunActions()>> events;
        Lines trace;
        double now = 0;
        std::function<void(const CRunActions&)> apply = [&](const CRunActions& actions) {
            for (const CRunAction& a : actions) {
                trace.push_back(Describe(a));
                if (a.kind == ERunAction::SetTimer)
                    due[a.timer] = now + a.ms / 1000.0;
                else if (a.kind == ERunAction::KillTimer)
                    due.erase(a.timer);
                else if (a.kind == ERunAction::Launch)
                    apply(model.OnLaunched(true, static_cast<RunClock>(now * 1000)));
                else if (a.kind == ERunAction::Follow) {
                    RunId run = a.run;
                    events.emplace(now + 0.25, [&model, run] { return model.OnFollowerStarted(run); });
                    if (run == 1)  // crashes; its log is drained 1.1 s later
                        events.emplace(crashAt + 1.1, [&model, crashAt] {
                            return model.OnFollowerEnded(1, "", static_cast<RunClock>(crashAt * 1000));
                        });
                } else if (a.kind == ERunAction::Connect) {
                    apply(model.OnConnectBegun(a.run));
                    RunId run = a.run;
                    if (run == 2)
                        events.emplace(now + 1, [&model, run] { return model.OnLoggedIn(run); });
                }
            }
        };
        apply(model.OnStartStopPressed("NormalDM"));
        while (now < 60) {
            auto timer = std::min_element(due.begin(), due.end(),
                                          [](const auto& a, const auto& b) { return a.second < b.second; });
            double nextTimer = timer == due.end() ? 1e9 : timer->second;
            double nextEvent = events.empty() ? 1e9 : events.begin()->first;
            if (std::min(nextTimer, nextEvent) > 60)
                break;
            if (nextEvent <= nextTimer) {
                now = nextEvent;
                auto fire = events.begin()->second;
                events.erase(events.begin());
                apply(fire());
            } else {
                now = nextTimer;
                unsigned id = timer->first;
                due.erase(timer);
                apply(model.OnTimer(id));
            }
        }
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "terminate 2"), 0) << crashAt;
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "log INF:  Connection to server was a success.\n"), 1)
            << crashAt;
        EXPECT_EQ(std::count(trace.begin(), trace.end(), "follow 2"), 1) << crashAt;
        EXPECT_TRUE(model.IsCurrentRun(2) && model.IsServerRunning()) << crashAt;
    }
}

TEST_F(ServerRunModelTest, FailedLoginEndsOnlyAfterItsMessageBox)
{
    Run("NormalDM");
    EXPECT_EQ(D(m.OnTimer(kTimerLoginCheck)),
              (Lines{"terminate 1", "log ERR:  Unable to connect to server.  Server was shut down.\n"}));
    EXPECT_EQ(D(m.OnFollowerEnded(1, "", 0)),
              (Lines{kStopping, "console \nERR:    Unable to log in!\nINF:    Stopping Server.\n\n",
                     "box The utility was unable to log in to the server and has stopped it.\nIf this problem "
                     "persists, please submit a bug report."}));
    // While the box is open nothing starts.
    EXPECT_TRUE(m.OnStartStopPressed("NormalDM").empty());
    EXPECT_TRUE(m.OnFollowerEnded(1, "", 0).empty());
    EXPECT_EQ(D(m.OnMessageBoxClosed()), (Lines{kIdle, kTitle}));
    EXPECT_TRUE(m.OnMessageBoxClosed().empty());
    // The next run's login belongs to it alone: logged in, then a crash is a crash.
    RunId run = Run("NormalDM");
    m.OnLoggedIn(run);
    EXPECT_EQ(D(m.OnTimer(kTimerLoginCheck)), Lines{"log INF:  Connection to server was a success.\n"});
    EXPECT_EQ(D(m.OnFollowerEnded(run, "", 0)).at(1), "console \nERR:    The server has crashed.\n\n");
}

TEST_F(ServerRunModelTest, NotesOfAnEndedRunAreDropped)
{
    Run("NormalDM");
    m.OnStartStopPressed("NormalDM");
    m.OnTimer(kTimerCommandDone);
    m.OnFollowerEnded(1, "", 0);
    EXPECT_FALSE(m.IsCurrentRun(1));
    RunId run = Run("NormalDM");
    EXPECT_EQ(run, 2u);
    EXPECT_TRUE(m.OnFollowerEnded(1, "", 0).empty());
    EXPECT_TRUE(m.OnFollowerLost(1).empty());
    EXPECT_TRUE(m.OnFollowerStarted(1).empty());
    m.OnLoggedIn(1);
    EXPECT_EQ(D(m.OnTimer(kTimerLoginCheck)).at(0), "terminate 2");
}

TEST_F(ServerRunModelTest, CrashRestartsTheConfigurationThatCrashed)
{
    store.entries["Switched"] = {0, "sw"};
    Run("NormalCOOP");
    m.OnConfigChosen("Switched");  // the server was told to use another script
    m.OnTimer(kTimerCommandDone);
    EXPECT_EQ(D(m.OnFollowerEnded(1, "Levels/A.wld", 0)),
              (Lines{"kill 32777", kStopping, "console \nERR:    The server has crashed.\n\n",
                     "log ERR:  The server has crashed.\n", "crash-copy Switched Levels/A.wld", "timer 32781 5000",
                     "buttons start:on 'Stop Server' commands:off", kTitle}));
    EXPECT_EQ(D(m.OnCrashCopyWritten()), Lines{"timer 32796 20000"});
    // The list made another entry current meanwhile; the restart keeps to what crashed.
    EXPECT_EQ(D(m.OnTimer(kTimerRestart)),
              (Lines{"log INF:  Launching Server...\n", "relaunch Switched +gameoptions \"DedicatedServerUtility/Config/Switched.cfg\""}));
    EXPECT_EQ(m.AdminPassword(), "sw");
    EXPECT_EQ(D(m.OnTimer(kTimerScriptSwap)), Lines{"swap Switched"});
}

TEST_F(ServerRunModelTest, StartDuringTheCrashGapIsTheRestart)
{
    Run("NormalDM");
    m.OnFollowerEnded(1, "", 0);
    EXPECT_EQ(D(m.OnStartStopPressed("Other")),
              (Lines{"kill 32781", "log INF:  Launching Server...\n",
                     "launch Other +gametype dm +gameoptions \"DedicatedServerUtility/Config/Other.cfg\""}));
    m.OnLaunched(true, 0);
    EXPECT_TRUE(m.OnTimer(kTimerRestart).empty());
}

TEST_F(ServerRunModelTest, EachLaunchLogsInWithItsOwnPassword)
{
    Run("Other");
    EXPECT_EQ(m.AdminPassword(), "other");
    m.OnStartStopPressed("Other");
    m.OnTimer(kTimerCommandDone);
    m.OnFollowerEnded(1, "", 0);
    store.entries["Other"].password.reset();  // store unreadable: the last password stays
    Run("Other");
    EXPECT_EQ(m.AdminPassword(), "other");
}

TEST_F(ServerRunModelTest, LostFollowerEndsTheServerItWouldLeaveUnwatched)
{
    m.OnStartStopPressed("NormalDM");
    m.OnLaunched(true, 0);
    EXPECT_EQ(D(m.OnFollowerLost(1)),
              (Lines{"kill 32785", "terminate 1", "log ERR:  The server was shut down, as its log cannot be followed.\n",
                     kIdle}));
    EXPECT_FALSE(m.IsServerRunning());
    EXPECT_TRUE(m.OnTimer(kTimerConnect).empty());
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
            model.OnLaunched(true, t);
            model.OnFollowerStarted(model.CurrentRun());
            t += *step == '=' ? 60000 : *step == 'L' ? 60001 : 5000;
            end = D(model.OnFollowerEnded(model.CurrentRun(), "L", t));
            restarted += std::count(end.begin(), end.end(), "timer 32781 5000") ? '+' : '-';
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
                                  kIdle, kTitle}));
        }
    }
}

// A server found running at start-up: the run stands where a launch does once the process is up,
// with the follower at the log's end; its crash is not one at start and is restarted.
TEST_F(ServerRunModelTest, PickedUpRunStartsAsALaunchedOneAfterItsLaunch)
{
    EXPECT_EQ(D(m.OnServerPickedUp(4242, "NormalCOOP", false)),
              (Lines{"log INF:  Picked up the server that was left running (process id 4242).\n",
                     "console INF:    Picked up the server that was left running.\n", kBusy, "timer 32785 2000",
                     "follow 1 from-end"}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_EQ(m.ActiveScript(), "NormalCOOP");
    EXPECT_EQ(m.AdminPassword(), "brindlex");
    EXPECT_TRUE(m.OnServerPickedUp(4243, "NormalDM", false).empty());
    EXPECT_EQ(D(m.OnFollowerStarted(1)),
              (Lines{"clear-level", kStopping, std::string(kTitle) + " - 'NormalCOOP.cfg'"}));
    EXPECT_EQ(D(m.OnTimer(kTimerConnect)), (Lines{kRunning, "connect 1"}));
    m.OnConnectBegun(1);
    EXPECT_EQ(D(m.OnFollowerEnded(1, "L", 0)).at(4), "crash-copy NormalCOOP L");
    EXPECT_EQ(D(m.OnTimer(kTimerRestart)).at(1),
              "relaunch NormalCOOP +gameoptions \"DedicatedServerUtility/Config/NormalCOOP.cfg\"");
}

TEST_F(ServerRunModelTest, RestartRefusedByABusyPortEndsIdle)
{
    Run("NormalDM");
    m.OnFollowerEnded(1, "", 0);
    EXPECT_EQ(D(m.OnTimer(kTimerRestart)).at(1),
              "relaunch NormalDM +gametype dm +gameoptions \"DedicatedServerUtility/Config/NormalDM.cfg\"");
    EXPECT_EQ(D(m.OnLaunchRefused()), (Lines{"console ERR:    The server was not restarted, as another program "
                                             "listens on its remote console port.\n\n",
                                             kIdle}));
    EXPECT_FALSE(m.IsServerRunning());
    EXPECT_EQ(D(m.OnStartStopPressed("NormalDM")).at(1),
              "launch NormalDM +gametype dm +gameoptions \"DedicatedServerUtility/Config/NormalDM.cfg\"");
}

// Tollan never ends a server it did not launch: a picked-up server that refuses the login, or
// whose log cannot be followed, runs on; only Stop ends it, and a close leaves it running.
TEST_F(ServerRunModelTest, PickedUpServerIsEndedOnlyByStop)
{
    m.OnServerPickedUp(7, "NormalDM", false);
    m.OnFollowerStarted(1);
    m.OnTimer(kTimerConnect);
    m.OnConnectBegun(1);
    EXPECT_EQ(D(m.OnTimer(kTimerLoginCheck)),
              (Lines{"console \nERR:    Unable to log in to the server that was picked up; it keeps running. Stop "
                     "Server ends it.\n\n",
                     "log ERR:  Unable to log in to the server that was picked up; it was left running.\n",
                     "buttons start:on 'Stop Server' commands:off"}));
    EXPECT_TRUE(m.IsServerRunning());
    EXPECT_EQ(D(m.OnStartStopPressed("NormalDM")),
              (Lines{"send Quit()\r\n", "log INF:  Quit() command has been sent to the server.\n", "terminate 1",
                     "log INF:  The server did not accept the login, so Stop Server ended its process.\n", kBusy,
                     "timer 32776 2000"}));

    CServerRunModel other(store);
    other.OnServerPickedUp(8, "NormalDM", false);
    EXPECT_EQ(D(other.OnFollowerLost(1)),
              (Lines{"kill 32785", "log ERR:  The log of the server that was picked up cannot be followed; the "
                                   "server was left running.\n",
                     kIdle}));
    CServerRunModel closing(store);
    closing.OnServerPickedUp(9, "NormalDM", false);
    closing.OnFollowerStarted(1);
    closing.OnTimer(kTimerConnect);
    closing.OnConnectBegun(1);
    closing.OnTimer(kTimerLoginCheck);
    EXPECT_EQ(D(closing.OnCloseCommand()), Lines{"close"});
}

TEST_F(ServerRunModelTest, AssumedConfigurationGetsNoCrashCopy)
{
    m.OnServerPickedUp(7, "NormalCOOP", true);
    m.OnFollowerStarted(1);
    const Lines end = D(m.OnFollowerEnded(1, "Levels/A.wld", 0));
    EXPECT_EQ(std::count_if(end.begin(), end.end(), [](const std::string& l) { return l.rfind("crash-copy", 0) == 0; }),
              0);
    EXPECT_EQ(std::count(end.begin(), end.end(), "log INF:  The crashed server's configuration was only assumed, so "
                                                 "its script keeps its starting level.\n"),
              1);
    EXPECT_EQ(D(m.OnTimer(kTimerRestart)).at(1),
              "relaunch NormalCOOP +gameoptions \"DedicatedServerUtility/Config/NormalCOOP.cfg\"");
}

// A restart after a crash that cannot be made leaves no "Stop Server" on a stopped server.
TEST_F(ServerRunModelTest, RestartThatFailsEndsWithStartServer)
{
    for (const char* failure : {"program gone", "unsafe name"}) {
        CServerRunModel model(store);
        const std::string name = failure[0] == 'u' ? "a\"b" : "NormalDM";
        store.entries[name] = {1, "x"};
        model.OnServerPickedUp(7, name, false);
        model.OnFollowerStarted(1);
        model.OnFollowerEnded(1, "", 0);
        ASSERT_EQ(model.Buttons().strStartCaption, "Stop Server");
        model.OnTimer(kTimerRestart);
        if (failure[0] == 'p')
            model.OnLaunched(false, 0);
        EXPECT_EQ(model.Buttons(), CButtonStates()) << failure;
        EXPECT_FALSE(model.IsServerRunning()) << failure;
    }
}

TEST_F(ServerRunModelTest, OptionsScriptSwitch)
{
    Run("NormalDM");
    // A name that would close the command's quotes never reaches the console.
    EXPECT_EQ(D(m.OnConfigChosen("x\"; Quit(); \"")),
              Lines{"log ERR:  Configuration name \"x\"; Quit(); \"\" cannot be used as the server's options "
                    "script.\n"});
    // Keys and the wheel: one switch, to where the list came to rest.
    EXPECT_EQ(D(m.OnConfigBrowsed("NormalCOOP")), Lines{"timer 32797 1000"});
    EXPECT_EQ(D(m.OnConfigBrowsed("Other")), Lines{"timer 32797 1000"});
    EXPECT_EQ(D(m.OnTimer(kTimerConfigSettle)),
              (Lines{"send qel_strOptionsScript = \"DedicatedServerUtility/Config/Other.cfg\"\r\n", kStopping,
                     "timer 32776 8000"}));
    m.OnTimer(kTimerCommandDone);
    // A close-up while the choice settles is the choice.
    m.OnConfigBrowsed("NormalCOOP");
    EXPECT_EQ(D(m.OnConfigChosen("NormalDM")).at(0), "kill 32797");
    EXPECT_TRUE(m.OnTimer(kTimerConfigSettle).empty());
}

}  // namespace
