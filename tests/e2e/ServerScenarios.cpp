// Server runs driven end to end: Tollan starts the stand-in game server, follows its log into the
// console, logs in over the remote console and sends commands; the stand-in's record file says
// what it received. Every scenario stops whatever stand-in it leaves behind, passed or failed.
#include "tests/e2e/HttpReceiver.h"  // Winsock's header before <windows.h>
#include "tests/e2e/ConfigDriver.h"
#include "tests/e2e/DriverSupport.h"

#include <richedit.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

using namespace e2e;

namespace {

const char kConnectingLine[] = "INF:  Connecting to server...\n";
const char kSuccessLine[] = "INF:  Connection to server was a success.\n";
const char kLaunchLine[] = "INF:  Launching Server...\n";
const char kCrashLine[] = "ERR:  The server has crashed.\n";
const char kStoppedLine[] = "INF:  The server has stopped.\n";
const char kIdleTitle[] = "Dravic Qel 2 Dedicated Server Utility";

void ExpectEqualText(const std::string& actual, const std::string& expected, const char* what)
{
    E2E_CHECK(actual == expected, "%s: \"%s\", expected \"%s\"", what, actual.c_str(), expected.c_str());
}

double Now()
{
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return 1000.0 * t.QuadPart / f.QuadPart;
}

void ExpectNear(double ms, double expected, double tolerance, const char* what)
{
    Note("%s: %.0f ms (expected %.0f)", what, ms, expected);
    E2E_CHECK(ms >= expected - tolerance && ms <= expected + tolerance, "%s took %.0f ms, expected %.0f +- %.0f",
              what, ms, expected, tolerance);
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::string line;
    for (char c : text) {
        if (c == '\n') {
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            lines.push_back(line);
            line.clear();
        } else {
            line += c;
        }
    }
    if (!line.empty())
        lines.push_back(line);
    return lines;
}

// The stand-in's record: "<pid> <KIND> [payload]" per line.
struct CRecordLine {
    DWORD m_nPid;
    std::string m_strEvent;  // "KIND [payload]"
};
std::vector<CRecordLine> Record(const std::string& game)
{
    std::vector<CRecordLine> out;
    for (const std::string& line : SplitLines(ReadAll(Join(game, "Bin\\DedicatedServer.record")))) {
        size_t blank = line.find(' ');
        if (blank != std::string::npos)
            out.push_back({static_cast<DWORD>(std::strtoul(line.c_str(), nullptr, 10)), line.substr(blank + 1)});
    }
    return out;
}
std::vector<std::string> Events(const std::string& game, const std::string& prefix)
{
    std::vector<std::string> out;
    for (const CRecordLine& r : Record(game))
        if (r.m_strEvent.compare(0, prefix.size(), prefix) == 0)
            out.push_back(r.m_strEvent);
    return out;
}
size_t CountEvents(const std::string& game, const std::string& prefix) { return Events(game, prefix).size(); }
// Waits until the record holds `count` events starting with `prefix`; the moment it was seen.
double WaitEvents(const std::string& game, const std::string& prefix, size_t count, DWORD timeoutMs)
{
    std::string what = "record event " + prefix;
    WaitUntil([&] { return CountEvents(game, prefix) >= count; }, timeoutMs, what.c_str());
    return Now();
}

size_t CountLog(const std::string& game, const std::string& message)
{
    auto lines = LogMessages(game);
    return static_cast<size_t>(std::count(lines.begin(), lines.end(), message));
}
double WaitLog(const std::string& game, const std::string& message, size_t count = 1, DWORD timeoutMs = 30000)
{
    std::string what = "log line " + message.substr(0, message.size() - 1) + " x" + std::to_string(count);
    WaitUntil([&] { return CountLog(game, message) >= count; }, timeoutMs, what.c_str());
    return Now();
}

// A click carried out before this returns (none of these buttons opens a modal loop).
void Press(HWND main, int id) { SendMessageA(GetDlgItem(main, id), BM_CLICK, 0, 0); }

bool Enabled(HWND main, int id) { return IsWindowEnabled(GetDlgItem(main, id)) != 0; }
bool AllDisabled(HWND main)
{
    return !Enabled(main, 1) && !Enabled(main, 1026) && !Enabled(main, 1060) && !Enabled(main, 1061);
}
bool AllEnabled(HWND main)
{
    return Enabled(main, 1) && Enabled(main, 1026) && Enabled(main, 1060) && Enabled(main, 1061);
}
// The console's text with its paragraph ends as "\n".
std::string ConsoleText(HWND main)
{
    // The rich edit's text length counts a paragraph end once, its WM_GETTEXT gives two.
    std::string text(1 << 16, '\0'), out;
    text.resize(SendMessageA(GetDlgItem(main, 1056), WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        out += text[i] == '\r' ? '\n' : text[i];
    }
    return out;
}
void WaitConsole(HWND main, const std::string& text, DWORD timeoutMs = 20000)
{
    std::string what = "console text " + text;
    try {
        WaitUntil([&] { return ConsoleText(main).find(text) != std::string::npos; }, timeoutMs, what.c_str());
    } catch (const CDriverFailure&) {
        std::string now = ConsoleText(main);
        Note("console ends with: [%s]", now.substr(now.size() > 400 ? now.size() - 400 : 0).c_str());
        throw;
    }
}

// Ends every stand-in the record names that still runs (the pid file only names the last one).
void StopStandIns(const std::string& game)
{
    std::vector<DWORD> pids;
    for (const CRecordLine& r : Record(game))
        if (std::find(pids.begin(), pids.end(), r.m_nPid) == pids.end())
            pids.push_back(r.m_nPid);
    for (DWORD pid : pids) {
        if (HANDLE h = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            if (WaitForSingleObject(h, 0) == WAIT_TIMEOUT) {
                TerminateProcess(h, 98);
                WaitForSingleObject(h, 5000);
            }
            CloseHandle(h);
        }
    }
}

bool StandInRunning(DWORD pid)
{
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (!h)
        return false;
    bool running = WaitForSingleObject(h, 0) == WAIT_TIMEOUT;
    CloseHandle(h);
    return running;
}

// Environment switches of the stand-in, inherited through Tollan; all removed at the end.
void SetSwitch(const char* name, const char* value)
{
    SetEnvironmentVariableA(name, value);
    std::string copy = name;
    AtScenarioEnd([copy] { SetEnvironmentVariableA(copy.c_str(), nullptr); });
}

// The demo game with the delivered defaults laid out as Installer does, the stand-in always
// stopped at the end.
std::string PrepareServerGame()
{
    std::string game = PrepareGameFolder();
    std::string utility = UtilityFolder(game);
    std::string defaults = WinPath(TOLLAN_DEFAULTS_DIR);
    CreateDirectoryA(Join(utility, "Config").c_str(), nullptr);
    CreateDirectoryA(Join(utility, "MapLists").c_str(), nullptr);
    CopyFileA(Join(defaults, "History.ini").c_str(), Join(utility, "History.ini").c_str(), FALSE);
    CopyFileA(Join(defaults, "NormalDM.cfg").c_str(), Join(utility, "Config\\NormalDM.cfg").c_str(), FALSE);
    CopyFileA(Join(defaults, "NormalCOOP.cfg").c_str(), Join(utility, "Config\\NormalCOOP.cfg").c_str(), FALSE);
    CopyFileA(Join(defaults, "MapList.txt").c_str(), Join(utility, "MapLists\\MapList.txt").c_str(), FALSE);
    WriteStoredGamePath(game, true);
    SetSwitch("DQ2SIM_TIME_LIMIT_MS", "150000");
    AtScenarioEnd([game] { StopStandIns(game); });
    return game;
}

struct CSession {
    CTollanRun m_run;
    HWND m_hMain;
};
CSession StartSession(const std::string& game)
{
    CSession s{StartTollan(game), nullptr};
    s.m_hMain = WaitForMainWindow(s.m_run);
    WaitForLogMessage(game, kStartedLine);
    return s;
}

// "  Close Utility": Tollan goes at once; the cleanup ends the server it leaves behind. (Every
// server Tollan starts inherits the crash switch, so a relaunched one is not asked to quit.)
void CloseAtOnce(const CSession& s)
{
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(2, 0), 0);
    E2E_CHECK(WaitForExit(s.m_run, 10000), "Close Utility did not close Tollan");
}

// Starts the stand-in as a program of its own, not through Tollan; waits until it listens.
DWORD StartStandIn(const std::string& game)
{
    std::string command = "\"" + Join(game, "Bin\\DedicatedServer.exe") + "\" +gametype dm";
    PROCESS_INFORMATION pi{};
    E2E_CHECK(StartTestProcess(command, nullptr, CREATE_NO_WINDOW, pi), "could not start the stand-in");
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    WaitEvents(game, "LISTEN ok", CountEvents(game, "LISTEN ok") + 1, 10000);
    return pi.dwProcessId;
}

// The main window whatever its title: one that picks up a server is soon titled with its
// configuration.
HWND WaitForAnyMainWindow(const CTollanRun& run)
{
    HWND main = nullptr;
    WaitUntil([&] { return (main = FindProcessWindow(run.Pid(), "#32770", nullptr)) != nullptr; }, 20000, "main window");
    return main;
}

// Picks a configuration as the user does: a selection, then the list's close-up.
void ChooseConfig(HWND main, int index)
{
    HWND list = GetDlgItem(main, 1063);
    SendMessageA(list, CB_SETCURSEL, index, 0);
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(1063, CBN_CLOSEUP), reinterpret_cast<LPARAM>(list));
}

