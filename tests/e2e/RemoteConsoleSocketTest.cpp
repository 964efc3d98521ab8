// Drives CRemoteConsoleSocket from a hidden window's message loop against the stand-in game
// server, and checks from the server's record the exact bytes the utility sent.
// Usage: RemoteConsoleSocketTest <demo-game folder> <scratch folder>
#include "WinTestCheck.h"
#include "WinTestFiles.h"
#include "WinTestProcesses.h"
#include "base/OwnFolder.h"
#include "server/RemoteConsole_win.h"
#include "base/Names.h"
#include "base/UtilityLog.h"
#include "server/RunMessages_win.h"

#include <atomic>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kPassword[] = "brindlex";
const char kRefused[] = "ERR:  The attempt to connect was forcefully rejected.\n";

std::string Hex(const std::string& bytes)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    for (unsigned char c : bytes) {
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// ---------------------------------------------------------------- the stand-in server

class CServer : public CChildProcess {
public:
    explicit CServer(std::string root) : m_strRoot(std::move(root)) {}

    bool Start(const char* envName)
    {
        SetEnvironmentVariableA("DQ2SIM_TIME_LIMIT_MS", "60000");
        if (envName) SetEnvironmentVariableA(envName, "1");
        std::string cmd = "\"" + m_strRoot + "\\Bin\\DedicatedServer.exe\" +gameoptions "
                          "\"DedicatedServerUtility/Config/SocketTest.cfg\"";
        bool ok = CChildProcess::Start(cmd);
        if (envName) SetEnvironmentVariableA(envName, nullptr);
        return ok;
    }

    // Record lines of this process, without the leading process id.
    std::vector<std::string> Record() const
    {
        std::vector<std::string> out;
        std::string prefix = std::to_string(m_pi.dwProcessId) + " ";
        for (const std::string& line : Lines(ReadAll(m_strRoot + "\\Bin\\DedicatedServer.record")))
            if (line.compare(0, prefix.size(), prefix) == 0)
                out.push_back(line.substr(prefix.size()));
        return out;
    }
    bool HasRecord(const std::string& wanted) const
    {
        for (const std::string& line : Record())
            if (line == wanted) return true;
        return false;
    }
    std::vector<std::string> Received() const
    {
        std::vector<std::string> out;
        for (const std::string& line : Record())
            if (line.compare(0, 5, "RECV ") == 0) out.push_back(line.substr(5));
        return out;
    }

private:
    std::string m_strRoot;
};

// ---------------------------------------------------------------- the window side

class COwner : public CRemoteConsoleOwner {
public:
    std::string GetRemoteConsolePassword() override
    {
        ++m_nPasswordAsked;
        return kPassword;
    }
    void OnRemoteConsoleLoggedIn() override { m_bLoggedIn = true; ++m_nLoggedInCalls; }
    // What the runner would show the user.
    void OnRemoteConsoleError(const char* text) override { m_errors.push_back(text); }

    std::atomic<bool> m_bLoggedIn{false};
    int m_nLoggedInCalls = 0;
    int m_nPasswordAsked = 0;
    std::vector<std::string> m_errors;
};

std::unique_ptr<CRemoteConsoleSocket> g_pSocket;
std::function<void()> g_onTimer;

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_TIMER) {
        KillTimer(hwnd, w);
        if (g_onTimer) g_onTimer();
        return 0;
    }
    if (msg == WM_APP_SOCKET) {
        if (g_pSocket) g_pSocket->OnSocketMessage(w, l);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

HWND CreateHiddenWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "RemoteConsoleSocketTest";
    RegisterClassA(&wc);
    return CreateWindowA(wc.lpszClassName, "socket test", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                         wc.hInstance, nullptr);
}

// Runs the message loop until `done` holds or the time is up.
bool PumpUntil(const std::function<bool()>& done, DWORD ms)
{
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start > ms)
            return false;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
    return true;
}

bool WaitRecord(const CServer& server, const std::string& wanted, DWORD ms)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        if (server.HasRecord(wanted)) return true;
        Sleep(50);
    }
    return false;
}

// Our server listens once the port is free; someone else's test may hold it for a while.
bool WaitListening(const CServer& server)
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 40000) {
        if (server.HasRecord("LISTEN ok")) return true;
        if (server.HasRecord("LISTEN failed")) return false;
        Sleep(50);
    }
    return false;
}

bool StartListening(CServer& server, const char* envName)
{
    bool started = server.Start(envName);
    CHECK(started, "server starts");
    bool listening = started && WaitListening(server);
    CHECK(listening, "server listens on 25600");
    return listening;
}

std::string g_strGame;
HWND g_hWnd = nullptr;

const std::string kDo = "\xff\xfd\x01\xff\xfd\x03";

// ---------------------------------------------------------------- cases

