// Stand-in for the game's dedicated server program: reads an options script, writes a server log,
// offers the remote console on 127.0.0.1:25600 and obeys its commands. Written for tests of the
// utility; every observable step is also appended to Bin\DedicatedServer.record (see README.md).
// As in the game, the main thread owns a hidden window and pumps its messages while the game
// (console, log, timed events) runs on a thread of its own; the main thread can be made to hang,
// fault or stall so that a watcher sees a server that is not responding.
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace {

const unsigned short kConsolePort = 25600;
const DWORD kDefaultTimeLimitMs = 120000;
const DWORD kDefaultBusyMs = 5000;
const DWORD kBindRetryMs = 250;
const DWORD kBindGiveUpMs = 30000;
const DWORD kBurstAtMs = 3000;       // after start-up, so the follower has caught up and reads it whole
const DWORD kAfterBurstMs = 2000;    // the separate line that follows the burst
const int kMaxWrongPasswords = 3;

const unsigned char IAC = 255, SB = 250, SE = 240, WILL = 251;

std::string g_strGameFolder;  // without trailing backslash
std::string g_strBinFolder;
DWORD g_dwPid = 0;
DWORD g_dwStartTick = 0;
CRITICAL_SECTION g_csRecord;
// Held by the game thread for each of its steps and by the flood for each write. The main thread
// takes it to hang or stall the whole server at once, as a game stuck in its main loop would.
CRITICAL_SECTION g_csGameStep;

DWORD Elapsed() { return GetTickCount() - g_dwStartTick; }

std::string EnvString(const char* pszName)
{
    char buf[1024];
    DWORD n = GetEnvironmentVariableA(pszName, buf, sizeof(buf));
    if (n == 0 || n >= sizeof(buf))
        return std::string();
    return std::string(buf, n);
}

// Missing or malformed values give the default; negative values are treated as missing.
unsigned long long EnvNumber(const char* pszName, unsigned long long ullDefault)
{
    std::string s = EnvString(pszName);
    if (s.empty())
        return ullDefault;
    char* end = nullptr;
    unsigned long long v = strtoull(s.c_str(), &end, 10);
    if (end == s.c_str() || *end != '\0' || s[0] == '-')
        return ullDefault;
    return v;
}

// Set and not "0".
bool EnvFlag(const char* pszName)
{
    std::string s = EnvString(pszName);
    return !s.empty() && s != "0";
}

std::string Hex(const char* p, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(n * 2);
    for (size_t i = 0; i < n; ++i) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        out += digits[c >> 4];
        out += digits[c & 15];
    }
    return out;
}

// Printable ASCII stays; backslash and every other byte become C-style escapes.
std::string Escape(const std::string& s)
{
    std::string out;
    for (unsigned char c : s) {
        char buf[8];
        if (c == '\\') out += "\\\\";
        else if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n";
        else if (c == '\t') out += "\\t";
        else if (c >= 32 && c < 127) out += static_cast<char>(c);
        else { snprintf(buf, sizeof(buf), "\\x%02x", c); out += buf; }
    }
    return out;
}

std::string Trim(const std::string& s)
{
    size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos)
        return std::string();
    size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