// Start pressed; waits for the login; the moment the connection attempt began.
double StartAndLogIn(const std::string& game, HWND main, size_t run = 1)
{
    Press(main, 1);
    double connecting = WaitLog(game, kConnectingLine, run);
    WaitLog(game, kSuccessLine, run, 25000);
    return connecting;
}

// Presses a command button and measures how long the four buttons stay disabled.
double DisabledPeriod(HWND main, int id)
{
    E2E_CHECK(AllEnabled(main), "buttons not all enabled before pressing %d", id);
    double t0 = Now();
    Press(main, id);
    E2E_CHECK(AllDisabled(main), "buttons not disabled after pressing %d", id);
    WaitUntil([&] { return AllEnabled(main); }, 15000, "buttons enabled again");
    return Now() - t0;
}

void StopServer(const std::string& game, HWND main)
{
    WaitUntil([&] { return Enabled(main, 1); }, 10000, "button 1 enabled before Stop");
    size_t quits = CountEvents(game, "CMD Quit()");
    Press(main, 1);
    ExpectEqualText(ControlText(main, 1), "Start Server", "caption right after Stop");
    WaitEvents(game, "CMD Quit()", quits + 1, 10000);
    WaitLog(game, kStoppedLine);
    WaitConsole(main, " \n INF:    The server has stopped.\n \n");
    WaitUntil([&] { return WindowText(main) == kIdleTitle; }, 5000, "idle title");
}


// ---- alerts: a webhook receiver of the scenario's own on 127.0.0.1

const char kHookPath[] = "/hook/SeCrEt";  // the webhook's secret: never in the log

std::string ComputerName()
{
    char name[MAX_COMPUTERNAME_LENGTH + 1] = "";
    DWORD size = sizeof name;
    GetComputerNameA(name, &size);
    return name;
}

// Starts the receiver and stores its address as AlertWebhook for the Tollan about to start.
CHttpReceiver& AlertsTo(const CHttpScript& script = CHttpScript())
{
    static CHttpReceiver receiver;
    E2E_CHECK(receiver.Start(script), "the alert receiver does not listen");
    AtScenarioEnd([] { receiver.Stop(); });
    const std::string address = "http://127.0.0.1:" + std::to_string(receiver.Port()) + kHookPath;
    WriteSetting("AlertWebhook", REG_SZ, address + '\0');
    return receiver;
}

// The message of each request that arrived, checked to be the one POST body Tollan sends.
std::vector<std::string> Alerts(const CHttpReceiver& receiver)
{
    std::vector<std::string> out;
    for (const CHttpRequest& r : receiver.Requests()) {
        const std::string& b = r.m_strBody;
        const size_t half = b.find("\",\"text\":\"");
        E2E_CHECK(r.m_strMethod == "POST" && r.m_strPath == kHookPath && half != std::string::npos &&
                      r.Header("Content-Type") == "application/json; charset=utf-8",
                  "an alert request: %s %s %s", r.m_strMethod.c_str(), r.m_strPath.c_str(), b.c_str());
        const std::string message = b.substr(12, half - 12);
        ExpectEqualText(b, "{\"content\":\"" + message + "\",\"text\":\"" + message + "\"}", "alert body");
        out.push_back(message);
    }
    return out;
}

// Waits for the alerts and compares them, in order, with "<computer>: " and each text. Alerts that
// contain `skip` are left out of the comparison.
void ExpectAlerts(const CHttpReceiver& receiver, const std::vector<std::string>& texts, DWORD timeoutMs = 20000,
                  const char* skip = nullptr)
{
    const bool arrived = receiver.WaitForRequests(texts.size(), timeoutMs);
    std::vector<std::string> got = Alerts(receiver);
    if (skip)
        got.erase(std::remove_if(got.begin(), got.end(),
                                 [&](const std::string& g) { return g.find(skip) != std::string::npos; }),
                  got.end());
    std::string joined;
    for (const std::string& g : got)
        joined += "[" + g + "] ";
    E2E_CHECK(arrived && got.size() == texts.size(), "%u alerts, expected %u: %s", static_cast<unsigned>(got.size()),
              static_cast<unsigned>(texts.size()), joined.c_str());
    for (size_t i = 0; i < texts.size(); ++i)
        ExpectEqualText(got[i], ComputerName() + ": " + texts[i], "alert");
}
}  // namespace

E2E_SCENARIO(server_full_run)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    HWND main = s.m_hMain;
    // The configuration list as the delivered History.ini has it.
    HWND list = GetDlgItem(main, 1063);
    E2E_CHECK(SendMessageA(list, CB_GETCOUNT, 0, 0) == 2, "configuration list does not hold two entries");
    ExpectEqualText(ControlText(main, 1063), "NormalDM", "selected configuration");
    ExpectEqualText(WindowText(main), std::string(" ") + kIdleTitle, "title before the first launch");

    double pressed = Now();
    Press(main, 1);
    // All four stay disabled until the connect timer, also once the follower runs.
    E2E_CHECK(AllDisabled(main), "buttons enabled during the launch");
    WaitUntil([&] { return ControlText(main, 1) == "Stop Server"; }, 5000, "caption Stop Server");
    E2E_CHECK(AllDisabled(main), "buttons enabled once the follower runs");
    ExpectEqualText(WindowText(main), std::string(kIdleTitle) + " - 'NormalDM.cfg'", "title while running");
    WaitLog(game, "INF:  The server is running...\n");
    WaitConsole(main, " INF:    The server is starting...");
    double connecting = WaitLog(game, kConnectingLine);
    ExpectNear(connecting - pressed, 2000, 800, "launch to connection attempt");
    E2E_CHECK(LogHas(game, "INF:  Attempting to connect to server...\n"), "no attempt line");
    E2E_CHECK(AllEnabled(main), "buttons not enabled after the connect timer");
    double success = WaitLog(game, kSuccessLine, 1, 25000);
    ExpectNear(success - connecting, 15000, 1500, "connection attempt to login check");

    auto events = [&](const char* kind) { return Events(game, kind); };
    ExpectEqualText(events("ARGS").at(0), "ARGS +gametype dm +gameoptions \"DedicatedServerUtility/Config/NormalDM.cfg\"",
                    "server parameters");
    ExpectEqualText(events("RECV").at(0), "RECV fffd01fffd03", "negotiation answer");
    E2E_CHECK(events("PASSWORD").size() == 1, "password sent %u times", static_cast<unsigned>(events("PASSWORD").size()));
    ExpectEqualText(events("PASSWORD").at(0), "PASSWORD brindlex\\r\\n", "password line");
    ExpectEqualText(events("LOGIN").at(0), "LOGIN ok", "login");

    ExpectNear(DisabledPeriod(main, 1061), 4000, 700, "List Players pending");
    ExpectEqualText(events("CMD").back(), "CMD qelListPlayers()", "list players command");
    E2E_CHECK(LogHas(game, "INF:  qelListPlayers() command has been sent to the server.\n"), "list players log line");
    ExpectNear(DisabledPeriod(main, 1060), 4000, 700, "Pause pending");
    ExpectEqualText(events("CMD").back(), "CMD qelPauseGame()", "pause command");
    ExpectNear(DisabledPeriod(main, 1026), 8000, 900, "Restart pending");
    ExpectEqualText(events("CMD").back(), "CMD qelRestartServer()", "restart command");

    StopServer(game, main);
    WaitUntil([&] { return Enabled(main, 1); }, 3000, "button 1 enabled after the stop");
    E2E_CHECK(!Enabled(main, 1026) && !Enabled(main, 1060) && !Enabled(main, 1061), "buttons after the stop");
    CloseAndWait(s.m_run, main);
}

// NormalCOOP crashes after it changed level: the copy at once, the relaunch 5 s later with the
// old script, the swap 20 s after the crash.
E2E_SCENARIO(server_coop_crash)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "22000");  // the relaunched one outlives the swap
    SetSwitch("DQ2SIM_LEVELS", "Content/DravicQel2/Levels/02_Oasis/2_2_Oasis/2_2_Oasis.wld");
    SetSwitch("DQ2SIM_LEVEL_CHANGE_MS", "3000");
    CSession s = StartSession(game);
    ChooseConfig(s.m_hMain, 1);
    ExpectEqualText(ControlText(s.m_hMain, 1063), "NormalCOOP", "chosen configuration");
    std::string script = Join(UtilityFolder(game), "Config\\NormalCOOP.cfg");
    std::string copy = Join(UtilityFolder(game), "Config\\NormalCOOPTemp.cfg");
    std::string before = ReadAll(script);

    Press(s.m_hMain, 1);
    double crashed = WaitLog(game, kCrashLine, 1, 40000);
    WaitConsole(s.m_hMain, " ERR:    The server has crashed.\n");
    E2E_CHECK(platform::FileExists(copy), "no Temp.cfg right after the crash");
    std::string expected = before;
    size_t at = expected.find("qel_strLevelToStart");
    size_t end = expected.find('\n', at);
    expected.replace(at, end - at, "qel_strLevelToStart = \"Content/DravicQel2/Levels/02_Oasis/2_2_Oasis/2_2_Oasis.wld\";\r");
    ExpectEqualText(ReadAll(copy), expected, "Temp.cfg");
    ExpectEqualText(Events(game, "ARGS").at(0), "ARGS +gameoptions \"DedicatedServerUtility/Config/NormalCOOP.cfg\"",
                    "cooperative parameters");

    double relaunched = WaitEvents(game, "ARGS", 2, 10000);
    ExpectNear(relaunched - crashed, 5000, 1200, "crash to relaunch");
    ExpectEqualText(ReadAll(script), before, "script at the relaunch");
    WaitUntil([&] { return !platform::FileExists(copy); }, 20000, "Temp.cfg swapped in");
    ExpectNear(Now() - crashed, 20000, 1500, "crash to swap");
    ExpectEqualText(ReadAll(script), expected, "script after the swap");
    CloseAtOnce(s);
}

