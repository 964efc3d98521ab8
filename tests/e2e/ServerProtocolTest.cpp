// Talks to the stand-in game server the way the utility does and checks the exact bytes of the
// remote console, the server log, the record file and the exit codes.
// Usage: ServerProtocolTest <DedicatedServer.exe> <scratch folder>
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include "WinTestCheck.h"
#include "WinTestFiles.h"
#include "WinTestProcesses.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

bool HasLine(const std::vector<std::string>& lines, const std::string& wanted)
{
    for (const std::string& line : lines)
        if (line == wanted) return true;
    return false;
}

// Record lines of one process, without the leading process id.
std::vector<std::string> RecordOf(const std::string& record, DWORD pid)
{
    std::vector<std::string> out;
    std::string prefix = std::to_string(pid) + " ";
    for (const std::string& line : Lines(record))
        if (line.compare(0, prefix.size(), prefix) == 0)
            out.push_back(line.substr(prefix.size()));
    return out;
}

// A started server that is always stopped, also when a check fails on the way.
class CServer : public CChildProcess {
public:
    // The test's working folder, not the game's: the server must find its game folder from its
    // own location.
    bool Start(const std::string& exe, const std::string& params)
    {
        return CChildProcess::Start("\"" + exe + "\" " + params);
    }

    DWORD MainThreadId() const { return m_pi.dwThreadId; }
};

class CConnection {
public:
    ~CConnection() { if (m_s != INVALID_SOCKET) closesocket(m_s); }

    bool Connect(DWORD ms)
    {
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            m_s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
            sockaddr_in addr = {};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(25600);
            addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            if (connect(m_s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0) {
                sockaddr_in local = {};
                int len = sizeof(local);
                getsockname(m_s, reinterpret_cast<sockaddr*>(&local), &len);
                m_iLocalPort = ntohs(local.sin_port);
                return true;
            }
            closesocket(m_s);
            m_s = INVALID_SOCKET;
            Sleep(100);
        }
        return false;
    }

    // One receive call: the chunk as the utility would see it. Empty after the timeout.
    std::string Chunk(DWORD ms)
    {
        fd_set rd;
        FD_ZERO(&rd);
        FD_SET(m_s, &rd);
        timeval tv = {static_cast<long>(ms / 1000), static_cast<long>((ms % 1000) * 1000)};
        if (select(0, &rd, nullptr, nullptr, &tv) <= 0)
            return std::string();
        char buf[1024];  // the utility's receive buffer size
        int n = recv(m_s, buf, sizeof(buf), 0);
        return n > 0 ? std::string(buf, static_cast<size_t>(n)) : std::string();
    }

    void Send(const std::string& bytes) { send(m_s, bytes.data(), static_cast<int>(bytes.size()), 0); }
    int LocalPort() const { return m_iLocalPort; }

private:
    SOCKET m_s = INVALID_SOCKET;
    int m_iLocalPort = 0;
};

struct CGame {
    std::string m_strRoot;
    std::string m_strExe;
    std::string Log() const { return ReadAll(m_strRoot + "\\DedicatedServer.log"); }
    std::string Record() const { return ReadAll(m_strRoot + "\\Bin\\DedicatedServer.record"); }
};

const char kMetropolis[] = "Content/DravicQel2/Levels/Multiplayer/DM_Metropolis/DM_Metropolis.wld";
const char kChanolin[] = "Content/DravicQel2/Levels/Multiplayer/DM_Chanolin/DM_Chanolin.wld";
const char kVillage[] = "Content/DravicQel2/Levels/05_Ellenier/5_1_Village/5_1_Village.wld";
const char kCoopParams[] = "+gameoptions \"DedicatedServerUtility/Config/Coop.cfg\"";

std::string Script(const std::string& password, const std::string& level, const std::string& mapList)
{
    return "[Engine]\r\n"
           "net_bClientsMayPause = 0;\r\n"
           "net_strConnectPassword = \"\";\r\n"
           "rcts_strAdminPassword = \"" + password + "\";\r\n"
           "\r\n"
           "[Qel2Game]\r\n"
           "qel_sgpGameOptions.sgp_ctMaxPlayers = 4;\r\n"
           "qel_strLevelToStart = \"" + level + "\";\r\n"
           "qel_strMapListFile = \"" + mapList + "\";\r\n"
           "qel_fEndOfRoundDelay = 10.00;\r\n";
}