// Before WSAStartup no socket can be made: the attempt is refused and logged, no object is kept.
void TestSocketCannotBeCreated()
{
    printf("-- socket creation fails before WSAStartup\n");
    COwner owner;
    std::unique_ptr<CRemoteConsoleSocket> socket;
    bool begun = CRemoteConsoleSocket::ConnectToServer(socket, g_hWnd, &owner);
    CHECK(!begun, "no attempt has begun");
    CHECK(!socket, "the failed object is not kept");
    std::string log = ReadAll(UtilityLogPath());
    CHECK(log.find("ERR:  Could not create new socket") != std::string::npos, "failure logged");
    CHECK(log.find("Could not create new socket\r\n") == std::string::npos, "logged without a line break");
    CHECK(log.find("Connecting to server") == std::string::npos, "no connecting line");
}

// Negotiation, password and a command after the login, byte for byte as the server received them.
void TestLogin()
{
    printf("-- login, then a command\n");
    CServer server(g_strGame);
    if (!StartListening(server, nullptr))
        return;

    COwner owner;
    CHECK(CRemoteConsoleSocket::ConnectToServer(g_pSocket, g_hWnd, &owner), "attempt begun");
    CHECK(ReadAll(UtilityLogPath()).find("INF:  Connecting to server...\r\n") != std::string::npos,
          "connecting line logged");
    CHECK(PumpUntil([&] { return owner.m_bLoggedIn.load(); }, 15000), "owner told: logged in");
    CHECK(g_pSocket && g_pSocket->IsLoggedIn(), "socket reports logged in");
    CHECK(owner.m_nLoggedInCalls == 1, "told once");

    g_pSocket->SendText("qelListPlayers()\r\n");
    CHECK(WaitRecord(server, "CMD qelListPlayers()", 5000), "command arrives after the login");
    // Whatever the server says now stays unread; the loop keeps running meanwhile.
    PumpUntil([] { return false; }, 500);

    std::vector<std::string> recv = server.Received();
    CHECK(recv.size() == 3, "three sends reached the server");
    CHECK(recv.size() > 0 && recv[0] == Hex(kDo), "IAC DO 1 IAC DO 3 in one send");
    CHECK(recv.size() > 1 && recv[1] == Hex("brindlex\r\n"), "password line in one send");
    CHECK(recv.size() > 2 && recv[2] == Hex("qelListPlayers()\r\n"), "command in one send");
    CHECK(server.HasRecord("PASSWORD brindlex\\r\\n"), "server saw the password line");
    CHECK(server.HasRecord("LOGIN ok"), "server accepted the login");
    // The confirming chunk must not bring the password out again as a console command.
    CHECK(!server.HasRecord("CMD brindlex"), "password not repeated after the login");
    CHECK(ReadAll(g_strGame + "\\DedicatedServer.log").find("brindlex") == std::string::npos,
          "password not in the server log");

    g_pSocket->SendText("Quit()\r\n");
    CHECK(server.WaitExit(10000) == 0, "server quits on Quit()");
    g_pSocket.reset();
}

// The right password accepted without the confirmation line: never logged in.
void TestNoConfirmation()
{
    printf("-- login never confirmed\n");
    CServer server(g_strGame);
    if (!StartListening(server, "DQ2SIM_NO_LOGIN_CONFIRM"))
        return;

    COwner owner;
    CHECK(CRemoteConsoleSocket::ConnectToServer(g_pSocket, g_hWnd, &owner), "attempt begun");
    CHECK(PumpUntil([&] { return server.HasRecord("LOGIN unconfirmed"); }, 15000), "password reached the server");
    PumpUntil([] { return false; }, 2000);
    CHECK(!owner.m_bLoggedIn && owner.m_nLoggedInCalls == 0, "owner never told: logged in");
    CHECK(g_pSocket && !g_pSocket->IsLoggedIn(), "socket not logged in");
    std::vector<std::string> recv = server.Received();
    CHECK(recv.size() == 2, "answer and password only");
    CHECK(recv.size() > 1 && recv[0] == Hex(kDo) && recv[1] == Hex("brindlex\r\n"), "exact bytes");
    g_pSocket.reset();
    server.Kill();
}

// No remote console: the connected notification brings 10061, told to the owner, not logged.
void TestRefused()
{
    printf("-- connection refused\n");
    CServer server(g_strGame);
    bool started = server.Start("DQ2SIM_NO_LISTEN");
    CHECK(started, "server starts");
    bool off = started && WaitRecord(server, "LISTEN off", 15000);
    CHECK(off, "server does not listen");
    if (!off)
        return;

    COwner owner;
    CHECK(CRemoteConsoleSocket::ConnectToServer(g_pSocket, g_hWnd, &owner), "attempt begun");
    CHECK(PumpUntil([&] { return !owner.m_errors.empty(); }, 10000), "the owner is told");
    PumpUntil([] { return false; }, 1000);
    CHECK(owner.m_errors == std::vector<std::string>{kRefused}, "told once, of the refusal");
    CHECK(ReadAll(UtilityLogPath()).find("forcefully rejected") == std::string::npos, "refusal not in the log");
    CHECK(!owner.m_bLoggedIn && owner.m_nPasswordAsked == 0, "no login");
    g_pSocket.reset();
    server.Kill();
}