// A file stands where the Logs folder would be made: the run's copy fails, is logged once, and
// changes nothing else.
E2E_SCENARIO(server_dm_crash)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "4000");
    const std::string logs = Join(UtilityFolder(game), "Logs");
    WriteTextFile(logs, "in the way");
    // Alerts to a port nobody listens on: the restart comes on time all the same.
    const std::string hook = "http://127.0.0.1:" + std::to_string(FreeLoopbackPort());
    WriteSetting("AlertWebhook", REG_SZ, hook + kHookPath + '\0');
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    double crashed = WaitLog(game, kCrashLine, 1, 30000);
    const std::vector<std::string> lines = LogMessages(game);
    E2E_CHECK(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
                  return l.rfind("ERR:  Unable to keep the server log in " + logs + "\\", 0) == 0;
              }) == 1, "the failed copy is not logged once");
    E2E_CHECK(ControlText(s.m_hMain, 1) == "Stop Server" && Enabled(s.m_hMain, 1) && !Enabled(s.m_hMain, 1026),
              "buttons after the crash");
    WaitUntil([&] { return WindowText(s.m_hMain) == kIdleTitle; }, 3000, "idle title after the crash");
    double relaunched = WaitEvents(game, "ARGS", 2, 10000);
    ExpectNear(relaunched - crashed, 5000, 1200, "crash to relaunch");
    E2E_CHECK(!platform::FileExists(Join(UtilityFolder(game), "Config\\NormalDMTemp.cfg")), "a deathmatch copy was made");
    E2E_CHECK(CountLog(game, kLaunchLine) == 2, "launch lines");
    ExpectEqualText(ReadAll(logs), "in the way", "the file in the Logs folder's place");
    // Three more tries, 2 + 8 + 20 s apart, then one line for the outage however many crashes follow.
    const std::string outage = "ERR:  Alert not delivered to " + hook + ": could not connect.\n";
    WaitLog(game, outage, 1, 45000);
    Sleep(3000);
    const std::vector<std::string> all = LogMessages(game);
    E2E_CHECK(std::count_if(all.begin(), all.end(), [](const std::string& l) { return l.rfind("ERR:  Alert", 0) == 0; }) == 1,
              "more than one line for the outage");
    CloseAtOnce(s);
}

// A server that crashes 10 s after its launch is restarted 1.1 s + 5 s later, just before the
// crashed run's login check would have fired: that check died with its run, and the restarted
// server stays up and logs in.
E2E_SCENARIO(server_crash_restart_logs_in)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "10000");
    SetSwitch("DQ2SIM_CRASH_ONCE", "1");
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitEvents(game, "EXIT 3 crash", 1, 30000);
    const DWORD exited = GetTickCount();
    WaitLog(game, kCrashLine, 1, 30000);
    WaitEvents(game, "ARGS", 2, 10000);
    // The first run's check ended with it; the one success line is the restarted run's.
    WaitLog(game, kSuccessLine, 1, 40000);
    ExpectAlerts(hook, {"NormalDM crashed; starting it again in 5 s.", "NormalDM is running again."});
    Note("FIGURE crash_to_alert_ms %lu", static_cast<unsigned long>(hook.Requests().at(0).m_nArrivedAt - exited));
    E2E_CHECK(ReadAll(LogPathOf(game)).find("SeCrEt") == std::string::npos, "the webhook's secret in the log");
    E2E_CHECK(!LogHas(game, "ERR:  Unable to connect to server.  Server was shut down.\n"),
              "the restarted server was shut down");
    DWORD pid = std::strtoul(ReadAll(Join(game, "Bin\\DedicatedServer.pid")).c_str(), nullptr, 10);
    E2E_CHECK(pid && StandInRunning(pid), "the restarted server is not running");
    E2E_CHECK(CountEvents(game, "LOGIN ok") == 2 && CountEvents(game, "ARGS") == 2 && CountLog(game, kSuccessLine) == 1,
              "logins or launches");
    ExpectEqualText(ControlText(s.m_hMain, 1), "Stop Server", "caption while the restarted server runs");
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

namespace {
// The copies of NormalDM's runs in Logs, in name order: launch order.
std::vector<std::string> RunCopies(const std::string& logs)
{
    std::vector<std::string> names;
    for (const platform::CDirEntry& e : platform::ListDirectory(logs))
        if (e.m_strName.size() > 20 && e.m_strName.compare(19, std::string::npos, " NormalDM.log") == 0)
            names.push_back(Join(logs, e.m_strName));
    std::sort(names.begin(), names.end());
    return names;
}
}  // namespace

// The restarted server rewrites DedicatedServer.log; the crashed run's copy in Logs keeps its
// bytes from the start marker to the crash, and the restarted run's copy holds none of them.
E2E_SCENARIO(server_crash_keeps_run_log)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "4000");
    SetSwitch("DQ2SIM_CRASH_ONCE", "1");
    const std::string logs = Join(UtilityFolder(game), "Logs");
    const std::string crash = "ERR:  Unhandled exception in the game thread.\r\n";
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    double ended = WaitEvents(game, "EXIT 3", 1, 30000);
    auto copied = [&](size_t run) { return RunCopies(logs).size() > run ? ReadAll(RunCopies(logs)[run]) : std::string(); };
    WaitUntil([&] { return copied(0).find(crash) != std::string::npos; }, 10000, "the crash in the run's copy");
    double complete = Now();
    double decided = WaitLog(game, kCrashLine, 1, 10000);
    Note("process end to the copy complete: %.0f ms, to the copy closed and the crash decided: %.0f ms",
         complete - ended, decided - ended);
    const std::string log = ReadAll(Join(game, "DedicatedServer.log"));
    const std::string expected = log.substr(std::min(log.size(), log.find("-------- START OF LOG --------")));

    WaitUntil([&] { return copied(1).find("INF:  Server is up.") != std::string::npos; }, 20000, "the restarted run's copy");
    E2E_CHECK(ReadAll(Join(game, "DedicatedServer.log")).find(crash) == std::string::npos, "the server log was not rewritten");
    ExpectEqualText(copied(0), expected, "the crashed run's copy");
    E2E_CHECK(copied(1).find(crash) == std::string::npos, "the restarted run's copy holds the crashed run");
    CloseAtOnce(s);
}

// Start pressed in the 5 s after a crash: that press is the restart, the pending one is dropped.
E2E_SCENARIO(server_start_after_crash)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "8000");
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    double crashed = WaitLog(game, kCrashLine, 1, 30000);
    WaitUntil([&] { return WindowText(s.m_hMain) == kIdleTitle; }, 3000, "idle title after the crash");
    Press(s.m_hMain, 1);
    WaitEvents(game, "ARGS", 2, 5000);
    Sleep(static_cast<DWORD>(crashed + 6500 - Now()));  // past the dropped restart, before the next crash
    E2E_CHECK(CountEvents(game, "ARGS") == 2, "%u servers started", static_cast<unsigned>(CountEvents(game, "ARGS")));
    E2E_CHECK(CountLog(game, kLaunchLine) == 2, "launch lines");
    CloseAtOnce(s);
}

E2E_SCENARIO(server_login_failure)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_NO_LOGIN_CONFIRM", "1");
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    double connecting = WaitLog(game, kConnectingLine);
    WaitEvents(game, "LOGIN unconfirmed", 1, 10000);
    double shutDown = WaitLog(game, "ERR:  Unable to connect to server.  Server was shut down.\n", 1, 25000);
    ExpectNear(shutDown - connecting, 15000, 1500, "connection attempt to termination");
    std::string box = ConfirmTollanMessage(s.m_run, 10000);
    ExpectEqualText(box, "The utility was unable to log in to the server and has stopped it.\nIf this problem "
                         "persists, please submit a bug report.", "message box");
    WaitConsole(s.m_hMain, " \n ERR:    Unable to log in!\n INF:    Stopping Server.\n \n");
    WaitUntil([&] { return ControlText(s.m_hMain, 1) == "Start Server"; }, 5000, "caption Start Server");
    Sleep(6000);
    E2E_CHECK(CountEvents(game, "ARGS") == 1 && !LogHas(game, kCrashLine), "a failed login was taken for a crash");
    ExpectAlerts(hook, {"Tollan could not log in to NormalDM and stopped it."});
    CloseAndWait(s.m_run, s.m_hMain);
}