void ClearEnvironment()
{
    static const char* const names[] = {
        "DQ2SIM_CRASH_AFTER_MS", "DQ2SIM_NO_LOGIN_CONFIRM", "DQ2SIM_NO_LISTEN", "DQ2SIM_FLOOD_BYTES",
        "DQ2SIM_FLOOD_BYTES_PER_SEC", "DQ2SIM_ERROR_CLOSING_BURST", "DQ2SIM_QUIET",
        "DQ2SIM_LOG_RECREATE_DELAY_MS", "DQ2SIM_LEVEL_CHANGE_MS", "DQ2SIM_LEVELS", "DQ2SIM_HANG_AFTER_MS",
        "DQ2SIM_FAULT_AFTER_MS", "DQ2SIM_BUSY_AFTER_MS", "DQ2SIM_BUSY_MS", "DQ2SIM_NO_WINDOW"};
    for (const char* name : names)
        SetEnvironmentVariableA(name, nullptr);
    SetEnvironmentVariableA("DQ2SIM_TIME_LIMIT_MS", "60000");
}

const std::string kWill = "\xff\xfb\x01\xff\xfb\x03";
const std::string kDo = "\xff\xfd\x01\xff\xfd\x03";

// Negotiation, greeting, a wrong and a right password, three commands; deathmatch start on the
// first map of the list because the script names no level.
void TestFullSession(const CGame& game)
{
    printf("-- full session (deathmatch, map list, login, commands, Quit)\n");
    ClearEnvironment();
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\""),
          "server starts");
    CConnection con;
    CHECK(con.Connect(15000), "remote console accepts a connection");
    // Written before the console listens, so it is there once the connection stands.
    std::string pid = ReadAll(game.m_strRoot + "\\Bin\\DedicatedServer.pid");
    CHECK(pid == std::to_string(server.Pid()) + "\r\n", "pid file holds the Windows process id");

    CHECK(con.Chunk(5000) == kWill, "first chunk is IAC WILL 1 IAC WILL 3");
    CHECK(con.Chunk(700).empty(), "nothing more before the answer");
    con.Send(kDo);
    std::string greeting = con.Chunk(5000);
    size_t crlf = 0, lf = 0;
    for (size_t i = 0; i < greeting.size(); ++i)
        if (greeting[i] == '\n') { ++lf; if (i > 0 && greeting[i - 1] == '\r') ++crlf; }
    CHECK(crlf == 6 && lf == 6, "greeting holds six lines ending in CR LF");
    CHECK(greeting.size() >= 2 && greeting.compare(greeting.size() - 2, 2, "\r\n") == 0, "greeting ends with CR LF");
    CHECK(greeting.find('>') == std::string::npos, "greeting has no prompt character");
    CHECK(greeting.find('\xff') == std::string::npos, "greeting carries no telnet command");

    con.Send("wrongpw\r\n");
    std::string refusal = con.Chunk(3000);
    CHECK(refusal == "Wrong password.\r\n", "wrong password is refused");
    CHECK(refusal.find("Telnet connection from") == std::string::npos, "no confirmation after a wrong password");

    con.Send("brindlex\r\n");
    std::string confirm = con.Chunk(5000);
    std::string expected = "Telnet connection from 127.0.0.1:" + std::to_string(con.LocalPort());
    CHECK(confirm.compare(0, expected.size(), expected) == 0, "confirmation names the client's address and port");
    size_t nl = confirm.find('\n');
    CHECK(nl == expected.size(), "first line of the confirmation ends right after the port");
    CHECK(nl != std::string::npos && nl > 0 && confirm[nl - 1] != '\r', "first line ends in a bare LF");

    con.Send("qelListPlayers()\r\n");
    Sleep(200);
    con.Send("qelPauseGame()\r\n");
    Sleep(200);
    con.Send("Quit()\r\n");
    long code = server.WaitExit(10000);
    CHECK(code == 0, "Quit() ends the server with exit code 0");

    std::vector<std::string> log = Lines(game.Log());
    size_t start = 0;
    while (start < log.size() && log[start] != "-------- START OF LOG --------") ++start;
    CHECK(start > 0 && start < log.size(), "lines precede the start marker");
    bool allTagged = start < log.size();
    for (size_t i = start + 1; i < log.size(); ++i) {
        const std::string& l = log[i];
        if (l.find("INF:") == std::string::npos && l.find("ERR:") == std::string::npos &&
            l.find("WRN:") == std::string::npos && l.find("TRC:") == std::string::npos) {
            allTagged = false;
            printf("  untagged log line: %s\n", l.c_str());
        }
    }
    CHECK(allTagged, "every line after the marker is tagged");
    CHECK(HasLine(log, std::string("TRC:   Changing over to ") + kChanolin), "first map of the list started");
    CHECK(HasLine(log, "INF:  Players on server: 0"), "player list logged");
    CHECK(HasLine(log, "INF:  Game paused."), "pause logged");
    CHECK(HasLine(log, "INF:  Quit() received; shutting down."), "quit logged");

    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(!rec.empty() && rec[0] == "ARGS +gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\"",
          "record holds the parameters first");
    CHECK(HasLine(rec, "SCRIPT DedicatedServerUtility/Config/Proto.cfg"), "record names the script");
    CHECK(HasLine(rec, std::string("LEVEL ") + kChanolin), "record names the level");
    CHECK(HasLine(rec, "RECV fffd01fffd03"), "record holds the telnet answer as one chunk");
    CHECK(HasLine(rec, "PASSWORD wrongpw\\r\\n"), "record holds the wrong password line");
    CHECK(HasLine(rec, "PASSWORD brindlex\\r\\n"), "record holds the right password line");
    CHECK(HasLine(rec, "RECV " + std::string("71656c4c697374506c61796572732829") + "0d0a"),
          "record holds the bytes of qelListPlayers()");
    CHECK(HasLine(rec, "CMD qelListPlayers()") && HasLine(rec, "CMD qelPauseGame()") && HasLine(rec, "CMD Quit()"),
          "record holds the three commands");
    CHECK(!rec.empty() && rec.back() == "EXIT 0 quit", "record ends with the exit");
    CHECK(GetFileAttributesA((game.m_strRoot + "\\Bin\\DedicatedServer.pid").c_str()) == INVALID_FILE_ATTRIBUTES,
          "pid file removed at exit");
}