std::string GamePath(const std::string& strRelative)
{
    std::string path = g_strGameFolder + "\\" + strRelative;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

// ---------------------------------------------------------------- record for tests

void Record(const char* pszKind, const std::string& strPayload)
{
    std::string line = std::to_string(g_dwPid) + " " + pszKind;
    if (!strPayload.empty())
        line += " " + strPayload;
    line += "\r\n";
    EnterCriticalSection(&g_csRecord);
    HANDLE h = CreateFileA((g_strBinFolder + "\\DedicatedServer.record").c_str(), FILE_APPEND_DATA,
                           FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE) {
        SetFilePointer(h, 0, nullptr, FILE_END);
        DWORD written = 0;
        WriteFile(h, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        CloseHandle(h);
    }
    LeaveCriticalSection(&g_csRecord);
}

// ---------------------------------------------------------------- server log

class CServerLog {
public:
    CServerLog() { InitializeCriticalSection(&m_cs); }

    // With bDeferred the previous run's file stays untouched and lines wait in memory until Open().
    void Begin(bool bDeferred)
    {
        m_bDeferred = bDeferred;
        if (!bDeferred)
            Open();
    }

    void Open()
    {
        EnterCriticalSection(&m_cs);
        std::string path = g_strGameFolder + "\\DedicatedServer.log";
        // The utility reads the log while it is written, so both kinds of sharing are allowed.
        for (int attempt = 0; attempt < 40; ++attempt) {
            m_hFile = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
            if (m_hFile != INVALID_HANDLE_VALUE)
                break;
            Sleep(50);
        }
        if (m_hFile == INVALID_HANDLE_VALUE)
            Record("LOG_OPEN_FAILED", std::to_string(GetLastError()));
        m_bDeferred = false;
        std::string pending;
        pending.swap(m_strPending);
        if (!pending.empty())
            WriteBytes(pending);
        LeaveCriticalSection(&m_cs);
    }

    // Everything after start-up is dropped when the server was asked to stay quiet.
    void Silence()
    {
        EnterCriticalSection(&m_cs);
        m_bSilent = true;
        LeaveCriticalSection(&m_cs);
    }

    void Line(const std::string& strLine) { Raw(strLine + "\r\n"); }

    // One write call per text, so a burst reaches the file in one piece.
    void Raw(const std::string& strText)
    {
        EnterCriticalSection(&m_cs);
        if (!m_bSilent) {
            if (m_bDeferred)
                m_strPending += strText;
            else
                WriteBytes(strText);
        }
        LeaveCriticalSection(&m_cs);
    }

private:
    void WriteBytes(const std::string& s)
    {
        if (m_hFile == INVALID_HANDLE_VALUE)
            return;
        DWORD written = 0;
        // WriteFile is unbuffered in user space: each line is in the file when the call returns.
        WriteFile(m_hFile, s.data(), static_cast<DWORD>(s.size()), &written, nullptr);
    }

    CRITICAL_SECTION m_cs;
    HANDLE m_hFile = INVALID_HANDLE_VALUE;
    bool m_bDeferred = false;
    bool m_bSilent = false;
    std::string m_strPending;
};

CServerLog g_log;

[[noreturn]] void ExitServer(UINT uCode, const char* pszWhy)
{
    Record("EXIT", std::to_string(uCode) + (pszWhy ? std::string(" ") + pszWhy : std::string()));
    DeleteFileA((g_strBinFolder + "\\DedicatedServer.pid").c_str());
    ExitProcess(uCode);
}

// ---------------------------------------------------------------- options script and levels

// "name = value;" lines; quoted values lose their quotes (inner quotes are kept as they are).
bool ParseAssignment(const std::string& strLine, std::string& strName, std::string& strValue)
{
    std::string line = Trim(strLine);
    size_t eq = line.find('=');
    if (line.empty() || line[0] == '[' || line.compare(0, 2, "//") == 0 || eq == std::string::npos)
        return false;
    strName = Trim(line.substr(0, eq));
    std::string value = Trim(line.substr(eq + 1));
    if (!value.empty() && value.back() == ';')
        value = Trim(value.substr(0, value.size() - 1));
    if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
        value = value.substr(1, value.size() - 2);
    strValue = value;
    return !strName.empty();
}

bool ReadTextFile(const std::string& strPath, std::string& strOut)
{
    HANDLE h = CreateFileA(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    strOut.clear();
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        strOut.append(buf, got);
    CloseHandle(h);
    return true;
}

std::vector<std::string> SplitLines(const std::string& strText)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < strText.size()) {
        size_t nl = strText.find('\n', start);
        if (nl == std::string::npos) nl = strText.size();
        lines.push_back(strText.substr(start, nl - start));
        start = nl + 1;
    }
    return lines;
}

struct CGameState {
    bool m_bDeathmatch = false;
    std::map<std::string, std::string> m_options;
    std::string m_strScript;         // relative path as given
    std::string m_strNextScript;     // set from the console, used at the next restart
    std::vector<std::string> m_rotation;
    size_t m_iRotation = 0;
    std::string m_strLevel;
    bool m_bPaused = false;

    std::string Option(const char* pszName) const
    {
        auto it = m_options.find(pszName);
        return it == m_options.end() ? std::string() : it->second;
    }
};

CGameState g_game;

bool LoadOptionsScript(const std::string& strRelative)
{
    Record("SCRIPT", strRelative);
    std::string text;
    if (!ReadTextFile(GamePath(strRelative), text)) {
        Record("SCRIPT_MISSING", strRelative);
        g_log.Line("ERR:  Cannot open options script \"" + strRelative + "\".");
        return false;
    }
    g_log.Line("INF:  Executing options script \"" + strRelative + "\".");
    g_game.m_options.clear();
    for (const std::string& line : SplitLines(text)) {
        std::string name, value;
        if (ParseAssignment(line, name, value))
            g_game.m_options[name] = value;
    }
    g_game.m_strScript = strRelative;
    return true;
}

// Level order for qelNextMap and timed changes: DQ2SIM_LEVELS (";"-separated) first, then the map
// list file of the script; without either the server stays on its level.
void LoadRotation()
{
    g_game.m_rotation.clear();
    g_game.m_iRotation = 0;
    std::string levels = EnvString("DQ2SIM_LEVELS");
    if (!levels.empty()) {
        size_t start = 0;
        while (start <= levels.size()) {
            size_t semi = levels.find(';', start);
            if (semi == std::string::npos) semi = levels.size();
            std::string one = Trim(levels.substr(start, semi - start));
            if (!one.empty()) g_game.m_rotation.push_back(one);
            start = semi + 1;
        }
        return;
    }
    std::string listFile = g_game.Option("qel_strMapListFile");
    if (listFile.empty())
        return;
    std::string text;
    if (!ReadTextFile(GamePath(listFile), text)) {
        g_log.Line("WRN:  Cannot open map list \"" + listFile + "\".");
        return;
    }
    for (const std::string& line : SplitLines(text)) {
        std::string level = Trim(line);
        if (!level.empty())
            g_game.m_rotation.push_back(level);
    }
    g_log.Line("INF:  Map list \"" + listFile + "\" holds " + std::to_string(g_game.m_rotation.size()) + " levels.");
}

void ChangeLevel(const std::string& strLevel)
{
    g_game.m_strLevel = strLevel;
    g_game.m_bPaused = false;
    Record("LEVEL", strLevel);
    g_log.Line("INF:  Loading level...");
    g_log.Line("TRC:   Changing over to " + strLevel);
    g_log.Line("INF:  Level started, waiting for players.");
}

// The level of a (re)start: the script's starting level, or in deathmatch the first listed map.
void StartSession()
{
    LoadRotation();
    std::string level = g_game.Option("qel_strLevelToStart");
    if (level.empty() && !g_game.m_rotation.empty())
        level = g_game.m_rotation[0];
    else {
        for (size_t i = 0; i < g_game.m_rotation.size(); ++i)
            if (g_game.m_rotation[i] == level) { g_game.m_iRotation = i; break; }
    }
    if (level.empty()) {
        g_log.Line("ERR:  No level to start.");
        Record("LEVEL_NONE", std::string());
        return;
    }
    ChangeLevel(level);
}

void NextMap()
{
    if (g_game.m_rotation.empty()) {
        g_log.Line("WRN:  No map list; staying on the current level.");
        if (!g_game.m_strLevel.empty())
            ChangeLevel(g_game.m_strLevel);
        return;
    }
    g_game.m_iRotation = (g_game.m_iRotation + 1) % g_game.m_rotation.size();
    ChangeLevel(g_game.m_rotation[g_game.m_iRotation]);
}

// ---------------------------------------------------------------- remote console

struct CClient {
    SOCKET m_socket = INVALID_SOCKET;
    int m_iPort = 0;
    enum { NEGOTIATING, PASSWORD, LOGGED_IN } m_state = NEGOTIATING;
    int m_iTelnet = 0;          // 0 text, 1 after IAC, 2 after IAC verb, 3 in SB, 4 in SB after IAC
    std::string m_strRawLine;   // bytes of the current line as received, telnet commands included
    std::string m_strLine;      // its text
    bool m_bAfterCR = false;
    int m_iWrongPasswords = 0;
};

std::vector<CClient> g_clients;
SOCKET g_listen = INVALID_SOCKET;

void SendChunk(CClient& client, const std::string& strBytes)
{
    // One send per chunk: the utility counts greeting lines per received chunk.
    send(client.m_socket, strBytes.data(), static_cast<int>(strBytes.size()), 0);
}

void CloseClient(CClient& client, const char* pszWhy)
{
    if (client.m_socket == INVALID_SOCKET)
        return;
    Record("CLOSE", std::to_string(client.m_iPort) + " " + pszWhy);
    closesocket(client.m_socket);
    client.m_socket = INVALID_SOCKET;
}

void QuitServer()
{
    g_log.Line("INF:  Quit() received; shutting down.");
    g_log.Line("INF:  Server stopped.");
    for (CClient& client : g_clients)
        CloseClient(client, "quit");
    ExitServer(0, "quit");
}

void RunCommand(const std::string& strLine)
{
    Record("CMD", Escape(strLine));
    std::string cmd = Trim(strLine);
    std::string name, value;
    if (cmd == "Quit()") {
        QuitServer();
    } else if (cmd == "qelRestartServer()") {
        g_log.Line("INF:  Restarting server...");
        if (!g_game.m_strNextScript.empty()) {
            std::string next;
            next.swap(g_game.m_strNextScript);
            LoadOptionsScript(next);
            StartSession();
        } else if (!g_game.m_strLevel.empty()) {
            ChangeLevel(g_game.m_strLevel);
        } else {
            StartSession();
        }
    } else if (cmd == "qelNextMap()") {
        g_log.Line("INF:  Moving on to the next map.");
        NextMap();
    } else if (cmd == "qelPauseGame()") {
        g_game.m_bPaused = !g_game.m_bPaused;
        g_log.Line(g_game.m_bPaused ? "INF:  Game paused." : "INF:  Game unpaused.");
    } else if (cmd == "qelListPlayers()") {
        g_log.Line("INF:  Players on server: 0");
        g_log.Line("INF:  (no players connected)");
    } else if (ParseAssignment(cmd, name, value) && name == "qel_strOptionsScript") {
        g_game.m_strNextScript = value;
        Record("NEXT_SCRIPT", value);
        g_log.Line("INF:  Options script for the next session: \"" + value + "\".");
    } else if (ParseAssignment(cmd, name, value)) {
        g_game.m_options[name] = value;
        g_log.Line("INF:  " + name + " = " + value);
    } else if (!cmd.empty()) {
        g_log.Line("INF:  Console: " + cmd);
    }
}

void CheckPassword(CClient& client, const std::string& strRaw, const std::string& strText)
{
    Record("PASSWORD", Escape(strRaw));
    std::string admin = g_game.Option("rcts_strAdminPassword");
    if (!admin.empty() && strText == admin) {
        client.m_state = CClient::LOGGED_IN;
        g_log.Line("INF:  Remote console login from 127.0.0.1:" + std::to_string(client.m_iPort) + ".");
        if (EnvFlag("DQ2SIM_NO_LOGIN_CONFIRM")) {
            Record("LOGIN", "unconfirmed");
            return;
        }
        Record("LOGIN", "ok");
        // The first line ends in a bare LF: that is what the utility recognises.
        SendChunk(client, "Telnet connection from 127.0.0.1:" + std::to_string(client.m_iPort) + "\n");
        return;
    }
    Record("LOGIN", "wrong");
    g_log.Line("WRN:  Wrong remote console password from 127.0.0.1:" + std::to_string(client.m_iPort) + ".");
    SendChunk(client, "Wrong password.\r\n");
    if (++client.m_iWrongPasswords >= kMaxWrongPasswords)
        CloseClient(client, "wrong-passwords");
}

void LineComplete(CClient& client)
{
    std::string raw, text;
    raw.swap(client.m_strRawLine);
    text.swap(client.m_strLine);
    if (client.m_state == CClient::PASSWORD)
        CheckPassword(client, raw, text);
    else if (client.m_state == CClient::LOGGED_IN)
        RunCommand(text);
}

void TextByte(CClient& client, char c)
{
    // Lines end in LF (a CR before it is dropped) or in the telnet form CR NUL.
    if (c == '\n') {
        client.m_bAfterCR = false;
        LineComplete(client);
        return;
    }
    if (c == '\0' && client.m_bAfterCR) {
        client.m_bAfterCR = false;
        LineComplete(client);
        return;
    }
    if (client.m_bAfterCR)
        client.m_strLine += '\r';
    client.m_bAfterCR = (c == '\r');
    if (!client.m_bAfterCR && c != '\0')
        client.m_strLine += c;
}

void ReceiveBytes(CClient& client, const char* p, int n)
{
    Record("RECV", Hex(p, static_cast<size_t>(n)));
    if (client.m_state == CClient::NEGOTIATING) {
        client.m_state = CClient::PASSWORD;
        SendChunk(client,
                  "Dravic Qel 2 Dedicated Server\r\n"
                  "Remote console (Morvane engine build 4417)\r\n"
                  "\r\n"
                  "Only the server administrator may log in here.\r\n"
                  "Every command is one line.\r\n"
                  "Password:\r\n");
    }
    for (int i = 0; i < n && client.m_socket != INVALID_SOCKET; ++i) {
        unsigned char b = static_cast<unsigned char>(p[i]);
        client.m_strRawLine += static_cast<char>(b);
        switch (client.m_iTelnet) {
        case 0:
            if (b == IAC) client.m_iTelnet = 1;
            else TextByte(client, static_cast<char>(b));
            break;
        case 1:
            if (b == IAC) { client.m_iTelnet = 0; TextByte(client, static_cast<char>(b)); }
            else if (b >= WILL) client.m_iTelnet = 2;
            else if (b == SB) client.m_iTelnet = 3;
            else client.m_iTelnet = 0;
            break;
        case 2:
            client.m_iTelnet = 0;
            break;
        case 3:
            if (b == IAC) client.m_iTelnet = 4;
            break;
        default:
            client.m_iTelnet = (b == SE) ? 0 : 3;
            break;
        }
    }
    // Telnet answers before the password are not part of the password line.
    if (client.m_state == CClient::PASSWORD && client.m_strLine.empty() && !client.m_bAfterCR &&
        client.m_iTelnet == 0)
        client.m_strRawLine.clear();
}

bool TryListen()
{
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET)
        return false;
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(kConsolePort);
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || listen(s, 4) != 0) {
        closesocket(s);
        return false;
    }
    g_listen = s;
    return true;
}