// The title bar's close while running: Quit() each time, the window stays until the server ended.
E2E_SCENARIO(server_close_while_running)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    // Two closes in a row, both before the follower can have seen the server end.
    PostMessageA(s.m_hMain, WM_CLOSE, 0, 0);
    PostMessageA(s.m_hMain, WM_CLOSE, 0, 0);
    WaitLog(game, "INF:  Quit() command has been sent to the server during Close.\n", 2, 5000);
    WaitUntil([&] { return WindowText(s.m_hMain) == kIdleTitle; }, 10000, "the end of the run");
    double runEnd = Now();
    E2E_CHECK(WaitForExit(s.m_run, 10000), "Tollan did not close after the server ended");
    // The close timer: the window and the process go 500 ms after the run has ended.
    ExpectNear(Now() - runEnd, 500, 400, "end of the run to Tollan's end");
    E2E_CHECK(CountEvents(game, "CMD Quit()") >= 1, "Quit() not received");
    E2E_CHECK(!LogHas(game, kStoppedLine) && !LogHas(game, kCrashLine), "the close was reported as another outcome");
    ExpectEqualText(LogMessages(game).back(), kShutDownLine, "last log line");
}

// The program is gone when the crashed server is started again: the launch fails at once, without
// a box of the shell's that nobody would click, and the window shows a stopped server.
E2E_SCENARIO(server_relaunch_without_program)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "5000");
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitEvents(game, "LISTEN ok", 1, 10000);
    const std::string program = Join(game, "Bin\\DedicatedServer.exe"), moved = program + ".moved";
    E2E_CHECK(MoveFileA(program.c_str(), moved.c_str()), "could not move the server program");
    AtScenarioEnd([program, moved] { MoveFileA(moved.c_str(), program.c_str()); });
    double crashed = WaitLog(game, kCrashLine, 1, 30000);
    WaitLog(game, "ERR:  ShellExecuteEx() failed.\n", 1, 10000);
    ExpectNear(Now() - crashed, 5000, 1500, "crash to the failed relaunch");
    WaitUntil([&] { return ControlText(s.m_hMain, 1) == "Start Server" && Enabled(s.m_hMain, 1); }, 2000, "Start Server");
    E2E_CHECK(!FindProcessWindow(s.m_run.Pid(), "#32770", "Error"), "the shell showed an error box");
    ExpectAlerts(hook, {"NormalDM crashed; starting it again in 5 s.",
                        "NormalDM could not be started again (its program could not be started); it is down."});
    CloseAndWait(s.m_run, s.m_hMain);
}

// After a run (a crash, its restart, then Stop) the idle window closes as promptly as at start-up.
E2E_SCENARIO(server_close_after_run)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "6000");
    SetSwitch("DQ2SIM_CRASH_ONCE", "1");
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitLog(game, kCrashLine, 1, 30000);
    WaitEvents(game, "ARGS", 2, 10000);
    WaitLog(game, kSuccessLine, 1, 40000);
    StopServer(game, s.m_hMain);
    Sleep(1000);
    double closed = Now();
    PostMessageA(s.m_hMain, WM_CLOSE, 0, 0);
    WaitUntil([&] { return !IsWindow(s.m_hMain); }, 10000, "the window gone");
    double gone = Now();
    E2E_CHECK(WaitForExit(s.m_run, 10000), "Tollan did not close");
    Note("close to window gone %.0f ms, to exit %.0f ms", gone - closed, Now() - closed);
    ExpectNear(Now() - closed, 0, 400, "idle close to Tollan's end");
}

// Escape while running: Tollan goes at once, the server stays.
E2E_SCENARIO(server_escape_leaves_server)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    PostKey(GetDlgItem(s.m_hMain, 1056), VK_ESCAPE);
    E2E_CHECK(WaitForExit(s.m_run, 10000), "Escape did not close Tollan");
    E2E_CHECK(ExitCodeOf(s.m_run) == 0, "Tollan ended with %lu", ExitCodeOf(s.m_run));
    std::string pidText = ReadAll(Join(game, "Bin\\DedicatedServer.pid"));
    DWORD pid = std::strtoul(pidText.c_str(), nullptr, 10);
    Sleep(2000);
    E2E_CHECK(pid && StandInRunning(pid), "the server did not survive Tollan");
    E2E_CHECK(CountEvents(game, "CMD") == 0, "something was sent to the server");
    StopStandIns(game);
}

// Escape while running, then Tollan again: it picks up the server it left (its log from its end),
// shows the Running state and logs in; List Players and Stop reach that server; no second one ran.
E2E_SCENARIO(server_pick_up)
{
    std::string game = PrepareServerGame();
    CSession first = StartSession(game);
    Press(first.m_hMain, 1);
    WaitEvents(game, "LOGIN ok", 1, 15000);
    PostKey(GetDlgItem(first.m_hMain, 1056), VK_ESCAPE);
    E2E_CHECK(WaitForExit(first.m_run, 10000), "Escape did not close Tollan");
    DWORD pid = std::strtoul(ReadAll(Join(game, "Bin\\DedicatedServer.pid")).c_str(), nullptr, 10);
    E2E_CHECK(pid && StandInRunning(pid), "the server did not survive Tollan");
    DWORD type = 0;
    std::string stored;
    E2E_CHECK(ReadSetting("LastLaunchedConfig", type, stored) && type == REG_SZ && stored == std::string("NormalDM", 9),
              "LastLaunchedConfig not stored");

    CSession s{StartTollan(game), nullptr};
    s.m_hMain = WaitForAnyMainWindow(s.m_run);
    WaitLog(game, kStartedLine, 2, 20000);
    E2E_CHECK(LogHas(game, "INF:  Picked up the server that was left running (process id " + std::to_string(pid) + ").\n"),
              "no pick-up line");
    WaitUntil([&] { return ControlText(s.m_hMain, 1) == "Stop Server" && AllEnabled(s.m_hMain); }, 5000, "the Running state");
    ExpectEqualText(WindowText(s.m_hMain), std::string(kIdleTitle) + " - 'NormalDM.cfg'", "title");
    WaitEvents(game, "LOGIN ok", 2, 15000);
    E2E_CHECK(Record(game).back().m_nPid == pid, "the login reached another server");
    Press(s.m_hMain, 1061);
    WaitEvents(game, "CMD qelListPlayers()", 1, 5000);
    WaitConsole(s.m_hMain, "Players on server");
    E2E_CHECK(ConsoleText(s.m_hMain).find("The server is starting") == std::string::npos, "the old log was shown");
    WaitUntil([&] { return AllEnabled(s.m_hMain); }, 6000, "buttons after List Players");
    StopServer(game, s.m_hMain);
    WaitUntil([&] { return !StandInRunning(pid); }, 5000, "the picked-up server to end");
    E2E_CHECK(CountEvents(game, "ARGS") == 1 && CountLog(game, kLaunchLine) == 1, "another server was launched");
    CloseAndWait(s.m_run, s.m_hMain);
}

// A server that crashes 3 s after each launch: the first launch and two restarts, then the guard's
// line and the idle state, and no fourth launch.
E2E_SCENARIO(server_crash_loop_guard)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "3000");
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    double guarded = WaitLog(game, "ERR:  The server crashed 3 times in a row, each time within 60 s of its launch, "
                                   "and was not restarted. Check its configuration and DedicatedServer.log, then "
                                   "press Start Server.\n", 1, 60000);
    E2E_CHECK(CountLog(game, kCrashLine) == 3 && CountEvents(game, "ARGS") == 3, "%u crashes, %u launches",
              static_cast<unsigned>(CountLog(game, kCrashLine)), static_cast<unsigned>(CountEvents(game, "ARGS")));
    WaitUntil([&] { return ControlText(s.m_hMain, 1) == "Start Server" && Enabled(s.m_hMain, 1) && WindowText(s.m_hMain) == kIdleTitle; },
              3000, "the idle state");
    E2E_CHECK(!Enabled(s.m_hMain, 1026) && !Enabled(s.m_hMain, 1060) && !Enabled(s.m_hMain, 1061), "command buttons enabled");
    WaitConsole(s.m_hMain, " ERR:    The server crashed 3 times in a row");
    Sleep(static_cast<DWORD>(guarded + 7000 - Now()));  // past the moment a restart would launch
    E2E_CHECK(CountEvents(game, "ARGS") == 3 && CountLog(game, kLaunchLine) == 3, "a fourth launch");
    // A restarted run that logs in before it crashes again ends its incident with "running again";
    // whether it does depends on the machine's speed, so those alerts are not counted.
    ExpectAlerts(hook,
                 {"NormalDM crashed; starting it again in 5 s.", "NormalDM crashed; starting it again in 5 s.",
                  "NormalDM crashed 3 times in a row, each time within 60 s of its launch; it is not restarted."},
                 20000, " is running again.");
    CloseAndWait(s.m_run, s.m_hMain);
}

// ---------------------------------------------------------------- a server that stops without ending

namespace {
const char kNotRespondingLine[] = "ERR:  The server has not responded for 60 s; its process was ended.\n";
const char kNoWindowLine[] = "INF:  The server shows no window of its own, so Tollan cannot tell whether it stops "
                             "responding.\n";
}  // namespace