// Level commands over the console: next map, a new options script taken at the restart.
void TestLevelCommands(const CGame& game)
{
    printf("-- level commands\n");
    ClearEnvironment();
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\""),
          "server starts");
    CConnection con;
    CHECK(con.Connect(15000), "connects");
    CHECK(con.Chunk(5000) == kWill, "negotiation chunk");
    con.Send(kDo);
    CHECK(!con.Chunk(5000).empty(), "greeting");
    con.Send("brindlex\r\n");
    CHECK(con.Chunk(5000).compare(0, 22, "Telnet connection from") == 0, "confirmed");
    const char* const commands[] = {"qelNextMap()\r\n", "qelNextMap()\r\n",
                                    "qel_strOptionsScript = \"DedicatedServerUtility/Config/Coop.cfg\"\r\n",
                                    "qelRestartServer()\r\n", "say hello\r\n", "Quit()\r\n"};
    for (const char* command : commands) {
        con.Send(command);
        Sleep(150);
    }
    CHECK(server.WaitExit(10000) == 0, "Quit() ends the server");
    std::vector<std::string> levels;
    std::vector<std::string> log = Lines(game.Log());
    for (const std::string& line : log)
        if (line.compare(0, 24, "TRC:   Changing over to ") == 0)
            levels.push_back(line.substr(24));
    CHECK(levels.size() == 4 && levels[0] == kChanolin && levels[1] == kMetropolis && levels[2] == kChanolin &&
              levels[3] == kVillage,
          "start, two next maps, restart on the new script's level");
    CHECK(HasLine(log, "INF:  Options script for the next session: \"DedicatedServerUtility/Config/Coop.cfg\"."),
          "new script logged");
    CHECK(HasLine(log, "INF:  Console: say hello"), "other lines logged");
    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(HasLine(rec, "NEXT_SCRIPT DedicatedServerUtility/Config/Coop.cfg") &&
              HasLine(rec, "SCRIPT DedicatedServerUtility/Config/Coop.cfg"),
          "record shows the script taken at the restart");
}