void AcceptClient()
{
    sockaddr_in peer = {};
    int len = sizeof(peer);
    SOCKET s = accept(g_listen, reinterpret_cast<sockaddr*>(&peer), &len);
    if (s == INVALID_SOCKET)
        return;
    // Reset on close: no TIME_WAIT on port 25600 to hold up the next server's bind.
    linger lg = {1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&lg), sizeof(lg));
    BOOL noDelay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&noDelay), sizeof(noDelay));
    CClient client;
    client.m_socket = s;
    client.m_iPort = ntohs(peer.sin_port);
    Record("ACCEPT", std::to_string(client.m_iPort));
    g_log.Line("INF:  Remote console connection from 127.0.0.1:" + std::to_string(client.m_iPort) + ".");
    const char will[] = {static_cast<char>(IAC), static_cast<char>(WILL), 1,
                         static_cast<char>(IAC), static_cast<char>(WILL), 3};
    SendChunk(client, std::string(will, sizeof(will)));
    g_clients.push_back(client);
}

// ---------------------------------------------------------------- flood

struct CFlood {
    unsigned long long m_ullBytes;
    unsigned long long m_ullPerSec;
};

DWORD WINAPI FloodThread(LPVOID pParam)
{
    CFlood flood = *static_cast<CFlood*>(pParam);
    const size_t kLine = 64;
    unsigned long long done = 0, number = 0;
    DWORD start = GetTickCount();
    std::string batch;
    while (done < flood.m_ullBytes) {
        // Paced: never ahead of the rate; unpaced: batches of whole lines, about 4 KB each.
        if (flood.m_ullPerSec > 0) {
            unsigned long long allowed = flood.m_ullPerSec * (GetTickCount() - start) / 1000 + kLine;
            if (done >= allowed) { Sleep(10); continue; }
        }
        batch.clear();
        while (batch.size() < 4096 && done + batch.size() < flood.m_ullBytes) {
            unsigned long long left = flood.m_ullBytes - done - batch.size();
            size_t len = kLine;
            if (left < kLine + 8) len = static_cast<size_t>(left);  // the last line takes the rest
            static const char* const tags[] = {"INF:", "WRN:", "TRC:", "ERR:"};
            char head[48];
            int h = snprintf(head, sizeof(head), "%s flood %08llu ", tags[number % 4], number);
            ++number;
            std::string line(head, static_cast<size_t>(h));
            if (len < line.size() + 2) line.resize(len >= 2 ? len - 2 : 0);
            while (line.size() + 2 < len) line += static_cast<char>('a' + line.size() % 26);
            line += std::string("\r\n").substr(0, len - line.size());
            batch += line;
            if (flood.m_ullPerSec > 0) break;
        }
        EnterCriticalSection(&g_csGameStep);
        g_log.Raw(batch);
        LeaveCriticalSection(&g_csGameStep);
        done += batch.size();
    }
    Record("FLOOD_DONE", std::to_string(done) + " " + std::to_string(GetTickCount() - start) + "ms");
    return 0;
}