// A long level load (45 s without a message handled) is left alone; a hang is ended once the
// window has answered nothing for 60 s, and the server runs again about 70 s after the hang.
E2E_SCENARIO(server_busy_then_hung)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_BUSY_AFTER_MS", "8000");
    SetSwitch("DQ2SIM_BUSY_MS", "45000");
    SetSwitch("DQ2SIM_HANG_AFTER_MS", "60000");
    SetSwitch("DQ2SIM_TIME_LIMIT_MS", "0");
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    WaitEvents(game, "BUSY_DONE", 1, 60000);
    const double hung = WaitEvents(game, "HANG", 1, 20000);
    E2E_CHECK(!LogHas(game, kNotRespondingLine) && CountEvents(game, "ARGS") == 1, "the busy server was ended");
    WaitLog(game, kNotRespondingLine, 1, 90000);
    WaitConsole(s.m_hMain, " ERR:    The server has not responded for 60 s and was ended.");
    const double relaunched = WaitEvents(game, "ARGS", 2, 20000);
    Note("FIGURE hang_to_relaunch_ms %.0f", relaunched - hung);
    E2E_CHECK(relaunched - hung <= 80000, "relaunched %.0f ms after the hang", relaunched - hung);
    E2E_CHECK(!LogHas(game, kCrashLine), "the hang was logged as a crash as well");
    WaitEvents(game, "LOGIN ok", 2, 20000);
    ExpectAlerts(hook, {"NormalDM stopped responding for 60 s and was ended; starting it again in 5 s.",
                        "NormalDM is running again."});
    // The relaunched server has the same switches: it is left to the scenario's end.
    CloseAtOnce(s);
}

// A crash held open (under Wine by the debugger's dialog, on Windows by its error report when the
// error mode is not inherited) ends as a crash: the cooperative level carried, the server again.
E2E_SCENARIO(server_fault_held_open)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_FAULT_AFTER_MS", "9000");
    SetSwitch("DQ2SIM_LEVELS", "Content/DravicQel2/Levels/02_Oasis/2_2_Oasis/2_2_Oasis.wld");
    SetSwitch("DQ2SIM_LEVEL_CHANGE_MS", "3000");
    CSession s = StartSession(game);
    ChooseConfig(s.m_hMain, 1);
    Press(s.m_hMain, 1);
    const double faulted = WaitEvents(game, "FAULT", 1, 30000);
    const double relaunched = WaitEvents(game, "ARGS", 2, 90000);
    Note("FIGURE fault_to_relaunch_ms %.0f", relaunched - faulted);
    E2E_CHECK(LogHas(game, kNotRespondingLine) || LogHas(game, kCrashLine), "the fault's end was not reported");
    const std::string copy = Join(UtilityFolder(game), "Config\\NormalCOOPTemp.cfg");
    E2E_CHECK(ReadAll(copy).find("qel_strLevelToStart = \"Content/DravicQel2/Levels/02_Oasis/2_2_Oasis/2_2_Oasis.wld\";") !=
                  std::string::npos,
              "the level was not carried: %s", ReadAll(copy).c_str());
    CloseAtOnce(s);
}

// Without a window of its own the server is never judged, even when it hangs; Tollan says once
// that it cannot tell.
E2E_SCENARIO(server_without_window)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_NO_WINDOW", "1");
    SetSwitch("DQ2SIM_HANG_AFTER_MS", "6000");
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitEvents(game, "LOGIN ok", 1, 15000);
    WaitLog(game, kNoWindowLine, 1, 15000);
    WaitEvents(game, "HANG", 1, 10000);
    Sleep(75000);
    const DWORD pid = Record(game).at(0).m_nPid;
    E2E_CHECK(StandInRunning(pid) && !LogHas(game, kNotRespondingLine), "the server without a window was ended");
    E2E_CHECK(CountLog(game, kNoWindowLine) == 1, "said %u times", static_cast<unsigned>(CountLog(game, kNoWindowLine)));
    CloseAtOnce(s);
}

// Not a test: the start-up time (launch to the started line), five times without and five times
// with a server of this game folder to pick up.
E2E_SCENARIO(figures_startup_pick_up)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_TIME_LIMIT_MS", "0");
    auto measure = [&](const char* what) {
        std::vector<double> times;
        for (int i = 0; i < 5; ++i) {
            CSession s{StartTollan(game), nullptr};
            WaitLog(game, kStartedLine, CountLog(game, kShutDownLine) + 1);
            times.push_back(ElapsedMs(s.m_run));
            s.m_hMain = WaitForAnyMainWindow(s.m_run);
            CloseAtOnce(s);  // the server stays
        }
        std::sort(times.begin(), times.end());
        std::printf("FIGURE startup_%s_pick_up_ms median %.0f (%.0f to %.0f)\n", what, times[2], times[0], times[4]);
    };
    measure("without");
    StartStandIn(game);
    measure("with");
}

// A configuration switch while running: one qel_strOptionsScript line, 8 s of pending, no log.
E2E_SCENARIO(server_config_switch)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    size_t logLines = LogMessages(game).size();
    double t0 = Now();
    ChooseConfig(s.m_hMain, 1);
    E2E_CHECK(AllDisabled(s.m_hMain), "buttons not disabled by the switch");
    WaitEvents(game, "CMD qel_strOptionsScript", 1, 5000);
    ChooseConfig(s.m_hMain, 1);  // the same again: nothing
    ChooseConfig(s.m_hMain, 0);  // another within 8 s: nothing sent
    WaitUntil([&] { return AllEnabled(s.m_hMain); }, 12000, "buttons enabled after the switch");
    ExpectNear(Now() - t0, 8000, 900, "switch pending");
    auto lines = Events(game, "CMD qel_strOptionsScript");
    E2E_CHECK(lines.size() == 1, "%u switch lines", static_cast<unsigned>(lines.size()));
    ExpectEqualText(lines[0], "CMD qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalCOOP.cfg\"",
                    "switch line");
    E2E_CHECK(LogMessages(game).size() == logLines, "the switch was logged");
    ChooseConfig(s.m_hMain, 1);  // after the pending period: sent again
    WaitEvents(game, "CMD qel_strOptionsScript", 2, 5000);
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

// The list moved by the arrow keys, as a closed drop-down list takes them: Start launches what it
// shows, and a run follows where it comes to rest with one switch for several steps.
E2E_SCENARIO(server_config_list_keys)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    HWND list = GetDlgItem(s.m_hMain, 1063);
    PostKey(list, VK_DOWN);
    WaitUntil([&] { return ControlText(s.m_hMain, 1063) == "NormalCOOP"; }, 5000, "the list shows NormalCOOP");
    StartAndLogIn(game, s.m_hMain);
    ExpectEqualText(Events(game, "SCRIPT").at(0), "SCRIPT DedicatedServerUtility/Config/NormalCOOP.cfg", "launched");
    for (UINT key : {VK_UP, VK_DOWN, VK_UP})
        PostKey(list, key);
    WaitEvents(game, "CMD qel_strOptionsScript", 1, 5000);
    Sleep(2500);
    auto lines = Events(game, "CMD qel_strOptionsScript");
    E2E_CHECK(lines.size() == 1, "%u switch lines", static_cast<unsigned>(lines.size()));
    ExpectEqualText(lines[0], "CMD qel_strOptionsScript = \"DedicatedServerUtility/Config/NormalDM.cfg\"", "switch");
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

// "/start" launches the configuration launched last, "/start Name" that one; a name the store does
// not hold launches nothing. The time from the process start to the launch is noted.
E2E_SCENARIO(server_start_switch)
{
    std::string game = PrepareServerGame();
    WriteSetting("LastLaunchedConfig", REG_SZ, std::string("NormalCOOP", 11));
    const std::string utility = UtilityFolder(game);
    const std::string exe = "\"" + Join(utility, "Tollan.exe") + "\"";
    CTollanRun run = StartProgram(exe + " /start /minimized", utility);
    run.m_strGame = game;
    HWND main = WaitForAnyMainWindow(run);
    WaitLog(game, kLaunchLine);
    Note("start-up to the launch with /start: %.0f ms", ElapsedMs(run));
    WaitLog(game, kSuccessLine, 1, 25000);
    ExpectEqualText(Events(game, "SCRIPT").at(0), "SCRIPT DedicatedServerUtility/Config/NormalCOOP.cfg", "launched");
    E2E_CHECK(IsIconic(main), "/minimized did not minimise the window");
    ExpectEqualText(ControlText(main, 1063), "NormalCOOP", "the list");
    StopServer(game, main);
    CloseAndWait(run, main);

    CTollanRun again = StartProgram(exe + " /start Missing", utility);
    again.m_strGame = game;
    HWND second = WaitForMainWindow(again);
    WaitLog(game, "ERR:  There is no configuration \"Missing\"; nothing is launched at start-up.\n");
    Sleep(3000);
    E2E_CHECK(CountLog(game, kLaunchLine) == 1, "an unknown name launched a server");
    CloseAndWait(again, second);
}