// The crash switch ends a cooperative server by itself with exit code 3 after its start level.
void TestCrash(const CGame& game)
{
    printf("-- crash switch\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_CRASH_AFTER_MS", "1500");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gameoptions \"DedicatedServerUtility/Config/Coop.cfg\""), "server starts");
    long code = server.WaitExit(10000);
    CHECK(code == 3, "crash exit code is 3");
    std::vector<std::string> log = Lines(game.Log());
    CHECK(HasLine(log, std::string("TRC:   Changing over to ") + kVillage), "start level changed over to");
    CHECK(HasLine(log, "INF:  Game type: cooperative."), "cooperative without +gametype");
    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(!rec.empty() && rec.back() == "EXIT 3 crash", "record ends with the crash");
}

// A server that never confirms the login still takes the password and later commands.
void TestNoLoginConfirm(const CGame& game)
{
    printf("-- no login confirmation\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_NO_LOGIN_CONFIRM", "1");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\""),
          "server starts");
    CConnection con;
    CHECK(con.Connect(15000), "connects");
    CHECK(con.Chunk(5000) == kWill, "negotiation chunk");
    con.Send(kDo);
    CHECK(!con.Chunk(5000).empty(), "greeting");
    con.Send("brindlex\r\n");
    CHECK(con.Chunk(1500).empty(), "no confirmation");
    con.Send("Quit()\r\n");
    CHECK(server.WaitExit(10000) == 0, "Quit() still obeyed");
    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(HasLine(rec, "LOGIN unconfirmed"), "record shows the unconfirmed login");
}

// The previous log stays untouched for the delay, then the new run truncates it.
void TestLogRecreateDelay(const CGame& game)
{
    printf("-- delayed log recreation\n");
    ClearEnvironment();
    const std::string old = "old header\r\n-------- START OF LOG --------\r\nINF:  old run line\r\n";
    WriteAll(game.m_strRoot + "\\DedicatedServer.log", old);
    SetEnvironmentVariableA("DQ2SIM_LOG_RECREATE_DELAY_MS", "2000");
    SetEnvironmentVariableA("DQ2SIM_CRASH_AFTER_MS", "3000");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gameoptions \"DedicatedServerUtility/Config/Coop.cfg\""), "server starts");
    const std::string pidFile = game.m_strRoot + "\\Bin\\DedicatedServer.pid";
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000; Sleep(20))
        if (GetFileAttributesA(pidFile.c_str()) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(300);
    CHECK(game.Log() == old, "old log unchanged during the delay");
    CHECK(server.WaitExit(10000) == 3, "ends by the crash switch");
    std::string now = game.Log();
    CHECK(now.find("old run line") == std::string::npos, "old content gone");
    CHECK(now.find(std::string("TRC:   Changing over to ") + kVillage) != std::string::npos,
          "start-up lines written after the recreation");
}

// No remote console, a flood of exactly N bytes of tagged lines, and timed level changes through
// the map list, all at once.
void TestFloodLevelChangesNoListen(const CGame& game)
{
    printf("-- flood, level changes, no listener\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_NO_LISTEN", "1");
    SetEnvironmentVariableA("DQ2SIM_FLOOD_BYTES", "100000");
    SetEnvironmentVariableA("DQ2SIM_LEVEL_CHANGE_MS", "700");
    SetEnvironmentVariableA("DQ2SIM_CRASH_AFTER_MS", "2500");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\""),
          "server starts");
    Sleep(500);
    CConnection con;
    CHECK(!con.Connect(1000), "no remote console");
    CHECK(server.WaitExit(10000) == 3, "ends by the crash switch");
    std::vector<std::string> log = Lines(game.Log());
    size_t floodBytes = 0, floodLines = 0;
    std::vector<std::string> levels;
    for (const std::string& line : log) {
        if (line.find(" flood ") != std::string::npos) {
            floodBytes += line.size() + 2;
            ++floodLines;
            CHECK(line.compare(0, 4, "INF:") == 0 || line.compare(0, 4, "WRN:") == 0 ||
                  line.compare(0, 4, "TRC:") == 0 || line.compare(0, 4, "ERR:") == 0, "flood lines are tagged");
        }
        if (line.compare(0, 24, "TRC:   Changing over to ") == 0)
            levels.push_back(line.substr(24));
    }
    CHECK(floodBytes == 100000, "flood wrote exactly the bytes asked for");
    CHECK(floodLines == 1563, "flood lines of 64 bytes and a short last one");
    CHECK(levels.size() >= 3 && levels[0] == kChanolin && levels[1] == kMetropolis && levels[2] == kChanolin,
          "levels change along the map list and wrap");
    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(HasLine(rec, "LISTEN off"), "record shows the listener off");
}