// ---------------------------------------------------------------- start-up

// Splits the parameters the way the game does: blanks separate words, double quotes group them.
std::vector<std::string> SplitArguments(const std::string& strArgs)
{
    std::vector<std::string> words;
    std::string word;
    bool inQuotes = false, any = false;
    for (char c : strArgs) {
        if (c == '"') { inQuotes = !inQuotes; any = true; }
        else if ((c == ' ' || c == '\t') && !inQuotes) {
            if (any) words.push_back(word);
            word.clear();
            any = false;
        } else { word += c; any = true; }
    }
    if (any) words.push_back(word);
    return words;
}

std::string ArgumentsOfCommandLine()
{
    std::string line = GetCommandLineA();
    size_t i = 0;
    if (!line.empty() && line[0] == '"') {
        size_t close = line.find('"', 1);
        i = close == std::string::npos ? line.size() : close + 1;
    } else {
        while (i < line.size() && line[i] != ' ' && line[i] != '\t') ++i;
    }
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    return line.substr(i);
}

void FindFolders()
{
    char path[MAX_PATH * 2];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
    std::string exe(path, n);
    size_t slash = exe.find_last_of("\\/");
    g_strBinFolder = slash == std::string::npos ? std::string(".") : exe.substr(0, slash);
    slash = g_strBinFolder.find_last_of("\\/");
    g_strGameFolder = slash == std::string::npos ? std::string(".") : g_strBinFolder.substr(0, slash);
}