// A daily restart a minute ahead: Quit() once, the same script launched again and logged in, no
// crash, and no second restart for the same minute.
E2E_SCENARIO(server_daily_restart)
{
    std::string game = PrepareServerGame();
    SYSTEMTIME now;
    GetLocalTime(&now);
    // Two minutes ahead near the end of a minute, so the run is logged in before the moment.
    const int ahead = now.wSecond >= 40 ? 2 : 1;
    const int minute = (now.wHour * 60 + now.wMinute + ahead) % 1440;
    char daily[8];
    std::snprintf(daily, sizeof daily, "%02d:%02d", minute / 60, minute % 60);
    WriteSetting("RestartDaily", REG_SZ, std::string(daily, 6));
    CHttpReceiver& hook = AlertsTo();
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    WaitLog(game, "INF:  Scheduled restart: Quit() command has been sent to the server.\n", 1, 150000);
    WaitLog(game, "INF:  Scheduled restart: the server has stopped; it is launched again.\n", 1, 90000);
    WaitLog(game, kSuccessLine, 2, 40000);
    Sleep(6000);
    E2E_CHECK(CountEvents(game, "CMD Quit()") == 1, "%u Quit() commands", static_cast<unsigned>(CountEvents(game, "CMD Quit()")));
    E2E_CHECK(CountEvents(game, "SCRIPT DedicatedServerUtility/Config/NormalDM.cfg") == 2, "the same script twice");
    E2E_CHECK(CountLog(game, kCrashLine) == 0, "the restart was taken for a crash");
    ExpectAlerts(hook, {"NormalDM is restarted as scheduled."});
    // Tollan let go of the ended server's process: with no handle left, its id names nothing.
    const DWORD first = Record(game).at(0).m_nPid;
    HANDLE old = OpenProcess(SYNCHRONIZE, FALSE, first);
    if (old)
        CloseHandle(old);
    E2E_CHECK(!old, "the first server's process (%lu) is still held", first);
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

// "Error closing" hides the rest of its batch; the next batch shows again.
E2E_SCENARIO(server_error_closing_burst)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_ERROR_CLOSING_BURST", "1");
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitConsole(s.m_hMain, " INF:  Shown again after the burst.\n", 20000);
    std::string text = ConsoleText(s.m_hMain);
    E2E_CHECK(text.find("Error closing") == std::string::npos && text.find("Resource cache flushed") == std::string::npos &&
                  text.find("Hidden by the console") == std::string::npos,
              "the burst was shown");
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

// An old log with its marker is in place; the new server truncates and rewrites it after the
// follower's first reads. The console shows the new run's text.
E2E_SCENARIO(server_log_recreated)
{
    std::string game = PrepareServerGame();
    // Longer than the new log, so that the follower has read past the new log's end by then.
    std::string old = "Old header\r\n-------- START OF LOG --------\r\n";
    for (int i = 0; i < 60; ++i)
        old += "INF:  Line " + std::to_string(100 + i) + " of the previous run, long enough.\r\n";
    WriteTextFile(Join(game, "DedicatedServer.log"), old);
    SetSwitch("DQ2SIM_LOG_RECREATE_DELAY_MS", "2000");
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitEvents(game, "LOG_RECREATED", 1, 10000);
    WaitConsole(s.m_hMain, " INF:  Server is up.\n", 15000);
    std::string text = ConsoleText(s.m_hMain);
    // The new log's start follows whatever the old one had been shown up to.
    // ... on a line of its own: the old text's unfinished line was dropped.
    size_t second = text.find("\n INF:    The server is starting...\n INF:  Command line: +gametype dm");
    if (second == std::string::npos) {
        WriteTextFile(Join(game, "console.txt"), text);
        Fail("the new run's start is not shown (console in console.txt)");
    }
    E2E_CHECK(text.find("Line 120 of the previous run") < second, "the old run was not read first");
    E2E_CHECK(text.find("test stand-in") == std::string::npos, "the new log's header was shown");
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

namespace {
std::string Hex(const std::string& bytes)
{
    std::string out;
    char buf[4];
    for (unsigned char c : bytes) {
        std::snprintf(buf, sizeof buf, "%02x", c);
        out += buf;
    }
    return out;
}

// Enter aimed at `target` while the server runs: the stand-in receives exactly the field's text
// and a line end, the log names it, the field is emptied and has the focus.
void EnterSends(const CSession& s, const std::string& game, HWND target, const std::string& text)
{
    HWND edit = CommandLineEdit(s.m_hMain);
    size_t lines = CountEvents(game, "CMD");
    PostKey(target, VK_RETURN);
    WaitEvents(game, "CMD", lines + 1, 5000);
    ExpectEqualText(Events(game, "CMD").back(), text.empty() ? "CMD" : "CMD " + text, "line received");
    ExpectEqualText(Events(game, "RECV").back(), "RECV " + Hex(text + "\r\n"), "bytes received");
    WaitLog(game, "INF:  Command: '" + text + "' sent to the server.\n", 1, 5000);
    WaitUntil([&] { return WindowText(edit).empty() && FocusIsOn(s.m_run, GetDlgItem(s.m_hMain, 1057)); }, 5000,
              "an empty command line with the focus");
}
}  // namespace

// Enter and the command line: stopped, Enter starts the server; running, it sends what the field
// shows, from the field or from a button, an empty field included; with the list open it only
// closes the list.
E2E_SCENARIO(command_line_enter)
{
    std::string game = PrepareServerGame();
    CSession s = StartSession(game);
    HWND edit = CommandLineEdit(s.m_hMain);
    HWND combo = GetDlgItem(s.m_hMain, 1057);
    PostChars(edit, "abc");
    WaitUntil([&] { return WindowText(edit) == "abc"; }, 5000, "typed text");
    PostKey(edit, VK_RETURN);
    WaitLog(game, kLaunchLine, 1, 5000);
    WaitLog(game, kSuccessLine, 1, 30000);
    E2E_CHECK(CountEvents(game, "CMD") == 0, "Enter while stopped sent something");
    for (const std::string& m : LogMessages(game))
        E2E_CHECK(m.rfind("INF:  Command:", 0) != 0, "Enter while stopped was logged: %s", m.c_str());

    EnterSends(s, game, edit, "abc");
    EnterSends(s, game, edit, "");

    TypeLetterOpeningList(s.m_hMain);
    size_t lines = CountEvents(game, "CMD");
    PostKey(edit, VK_RETURN);
    WaitUntil([&] { return !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0); }, 5000, "Enter to close the list");
    Sleep(500);
    E2E_CHECK(CountEvents(game, "CMD") == lines, "Enter with the list open sent a line");
    EnterSends(s, game, edit, WindowText(edit));

    // An entry picked, then the field changed: a button's Enter sends the field, not the entry.
    LRESULT ban = SendMessageA(combo, CB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>("qelBanIP()"));
    SendMessageA(combo, CB_SETCURSEL, ban, 0);
    SendMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(1057, CBN_CLOSEUP), reinterpret_cast<LPARAM>(combo));
    SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("qelKickPlayer(3)"));
    EnterSends(s, game, GetDlgItem(s.m_hMain, 1058), "qelKickPlayer(3)");
    StopServer(game, s.m_hMain);
    CloseAndWait(s.m_run, s.m_hMain);
}

// Driven by scripts/demo inside its virtual desktop, on the demo game it laid out: the main
// window at rest, the about dialog, a run with a command typed into the command line, the stop.
E2E_SCENARIO(demo)
{
    std::string game = Context().m_strDemoGame;
    AtScenarioEnd([game] { StopStandIns(game); });
    char shots[MAX_PATH] = "";
    GetEnvironmentVariableA("TOLLAN_DEMO_SHOTS", shots, sizeof shots);
    // The request names a window to be captured on its own and laid over the screen, for one
    // that Wine's virtual desktop stacks below its owner on the X side.
    auto shot = [&](const char* name, const char* window = "") {
        if (!*shots)
            return;
        std::string request = Join(shots, std::string("shot-") + name + ".request");
        WriteTextFile(request, window);
        WaitUntil([&] { return !platform::FileExists(request); }, 30000, "screenshot taken");
    };
    CSession s = StartSession(game);
    shot("at-rest");
    const char* const aboutCaption = " About Dravic Qel 2 Dedicated Server Utility";
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(57664, 0), 0);
    HWND about = WaitForWindow(s.m_run, "#32770", aboutCaption);
    Sleep(300);
    shot("about", aboutCaption);
    ClickButton(about, IDOK);
    WaitUntil([&] { return !IsWindow(about); }, 5000, "the about dialog to close");

    StartAndLogIn(game, s.m_hMain, CountLog(game, kConnectingLine) + 1);
    DisabledPeriod(s.m_hMain, 1061);
    WaitConsole(s.m_hMain, "Players on server", 10000);
    // A command typed into the command line, then sent with Enter.
    HWND edit = CommandLineEdit(s.m_hMain);
    PostKey(GetDlgItem(s.m_hMain, 1058), VK_TAB);
    const std::string command = "rcts_strWelcomeNote = \"Welcome to the demo\"";
    PostChars(edit, command);
    WaitUntil([&] { return WindowText(edit) == command; }, 5000, "the typed command");
    shot("running");
    size_t sent = CountEvents(game, "CMD");
    PostKey(edit, VK_RETURN);
    WaitEvents(game, "CMD", sent + 1, 5000);
    WaitConsole(s.m_hMain, "Welcome to the demo", 10000);
    StopServer(game, s.m_hMain);
    shot("stopped");
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32811, 0), 0);
    HWND schedule = WaitForWindow(s.m_run, "#32770", " Scheduled Restart");
    SetDlgItemTextA(schedule, 1320, "04:00");
    SetDlgItemTextA(schedule, 1321, "24");
    Sleep(300);
    shot("scheduled-restart", " Scheduled Restart");
    PostMessageA(schedule, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(schedule); }, 5000, "the schedule dialog to close");
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32816, 0), 0);
    HWND alerts = WaitForWindow(s.m_run, "#32770", " Alerts");
    SetDlgItemTextA(alerts, 1330, "https://discord.com/api/webhooks/1234567890/demo-token");
    Sleep(300);
    shot("alerts", " Alerts");
    PostMessageA(alerts, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(alerts); }, 5000, "the alerts dialog to close");
    // Minimised to the notification area, and back.
    SendMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32813, 0), 0);
    PostMessageA(s.m_hMain, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    WaitUntil([&] { return !IsWindowVisible(s.m_hMain); }, 10000, "the window to hide");
    Sleep(300);
    shot("notification-area");
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32814, 0), 0);
    WaitUntil([&] { return IsWindowVisible(s.m_hMain) && !IsIconic(s.m_hMain); }, 10000, "the window to come back");
    SendMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32813, 0), 0);
    ShowConfigurationForDemo(s.m_run, s.m_hMain, shot);
    CloseAndWait(s.m_run, s.m_hMain);
}