// The burst reaches the log as one piece: the error line, more lines, an INF line; a separate INF
// line follows later.
void TestErrorClosingBurst(const CGame& game)
{
    printf("-- error closing burst\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_ERROR_CLOSING_BURST", "1");
    SetEnvironmentVariableA("DQ2SIM_CRASH_AFTER_MS", "5500");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gameoptions \"DedicatedServerUtility/Config/Coop.cfg\""), "server starts");
    // Timed from the server's own start, so wait for the burst rather than for a fixed time.
    std::string mid;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 10000; Sleep(50)) {
        mid = game.Log();
        if (mid.find("Error closing") != std::string::npos) break;
    }
    CHECK(server.WaitExit(10000) == 3, "ends by the crash switch");
    std::string log = game.Log();
    const std::string burst = "ERR:  Error closing file handle 0x000001f4.\r\n"
                              "WRN:  Resource cache flushed after the error.\r\n"
                              "INF:  Hidden by the console after an Error closing line.\r\n";
    size_t at = mid.find(burst);
    CHECK(at != std::string::npos && at + burst.size() == mid.size(), "burst is the last thing written when it appears");
    CHECK(mid.find("INF:  Shown again after the burst.") == std::string::npos, "separate line not yet written");
    CHECK(log.find(burst + "INF:  Shown again after the burst.\r\n") != std::string::npos, "separate line follows");
}

// Quiet after start-up; the time limit ends the server by itself with exit code 4.
void TestQuietTimeLimit(const CGame& game)
{
    printf("-- quiet, time limit\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_QUIET", "1");
    SetEnvironmentVariableA("DQ2SIM_LEVEL_CHANGE_MS", "300");
    SetEnvironmentVariableA("DQ2SIM_TIME_LIMIT_MS", "1500");
    CServer server;
    CHECK(server.Start(game.m_strExe, "+gametype dm +gameoptions \"DedicatedServerUtility/Config/Proto.cfg\""),
          "server starts");
    CHECK(server.WaitExit(10000) == 4, "time limit exit code is 4");
    std::string log = game.Log();
    const std::string last = "INF:  Server is up.\r\n";
    CHECK(log.size() > last.size() && log.compare(log.size() - last.size(), last.size(), last) == 0,
          "nothing written after start-up");
    std::vector<std::string> rec = RecordOf(game.Record(), server.Pid());
    CHECK(!rec.empty() && rec.back() == "EXIT 4 time-limit", "record ends with the time limit");
}

// A Tollan and a stand-in that an earlier test left running are ended by the start-clean sweep.
void TestLeftoversEnded(const CGame& game)
{
    printf("-- leftovers ended by the sweep\n");
    ClearEnvironment();
    SetEnvironmentVariableA("DQ2SIM_NO_LISTEN", "1");
    // The stand-in under Tollan's name stands in for a Tollan, in a game folder of its own.
    const std::string other = game.m_strRoot + "\\Leftover";
    CreateDirectoryA(other.c_str(), nullptr);
    CreateDirectoryA((other + "\\Bin").c_str(), nullptr);
    CHECK(CopyFileA(game.m_strExe.c_str(), (other + "\\Bin\\Tollan.exe").c_str(), FALSE), "copied as Tollan.exe");
    CServer server, tollan;
    CHECK(server.Start(game.m_strExe, kCoopParams) && tollan.Start(other + "\\Bin\\Tollan.exe", kCoopParams),
          "both start");
    Sleep(1000);
    std::vector<std::string> ended = EndLeftoverProcesses();
    CHECK(ended.size() == 2 && HasLine(ended, "DedicatedServer.exe " + std::to_string(server.Pid())) &&
              HasLine(ended, "Tollan.exe " + std::to_string(tollan.Pid())),
          "both named as ended");
    CHECK(server.WaitExit(0) == 97 && tollan.WaitExit(0) == 97, "both ended by the sweep");
}

// ---------------------------------------------------------------- the hidden window

template <typename F>
bool WaitFor(F condition, DWORD ms)
{
    for (DWORD start = GetTickCount();; Sleep(50)) {
        if (condition()) return true;
        if (GetTickCount() - start > ms) return false;
    }
}