void WritePidFile()
{
    HANDLE h = CreateFileA((g_strBinFolder + "\\DedicatedServer.pid").c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return;
    std::string text = std::to_string(g_dwPid) + "\r\n";
    DWORD written = 0;
    WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
}

std::string TimeStamp()
{
    SYSTEMTIME st;
    GetLocalTime(&st);
    char buf[64];
    snprintf(buf, sizeof(buf), "%04u-%02u-%02u %02u:%02u:%02u", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute,
             st.wSecond);
    return buf;
}

// ---------------------------------------------------------------- game thread

std::string g_strArgs;  // parameters as received, without the program

unsigned long long TimeLimitMs() { return EnvNumber("DQ2SIM_TIME_LIMIT_MS", kDefaultTimeLimitMs); }

// Start-up, then the remote console and every timed behaviour of the game: one step per pass,
// each under g_csGameStep.
DWORD WINAPI GameThread(LPVOID)
{
    EnterCriticalSection(&g_csGameStep);
    std::string script;
    std::vector<std::string> words = SplitArguments(g_strArgs);
    std::vector<std::string> unknown;
    for (size_t i = 0; i < words.size(); ++i) {
        if (words[i] == "+gametype" && i + 1 < words.size())
            g_game.m_bDeathmatch = (words[++i] == "dm");
        else if (words[i] == "+gameoptions" && i + 1 < words.size())
            script = words[++i];
        else
            unknown.push_back(words[i]);
    }

    const unsigned long long recreateDelay = EnvNumber("DQ2SIM_LOG_RECREATE_DELAY_MS", 0);
    g_log.Begin(recreateDelay > 0);
    g_log.Line("Dravic Qel 2 Dedicated Server (test stand-in), build 4417");
    g_log.Line("Log opened " + TimeStamp());
    g_log.Line("Game folder: " + g_strGameFolder);
    g_log.Line("-------- START OF LOG --------");
    g_log.Line("INF:  Command line: " + g_strArgs);
    for (const std::string& word : unknown)
        g_log.Line("WRN:  Unknown parameter \"" + word + "\" ignored.");
    g_log.Line(g_game.m_bDeathmatch ? "INF:  Game type: deathmatch." : "INF:  Game type: cooperative.");
    if (script.empty()) {
        g_log.Line("ERR:  No options script given (+gameoptions).");
        Record("SCRIPT_NONE", std::string());
    } else {
        LoadOptionsScript(script);
    }

    WSADATA wsa;
    WSAStartup(MAKEWORD(2, 2), &wsa);
    const bool bListen = !EnvFlag("DQ2SIM_NO_LISTEN");
    bool bListenPending = bListen;
    DWORD dwNextBind = 0;
    if (bListen && TryListen()) {
        bListenPending = false;
        Record("LISTEN", "ok");
        g_log.Line("INF:  Remote console listening on 127.0.0.1:" + std::to_string(kConsolePort) + ".");
    } else if (!bListen) {
        Record("LISTEN", "off");
        g_log.Line("WRN:  Remote console disabled.");
    } else {
        Record("LISTEN", "retrying");
        g_log.Line("WRN:  Port " + std::to_string(kConsolePort) + " is busy; retrying.");
        dwNextBind = Elapsed() + kBindRetryMs;
    }

    StartSession();
    g_log.Line("INF:  Server is up.");
    if (EnvFlag("DQ2SIM_QUIET"))
        g_log.Silence();

    // With DQ2SIM_CRASH_ONCE only the first server of this game folder crashes; a marker file
    // beside the program remembers it.
    const std::string crashMarker = g_strBinFolder + "\\DedicatedServer.crashed";
    const bool bCrashOnce = EnvFlag("DQ2SIM_CRASH_ONCE");
    const unsigned long long crashAfter =
        bCrashOnce && GetFileAttributesA(crashMarker.c_str()) != INVALID_FILE_ATTRIBUTES
            ? 0
            : EnvNumber("DQ2SIM_CRASH_AFTER_MS", 0);
    const unsigned long long timeLimit = TimeLimitMs();
    const unsigned long long levelEvery = EnvNumber("DQ2SIM_LEVEL_CHANGE_MS", 0);
    const bool bBurst = EnvFlag("DQ2SIM_ERROR_CLOSING_BURST");
    bool bBurstDone = false, bAfterBurstDone = false, bRecreated = recreateDelay == 0;
    unsigned long long nextLevelChange = levelEvery;

    CFlood flood = {EnvNumber("DQ2SIM_FLOOD_BYTES", 0), EnvNumber("DQ2SIM_FLOOD_BYTES_PER_SEC", 0)};
    if (flood.m_ullBytes > 0) {
        HANDLE hThread = CreateThread(nullptr, 0, FloodThread, &flood, 0, nullptr);
        if (hThread) CloseHandle(hThread);
    }
    LeaveCriticalSection(&g_csGameStep);

    for (;;) {
        // The wait is outside the lock: a stalled main thread holds up the work, not the waiting.
        fd_set readable;
        FD_ZERO(&readable);
        unsigned nSockets = 0;
        if (g_listen != INVALID_SOCKET) { FD_SET(g_listen, &readable); ++nSockets; }
        for (const CClient& client : g_clients)
            if (client.m_socket != INVALID_SOCKET && nSockets < FD_SETSIZE) { FD_SET(client.m_socket, &readable); ++nSockets; }
        bool bReady = false;
        if (nSockets > 0) {
            timeval tv = {0, 20000};
            bReady = select(0, &readable, nullptr, nullptr, &tv) > 0;
        } else {
            Sleep(20);  // select() refuses empty sets
        }
        EnterCriticalSection(&g_csGameStep);
        if (bReady) {
            if (g_listen != INVALID_SOCKET && FD_ISSET(g_listen, &readable))
                AcceptClient();
            for (size_t i = 0; i < g_clients.size(); ++i) {
                if (g_clients[i].m_socket == INVALID_SOCKET || !FD_ISSET(g_clients[i].m_socket, &readable))
                    continue;
                char buf[4096];
                int n = recv(g_clients[i].m_socket, buf, sizeof(buf), 0);
                if (n <= 0)
                    CloseClient(g_clients[i], n == 0 ? "eof" : "error");
                else
                    ReceiveBytes(g_clients[i], buf, n);
            }
        }
        for (size_t i = g_clients.size(); i-- > 0;)
            if (g_clients[i].m_socket == INVALID_SOCKET)
                g_clients.erase(g_clients.begin() + static_cast<std::ptrdiff_t>(i));

        const DWORD now = Elapsed();
        if (bListenPending && now >= dwNextBind) {
            if (TryListen()) {
                bListenPending = false;
                Record("LISTEN", "ok");
                g_log.Line("INF:  Remote console listening on 127.0.0.1:" + std::to_string(kConsolePort) + ".");
            } else if (now >= kBindGiveUpMs) {
                bListenPending = false;
                Record("LISTEN", "failed");
                g_log.Line("ERR:  Cannot listen on port " + std::to_string(kConsolePort) + ".");
            } else {
                dwNextBind = now + kBindRetryMs;
            }
        }
        if (!bRecreated && now >= recreateDelay) {
            bRecreated = true;
            Record("LOG_RECREATED", std::string());
            g_log.Open();
        }
        if (crashAfter > 0 && now >= crashAfter) {
            if (bCrashOnce)
                CloseHandle(CreateFileA(crashMarker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
            g_log.Line("ERR:  Unhandled exception in the game thread.");
            ExitServer(3, "crash");
        }
        if (timeLimit > 0 && now >= timeLimit) {
            g_log.Line("WRN:  Time limit of the test stand-in reached; exiting.");
            ExitServer(4, "time-limit");
        }
        if (levelEvery > 0 && now >= nextLevelChange) {
            nextLevelChange += levelEvery;
            NextMap();
        }
        if (bBurst && !bBurstDone && now >= kBurstAtMs) {
            bBurstDone = true;
            Record("BURST", std::string());
            g_log.Raw("ERR:  Error closing file handle 0x000001f4.\r\n"
                      "WRN:  Resource cache flushed after the error.\r\n"
                      "INF:  Hidden by the console after an Error closing line.\r\n");
        }
        if (bBurst && bBurstDone && !bAfterBurstDone && now >= kBurstAtMs + kAfterBurstMs) {
            bAfterBurstDone = true;
            g_log.Line("INF:  Shown again after the burst.");
        }
        LeaveCriticalSection(&g_csGameStep);
    }
}

// ---------------------------------------------------------------- main thread

const char kWindowClass[] = "DQ2SimServerWindow";

// A real game server's window: top-level (so EnumWindows lists it, unlike a message-only
// window) and never shown. Watchers judge "not responding" by whether its thread pumps messages.
HWND CreateServerWindow()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassA(&wc))
        return nullptr;
    return CreateWindowExA(0, kWindowClass, "Dravic Qel 2 Dedicated Server", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                           CW_USEDEFAULT, 320, 200, nullptr, nullptr, wc.hInstance, nullptr);
}

// The main thread stops for good with the game's lock held, so the log and the console stop too.
// Only the stand-in's own time limit still ends it (without a log line: a hung server writes none).
[[noreturn]] void Hang()
{
    EnterCriticalSection(&g_csGameStep);
    Record("HANG", std::string());
    const unsigned long long limit = TimeLimitMs();
    for (;;) {
        const DWORD now = Elapsed();
        if (limit > 0 && now >= limit)
            ExitServer(4, "time-limit");
        Sleep(limit > 0 ? static_cast<DWORD>(limit - now) : INFINITE);
    }
}

// An access violation of our own making, with no handler: what follows is the system's business
// (Windows Error Reporting, or Wine's debugger, keeps the process alive behind a dialog).
void Fault()
{
    Record("FAULT", std::string());
    volatile int* volatile pNull = nullptr;  // both volatile, or the compiler drops or traps the write
    *pNull = 1;
}

// A long level load: window, log and console all silent for the time, then everything goes on.
void Stall(DWORD dwMs)
{
    EnterCriticalSection(&g_csGameStep);
    Record("BUSY", std::to_string(dwMs));
    Sleep(dwMs);
    Record("BUSY_DONE", std::string());
    LeaveCriticalSection(&g_csGameStep);
}

// Pumps the thread's messages (the window's, when there is one) and fires its timed faults.
[[noreturn]] void RunMainThread()
{
    const unsigned long long hangAt = EnvNumber("DQ2SIM_HANG_AFTER_MS", 0);
    unsigned long long faultAt = EnvNumber("DQ2SIM_FAULT_AFTER_MS", 0);
    unsigned long long busyAt = EnvNumber("DQ2SIM_BUSY_AFTER_MS", 0);
    const unsigned long long busyMs = EnvNumber("DQ2SIM_BUSY_MS", kDefaultBusyMs);
    for (;;) {
        unsigned long long now = Elapsed();
        if (hangAt > 0 && now >= hangAt)
            Hang();
        if (faultAt > 0 && now >= faultAt) {
            faultAt = 0;  // once, should anything let the thread go on
            Fault();
        }
        if (busyAt > 0 && now >= busyAt) {
            busyAt = 0;
            Stall(static_cast<DWORD>(busyMs));
            now = Elapsed();
        }
        unsigned long long wait = INFINITE;
        for (unsigned long long at : {hangAt, faultAt, busyAt})
            if (at > 0)
                wait = std::min(wait, at > now ? at - now : 0);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(wait), QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

int main()
{
    g_dwStartTick = GetTickCount();
    g_dwPid = GetCurrentProcessId();
    InitializeCriticalSection(&g_csRecord);
    InitializeCriticalSection(&g_csGameStep);
    FindFolders();
    WritePidFile();

    g_strArgs = ArgumentsOfCommandLine();
    Record("ARGS", g_strArgs);

    // The game runs on a thread of its own from the start; the window comes second, so creating
    // it delays neither the remote console nor the log.
    HANDLE hGame = CreateThread(nullptr, 0, GameThread, nullptr, 0, nullptr);
    if (!hGame)
        GameThread(nullptr);  // never returns: a server without a window rather than none at all
    CloseHandle(hGame);

    HWND hWnd = EnvFlag("DQ2SIM_NO_WINDOW") ? nullptr : CreateServerWindow();
    char hex[32] = "none";
    if (hWnd)
        snprintf(hex, sizeof(hex), "%llx", static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hWnd)));
    Record("WINDOW", hex);
    RunMainThread();
}