// Not a test: bench/wine_run_figures.sh runs it to measure Tollan while a server runs. Prints the
// command latency, then writes figures.ready and keeps the run on until figures.done appears.
E2E_SCENARIO(figures)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_TIME_LIMIT_MS", "0");
    CSession s = StartSession(game);
    StartAndLogIn(game, s.m_hMain);
    std::vector<double> latencies;
    for (int i = 0; i < 20; ++i) {
        WaitUntil([&] { return AllEnabled(s.m_hMain); }, 15000, "buttons enabled");
        size_t before = CountEvents(game, "CMD qelListPlayers()");
        double t0 = Now();
        ClickButton(s.m_hMain, 1061);
        while (CountEvents(game, "CMD qelListPlayers()") == before) {
            E2E_CHECK(Now() - t0 < 5000, "command not received");
            Sleep(1);
        }
        latencies.push_back(Now() - t0);
    }
    std::sort(latencies.begin(), latencies.end());
    std::printf("FIGURE command_latency_median_ms %.1f (min %.1f, max %.1f)\n", (latencies[9] + latencies[10]) / 2,
                latencies.front(), latencies.back());
    std::fflush(stdout);
    std::string ready = Join(Context().m_strWorkRoot, "figures.ready");
    std::string done = Join(Context().m_strWorkRoot, "figures.done");
    WriteTextFile(ready, std::to_string(s.m_run.Pid()));
    WaitUntil([&] { return platform::FileExists(done); }, 20 * 60 * 1000, "figures.done");
    CloseAtOnce(s);
}

// Not a test: bench/wine_run_figures.sh runs it. The title-bar close while a server runs, once and
// twice in a row (a Quit() each), twice each: from the stand-in's end to the end of the run (the
// idle title), to the shut-down line and to the end of Tollan.
E2E_SCENARIO(figures_close)
{
    std::string game = PrepareServerGame();
    size_t run = 0;
    for (int closes : {1, 1, 2, 2}) {
        CSession s = StartSession(game);
        StartAndLogIn(game, s.m_hMain, ++run);
        DWORD pid = std::strtoul(ReadAll(Join(game, "Bin\\DedicatedServer.pid")).c_str(), nullptr, 10);
        HANDLE server = OpenProcess(SYNCHRONIZE, FALSE, pid);
        E2E_CHECK(server != nullptr, "no stand-in process");
        double closed = Now();
        for (int i = 0; i < closes; ++i)
            PostMessageA(s.m_hMain, WM_CLOSE, 0, 0);
        E2E_CHECK(WaitForSingleObject(server, 10000) == WAIT_OBJECT_0, "the stand-in did not end");
        double ended = Now();
        CloseHandle(server);
        double runEnd = 0, shutDown = 0;
        while (IsRunning(s.m_run)) {
            if (!runEnd && WindowText(s.m_hMain) == kIdleTitle)
                runEnd = Now();
            if (!shutDown && CountLog(game, kShutDownLine) >= run)
                shutDown = Now();
            E2E_CHECK(Now() - ended < 20000, "Tollan did not end");
            Sleep(2);
        }
        double exited = Now();
        std::printf("FIGURE close_x%d_command_to_server_end_ms %.0f\n", closes, ended - closed);
        std::printf("FIGURE close_x%d_server_end_to_run_end_ms %.0f\n", closes, runEnd ? runEnd - ended : -1.0);
        std::printf("FIGURE close_x%d_run_end_to_exit_ms %.0f\n", closes, runEnd ? exited - runEnd : -1.0);
        std::printf("FIGURE close_x%d_server_end_to_shutdown_line_ms %.0f\n", closes,
                    shutDown ? shutDown - ended : -1.0);
        std::printf("FIGURE close_x%d_server_end_to_exit_ms %.0f\n", closes, exited - ended);
        std::fflush(stdout);
    }
}

// ---------------------------------------------------------------- port check, console find and save

namespace {

// A rich edit message whose pointer Wine does not carry across processes, through a page inside
// Tollan: `in` is copied there first, `outSize` bytes are read back.
struct CRemotePage {
    HANDLE m_hProcess;
    char* m_pBase;
    LRESULT Send(HWND to, UINT msg, WPARAM w, bool pointerInW, const void* in, size_t inSize, void* out, size_t outSize)
    {
        if (in)
            WriteProcessMemory(m_hProcess, m_pBase, in, inSize, nullptr);
        LRESULT r = SendMessageA(to, msg, pointerInW ? reinterpret_cast<WPARAM>(m_pBase) : w,
                                 pointerInW ? static_cast<LPARAM>(w) : reinterpret_cast<LPARAM>(m_pBase));
        ReadProcessMemory(m_hProcess, m_pBase, out, outSize, nullptr);
        return r;
    }
};
CRemotePage RemotePage(const CTollanRun& run)
{
    CRemotePage page{run.m_pi.hProcess, static_cast<char*>(VirtualAllocEx(run.m_pi.hProcess, nullptr, 4096,
                                                                           MEM_COMMIT, PAGE_READWRITE))};
    E2E_CHECK(page.m_pBase, "no memory in Tollan");
    return page;
}
CHARRANGE Selection(CRemotePage& page, HWND console)
{
    CHARRANGE r{};
    page.Send(console, EM_EXGETSEL, 0, false, nullptr, 0, &r, sizeof r);
    return r;
}
// The selection, "|", and the 12 characters after it: which of the matches it is.
std::string SelectedWithContext(CRemotePage& page, HWND console)
{
    CHARRANGE r = Selection(page, console);
    TEXTRANGEA tr{{r.cpMin, r.cpMax + 12}, page.m_pBase + 64};
    char text[64 + 128] = "";
    LRESULT n = page.Send(console, EM_GETTEXTRANGE, 0, false, &tr, sizeof tr, text, sizeof text - 1);
    std::string got(text + 64, n > 0 && n < 128 ? n : 0);
    return got.insert(std::min<size_t>(got.size(), r.cpMax - r.cpMin), "|");
}
bool SelectionInView(CRemotePage& page, HWND console)
{
    POINTL pt{-1, -1};
    page.Send(console, EM_POSFROMCHAR, Selection(page, console).cpMin, true, nullptr, 0, &pt, sizeof pt);
    RECT client;
    GetClientRect(console, &client);
    return pt.y >= 0 && pt.y < client.bottom;
}

// A run of the stand-in, static once its remote console login is logged.
CSession StartQuietRun(const std::string& game)
{
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    WaitEvents(game, "LOGIN ok", 1, 15000);
    WaitConsole(s.m_hMain, "Remote console login from");
    return s;
}

}  // namespace

// A stand-in of another game folder, started by the driver, already holds 127.0.0.1:25600 (one of
// this game folder would be picked up at start): Start launches nothing and says so; once the
// port is free, Start launches as always.
E2E_SCENARIO(server_port_in_use)
{
    std::string game = PrepareServerGame();
    std::string other = Join(Context().m_strWorkRoot, "Other game");
    CreateDirectoryA(other.c_str(), nullptr);
    CreateDirectoryA(Join(other, "Bin").c_str(), nullptr);
    E2E_CHECK(CopyFileA(Join(game, "Bin\\DedicatedServer.exe").c_str(), Join(other, "Bin\\DedicatedServer.exe").c_str(),
                        FALSE),
              "no copy of the stand-in");
    AtScenarioEnd([other] { StopStandIns(other); });
    DWORD otherPid = StartStandIn(other);

    CSession s = StartSession(game);
    ClickButton(s.m_hMain, 1);  // posted: the press opens a message box
    std::string box = ConfirmTollanMessage(s.m_run, 10000);
    // Wine's TCP table names no owner (its sockets live in wineserver); Windows names the stand-in.
    std::string owner = "DedicatedServer.exe (process id " + std::to_string(otherPid) + ")";
    bool named = box.find(owner) != std::string::npos;
    Note("owner %s", named ? "named" : "not named by the system");
    ExpectEqualText(box,
                    "Another program is already listening on 127.0.0.1:25600, the port of the server's remote "
                    "console" + (named ? ":\n" + owner + "." : std::string(".")) + "\n\nThe server was not "
                    "started, so that the administrator password is not sent to that program.\nEnd it, then "
                    "press Start Server again.",
                    "message box");
    E2E_CHECK(LogHas(game, "ERR:  Port 25600 on 127.0.0.1 is in use by " + (named ? owner : "another program") +
                               "; the server was not started.\n"),
              "no log line");
    Sleep(2500);  // past the connect timer a launch would have set
    E2E_CHECK(CountEvents(game, "ARGS") == 0 && !LogHas(game, kLaunchLine), "a server was launched");
    E2E_CHECK(ControlText(s.m_hMain, 1) == "Start Server" && Enabled(s.m_hMain, 1), "button 1 after the refusal");

    StopStandIns(other);
    Press(s.m_hMain, 1);
    WaitEvents(game, "ARGS", 1, 10000);
    CloseAtOnce(s);
}