// Payload of the process's first record event of that kind; empty when there is none.
std::string RecordValue(const CGame& game, DWORD pid, const std::string& kind)
{
    for (const std::string& line : RecordOf(game.Record(), pid))
        if (line.compare(0, kind.size() + 1, kind + " ") == 0) return line.substr(kind.size() + 1);
    return std::string();
}

struct CWindowSearch {
    DWORD m_dwPid;
    std::vector<HWND> m_found;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam)
{
    CWindowSearch* search = reinterpret_cast<CWindowSearch*>(lParam);
    DWORD owner = 0;
    char cls[64] = "";
    GetWindowThreadProcessId(hwnd, &owner);
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (owner == search->m_dwPid && strcmp(cls, "ConsoleWindowClass") != 0) search->m_found.push_back(hwnd);
    return TRUE;
}

// Top-level windows of the process as a watcher counts them: hidden ones too, console windows not.
std::vector<HWND> WindowsOf(DWORD pid)
{
    CWindowSearch search = {pid, {}};
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
    return search.m_found;
}

// The one top-level window of the stand-in's class that the process owns, or nullptr.
HWND ServerWindowOf(DWORD pid)
{
    HWND found = nullptr;
    for (HWND hwnd : WindowsOf(pid)) {
        char cls[64] = "";
        GetClassNameA(hwnd, cls, sizeof(cls));
        if (strcmp(cls, "DQ2SimServerWindow") == 0) {
            if (found) return nullptr;
            found = hwnd;
        }
    }
    return found;
}

bool Answers(HWND hwnd, DWORD ms)
{
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(hwnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, ms, &result) != 0;
}