// A connected notification with an error of the table, queued ahead of the real ones, is told and
// changes nothing: the login runs with the exact bytes afterwards.
void TestErrorAheadOfTheLogin()
{
    printf("-- an error notification ahead of the login\n");
    CServer server(g_strGame);
    if (!StartListening(server, nullptr))
        return;

    COwner owner;
    g_pSocket.reset(new CRemoteConsoleSocket(g_hWnd, &owner));
    CHECK(g_pSocket->Create(), "socket created");
    PostMessageA(g_hWnd, WM_APP_SOCKET, static_cast<WPARAM>(g_pSocket->GetSocket()),
                 WSAMAKESELECTREPLY(FD_CONNECT, WSAEADDRINUSE));
    g_pSocket->Connect(kRemoteConsoleAddress, kRemoteConsolePort);

    CHECK(PumpUntil([&] { return owner.m_bLoggedIn.load(); }, 15000), "login completes");
    CHECK(owner.m_errors == std::vector<std::string>{"ERR:  The specified address is already in use.\n"},
          "told of 10048 once");
    std::vector<std::string> recv = server.Received();
    CHECK(recv.size() == 2 && recv[0] == Hex(kDo) && recv[1] == Hex("brindlex\r\n"), "exact bytes afterwards");
    g_pSocket.reset();
    server.Kill();
}

// The owner replaces the connection after its error (as a restart after a crash does): the old
// object is gone without a word more, and the new connection logs in.
void TestReplacedAfterAnError()
{
    printf("-- connection replaced after its error\n");
    CServer server(g_strGame);
    if (!StartListening(server, nullptr))
        return;

    COwner oldOwner, newOwner;
    g_pSocket.reset(new CRemoteConsoleSocket(g_hWnd, &oldOwner));
    CHECK(g_pSocket->Create(), "socket created");
    PostMessageA(g_hWnd, WM_APP_SOCKET, static_cast<WPARAM>(g_pSocket->GetSocket()),
                 WSAMAKESELECTREPLY(FD_CONNECT, WSAETIMEDOUT));
    g_onTimer = [&] { CRemoteConsoleSocket::ConnectToServer(g_pSocket, g_hWnd, &newOwner); };
    SetTimer(g_hWnd, 1, 300, nullptr);

    CHECK(PumpUntil([&] { return newOwner.m_bLoggedIn.load(); }, 15000), "the new connection logged in");
    PumpUntil([] { return false; }, 500);
    g_onTimer = nullptr;
    CHECK(oldOwner.m_errors ==
              std::vector<std::string>{"ERR:  The attempt to connect timed out without establishing a connection.\n"},
          "the old one told of 10060 once");
    CHECK(!oldOwner.m_bLoggedIn && oldOwner.m_nPasswordAsked == 0 && newOwner.m_errors.empty(),
          "the old connection did nothing more");
    std::vector<std::string> recv = server.Received();
    CHECK(recv.size() == 2 && recv[0] == Hex(kDo) && recv[1] == Hex("brindlex\r\n"), "exact bytes of the new one");
    g_pSocket.reset();
    server.Kill();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        printf("usage: RemoteConsoleSocketTest <demo-game folder> <scratch folder>\n");
        return 2;
    }
    setvbuf(stdout, nullptr, _IONBF, 0);
    for (const std::string& process : EndLeftoverProcesses())
        printf("ended what an earlier test left running: %s\n", process.c_str());
    std::string scratch = WinPath(argv[2]);
    MakeDirectories(scratch);
    SetOwnFolder(scratch);
    DeleteFileA(UtilityLogPath().c_str());

    g_strGame = scratch + "\\game";
    CHECK(CopyTree(WinPath(argv[1]), g_strGame), "demo game copied");
    DeleteFileA((g_strGame + "\\Bin\\DedicatedServer.record").c_str());
    CreateDirectoryA((g_strGame + "\\DedicatedServerUtility").c_str(), nullptr);
    CreateDirectoryA((g_strGame + "\\DedicatedServerUtility\\Config").c_str(), nullptr);
    CHECK(WriteAll(g_strGame + "\\DedicatedServerUtility\\Config\\SocketTest.cfg",
                   "rcts_strAdminPassword = \"brindlex\";\r\n"),
          "options script written");

    g_hWnd = CreateHiddenWindow();
    CHECK(g_hWnd != nullptr, "hidden window");

    TestSocketCannotBeCreated();

    WSADATA wsa;
    CHECK(WSAStartup(MAKEWORD(1, 1), &wsa) == 0, "WSAStartup 1.1");
    TestLogin();
    TestNoConfirmation();
    TestRefused();
    TestErrorAheadOfTheLogin();
    TestReplacedAfterAnError();
    g_pSocket.reset();
    WSACleanup();

    return CheckResult();
}