// Ctrl+F opens the find box; Find Next and F3 select each match in turn, wrapping, and scroll it
// into view; with Match case a miss is reported in the box.
E2E_SCENARIO(console_find_next)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_FLOOD_BYTES", "12800");  // 200 lines between the first match and the others
    CSession s = StartQuietRun(game);
    HWND console = GetDlgItem(s.m_hMain, 1056);
    CRemotePage page = RemotePage(s.m_run);
    auto waitFor = [&](const char* expected) {
        WaitUntil([&] { return SelectedWithContext(page, console) == expected; }, 5000, expected);
        E2E_CHECK(SelectionInView(page, console), "%s is not in view", expected);
    };
    auto openBox = [&] {
        PostMessageA(console, WM_CHAR, 0x06, 1);  // what Ctrl+F becomes
        return WaitForWindow(s.m_run, "#32770", " Find", 10000);
    };
    HWND box = openBox();
    SendMessageA(GetDlgItem(box, 1300), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("remote console"));
    // The caret is at the end, far below: the search wraps to the first match.
    E2E_CHECK(SendMessageA(console, EM_GETFIRSTVISIBLELINE, 0, 0) > 100, "the console is not scrolled down");
    ClickButton(box, IDOK);
    waitFor("Remote console| listening o");
    ClickButton(box, IDCANCEL);
    for (const char* next : {"Remote console| connection ", "Remote console| login from ", "Remote console| listening o"}) {
        PostKey(console, VK_F3);
        waitFor(next);
    }
    box = openBox();
    ExpectEqualText(ControlText(box, 1300), "remote console", "find text kept");
    ClickButton(box, 1301);  // Match case
    ClickButton(box, IDOK);
    WaitUntil([&] { return ControlText(box, 1302) == "Cannot find \"remote console\"."; }, 5000, "the miss status");
    ExpectEqualText(SelectedWithContext(page, console), "Remote console| listening o", "selection after a miss");
    ClickButton(box, IDCANCEL);
    CloseAtOnce(s);
}

// "  Save Console to File..." (the command its menu item sends to the console) through the real
// Save As dialog: the console's text with CR LF, and the log line.
E2E_SCENARIO(console_save_to_file)
{
    std::string game = PrepareServerGame();
    CSession s = StartQuietRun(game);
    std::string path = Join(Context().m_strWorkRoot, "Saved console.txt");
    PostMessageA(GetDlgItem(s.m_hMain, 1056), WM_COMMAND, 57604, 0);
    HWND dialog = WaitForWindow(s.m_run, "#32770", "Save Console to File", 10000);
    // The Explorer-style dialog's file name box is cmb13 (0x47C); older ones have edt1 (0x480).
    HWND name = GetDlgItem(dialog, 0x47C) ? GetDlgItem(dialog, 0x47C) : GetDlgItem(dialog, 0x480);
    E2E_CHECK(name, "no file name box in the Save As dialog");
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    ClickButton(dialog, IDOK);
    WaitLog(game, "INF:  The console was saved to " + path + "\n", 1, 10000);
    std::string expected;
    for (char c : ConsoleText(s.m_hMain))
        expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ExpectEqualText(ReadAll(path), expected, "saved file");
    E2E_CHECK(!platform::FileExists(path + ".tmp"), "the twin was left behind");
    CloseAtOnce(s);
}

// ---------------------------------------------------------------- alerts

// A receiver that takes the crash's alert and never answers: the window answers at once, the
// restart comes on time, and "  Close Utility" still ends Tollan within about a second.
E2E_SCENARIO(alerts_unanswered)
{
    std::string game = PrepareServerGame();
    SetSwitch("DQ2SIM_CRASH_AFTER_MS", "3000");
    SetSwitch("DQ2SIM_CRASH_ONCE", "1");
    CHttpScript silent;
    silent.m_bNeverAnswer = true;
    CHttpReceiver& hook = AlertsTo(silent);
    CSession s = StartSession(game);
    Press(s.m_hMain, 1);
    const double crashed = WaitLog(game, kCrashLine, 1, 30000);
    E2E_CHECK(hook.WaitForRequests(1, 10000), "no alert arrived");
    DWORD_PTR answer = 0;
    E2E_CHECK(SendMessageTimeoutA(s.m_hMain, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 500, &answer), "the window does not answer");
    ExpectNear(WaitEvents(game, "ARGS", 2, 10000) - crashed, 5000, 1200, "crash to relaunch");
    WaitLog(game, kSuccessLine, 1, 40000);
    const double closing = Now();
    PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(2, 0), 0);
    E2E_CHECK(WaitForExit(s.m_run, 10000), "Close Utility did not close Tollan");
    Note("FIGURE close_with_unanswered_alert_ms %.0f", Now() - closing);
    E2E_CHECK(Now() - closing < 2000, "Tollan took %.0f ms to end", Now() - closing);
}

// Tools > Alerts: a refused address, a test that arrives, Cancel that keeps what was stored, a
// second opening, and OK that stores the address.
E2E_SCENARIO(alerts_dialog)
{
    std::string game = PrepareServerGame();
    CHttpReceiver hook;
    E2E_CHECK(hook.Start(CHttpScript()), "the receiver does not listen");
    const std::string address = "http://127.0.0.1:" + std::to_string(hook.Port()) + kHookPath;
    CSession s = StartSession(game);
    const auto open = [&] {
        PostMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(32816, 0), 0);
        return WaitForWindow(s.m_run, "#32770", " Alerts", 10000);
    };
    const auto setAddress = [](HWND dialog, const std::string& text) {
        SendMessageA(GetDlgItem(dialog, 1330), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    };
    HWND dialog = open();
    ExpectEqualText(ControlText(dialog, 1332), "Alerts are off.", "outcome before any");
    setAddress(dialog, "ftp://127.0.0.1/hook");
    ClickButton(dialog, 1331);
    ExpectEqualText(ConfirmTollanMessage(s.m_run), "The webhook address must begin with https:// or http://.", "refusal");
    WaitUntil([&] { return FocusIsOn(s.m_run, GetDlgItem(dialog, 1330)); }, 3000, "the focus on the address");
    // Too long is refused whole, not cut short in the field.
    setAddress(dialog, "https://example.com/" + std::string(2100, 'a'));
    ClickButton(dialog, 1331);
    ExpectEqualText(ConfirmTollanMessage(s.m_run), "The webhook address is longer than 2048 characters.", "long refusal");

    setAddress(dialog, address);
    ClickButton(dialog, 1331);
    WaitUntil([&] { return ControlText(dialog, 1332).rfind("Delivered at ", 0) == 0; }, 15000, "the test delivered");
    const std::string outcome = ControlText(dialog, 1332);
    E2E_CHECK(outcome.size() == 29 && outcome[15] == ':' && outcome.compare(18, 11, " (HTTP 204)") == 0,
              "outcome \"%s\"", outcome.c_str());
    ExpectAlerts(hook, {"a test message from Tollan. Alerts reach you here."});
    ClickButton(dialog, IDCANCEL);
    WaitUntil([&] { return !IsWindow(dialog); }, 5000, "the dialog closed");
    DWORD type = 0;
    std::string stored;
    E2E_CHECK(!ReadSetting("AlertWebhook", type, stored), "Cancel stored the address");

    dialog = open();
    ExpectEqualText(ControlText(dialog, 1330), "", "address after Cancel");
    setAddress(dialog, "  " + address + " ");  // as pasted, blanks and all
    PostKey(GetDlgItem(dialog, 1330), VK_RETURN);
    WaitUntil([&] { return !IsWindow(dialog); }, 5000, "Enter to close the dialog");
    E2E_CHECK(ReadSetting("AlertWebhook", type, stored) && type == REG_SZ && stored == address + '\0', "stored address");
    WaitLog(game, "INF:  Alerts go to http://127.0.0.1:" + std::to_string(hook.Port()) + ".\n", 1, 3000);
    dialog = open();
    ExpectEqualText(ControlText(dialog, 1330), address, "address at the second opening");
    PostKey(GetDlgItem(dialog, 1330), VK_ESCAPE);
    WaitUntil([&] { return !IsWindow(dialog); }, 5000, "Escape to close the dialog");
    CloseAndWait(s.m_run, s.m_hMain);
}