// A hidden top-level window of the server's own that answers WM_NULL; none with DQ2SIM_NO_WINDOW.
void TestWindow(const CGame& game)
{
    printf("-- hidden window, and none\n");
    for (bool bWindow : {true, false}) {
        ClearEnvironment();
        SetEnvironmentVariableA("DQ2SIM_NO_WINDOW", bWindow ? nullptr : "1");
        CServer server;
        CHECK(server.Start(game.m_strExe, kCoopParams), "server starts");
        std::string recorded;
        CHECK(WaitFor([&] { return !(recorded = RecordValue(game, server.Pid(), "WINDOW")).empty(); }, 10000),
              "record names the window");
        std::vector<HWND> windows = WindowsOf(server.Pid());
        if (!bWindow) {
            CHECK(recorded == "none" && windows.empty(), "no window: none recorded, none of the server's pid");
            continue;
        }
        // Wine, as Windows, gives the window's thread a hidden "Default IME" window beside it.
        HWND hwnd = ServerWindowOf(server.Pid());
        char hex[32] = "", title[64] = "";
        snprintf(hex, sizeof(hex), "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
        GetWindowTextA(hwnd, title, sizeof(title));
        CHECK(hwnd && recorded == hex && std::string(title) == "Dravic Qel 2 Dedicated Server" &&
                  GetWindowThreadProcessId(hwnd, nullptr) == server.MainThreadId(),
              "one window of its class, the one recorded, with its title, on the main thread");
        CHECK(hwnd && !IsWindowVisible(hwnd) && Answers(hwnd, 3000),
              "hidden, and it answers WM_NULL");
    }
}

// The main thread stops: the window stops answering within a few seconds. A hang silences log and
// console for good; a stall for DQ2SIM_BUSY_MS, then all goes on; a fault leaves Wine's debugger.
void TestMainThreadStops(const CGame& game)
{
    struct CCase {
        const char* m_pszSwitch;  // set to 1500 ms
        const char* m_pszEvent;
        DWORD m_dwResumesAfterMs;  // 0: never
        bool m_bSilent;            // log and console silent once it stopped answering
    };
    const CCase cases[] = {
        {"DQ2SIM_HANG_AFTER_MS", "HANG", 0, true},
        {"DQ2SIM_BUSY_AFTER_MS", "BUSY 3000", 3000, true},
        {"DQ2SIM_FAULT_AFTER_MS", "FAULT", 0, false},
    };
    for (const CCase& c : cases) {
        printf("-- %s: the window stops answering\n", c.m_pszEvent);
        ClearEnvironment();
        SetEnvironmentVariableA(c.m_pszSwitch, "1500");
        SetEnvironmentVariableA("DQ2SIM_BUSY_MS", "3000");
        SetEnvironmentVariableA("DQ2SIM_LEVEL_CHANGE_MS", "200");  // a log line every 200 ms while it runs
        CServer server;
        CHECK(server.Start(game.m_strExe, kCoopParams), "server starts");
        HWND hwnd = nullptr;
        CHECK(WaitFor([&] { return (hwnd = ServerWindowOf(server.Pid())) != nullptr; }, 10000), "window found");
        CHECK(Answers(hwnd, 3000), "answers before");
        CHECK(WaitFor([&] { return HasLine(RecordOf(game.Record(), server.Pid()), c.m_pszEvent); }, 10000),
              "event recorded");
        const DWORD seen = GetTickCount();
        const std::string logAtEvent = game.Log();
        CHECK(WaitFor([&] { return !Answers(hwnd, 500); }, 5000), "stops answering within a few seconds");
        if (c.m_bSilent) {
            CConnection con;
            CHECK(con.Connect(2000) && con.Chunk(1000).empty(), "console silent");
            CHECK(game.Log() == logAtEvent, "no log line after the event");
        }
        if (c.m_dwResumesAfterMs > 0) {
            CHECK(WaitFor([&] { return Answers(hwnd, 500); }, c.m_dwResumesAfterMs + 5000), "answers again");
            DWORD took = GetTickCount() - seen;
            printf("  answered again %lu ms after the event was seen\n", took);
            CHECK(took + 500 >= c.m_dwResumesAfterMs && took <= c.m_dwResumesAfterMs + 3000, "after the stall");
            CHECK(HasLine(RecordOf(game.Record(), server.Pid()), "BUSY_DONE"), "end of the stall recorded");
            CHECK(WaitFor([&] { return game.Log().size() > logAtEvent.size(); }, 3000), "log goes on");
        } else {
            Sleep(1000);
            CHECK(!Answers(hwnd, 500), "still not answering");
        }
        server.Kill();
        for (const std::string& process : EndLeftoverProcesses())  // winedbg behind the fault
            printf("  ended %s\n", process.c_str());
    }
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        printf("usage: ServerProtocolTest <DedicatedServer.exe> <scratch folder>\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (const std::string& process : EndLeftoverProcesses())
        printf("ended what an earlier test left running: %s\n", process.c_str());
    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);

    CGame game;
    game.m_strRoot = WinPath(argv[2]);
    std::string source = WinPath(argv[1]);
    // A fresh game folder: the server program in Bin, a script and a map list.
    const char* const folders[] = {"", "\\Bin", "\\DedicatedServerUtility", "\\DedicatedServerUtility\\Config",
                                   "\\DedicatedServerUtility\\MapLists"};
    std::string parent = game.m_strRoot.substr(0, game.m_strRoot.find_last_of('\\'));
    CreateDirectoryA(parent.c_str(), nullptr);
    for (const char* f : folders)
        CreateDirectoryA((game.m_strRoot + f).c_str(), nullptr);
    game.m_strExe = game.m_strRoot + "\\Bin\\DedicatedServer.exe";
    DeleteFileA((game.m_strRoot + "\\Bin\\DedicatedServer.record").c_str());
    DeleteFileA((game.m_strRoot + "\\DedicatedServer.log").c_str());
    if (!CopyFileA(source.c_str(), game.m_strExe.c_str(), FALSE)) {
        printf("FAIL: cannot copy %s to %s\n", source.c_str(), game.m_strExe.c_str());
        return 1;
    }
    WriteAll(game.m_strRoot + "\\DedicatedServerUtility\\Config\\Proto.cfg",
             Script("brindlex", "", "DedicatedServerUtility/MapLists/Proto.txt"));
    WriteAll(game.m_strRoot + "\\DedicatedServerUtility\\MapLists\\Proto.txt",
             std::string(kChanolin) + "\r\n" + kMetropolis + "\r\n");

    WriteAll(game.m_strRoot + "\\DedicatedServerUtility\\Config\\Coop.cfg", Script("brindlex", kVillage, ""));

    TestFullSession(game);
    TestLevelCommands(game);
    TestCrash(game);
    TestNoLoginConfirm(game);
    TestLogRecreateDelay(game);
    TestFloodLevelChangesNoListen(game);
    TestErrorClosingBurst(game);
    TestQuietTimeLimit(game);
    TestWindow(game);
    TestMainThreadStops(game);
    TestLeftoversEnded(game);

    return CheckResult();
}
