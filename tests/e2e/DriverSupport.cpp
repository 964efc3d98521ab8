#include "tests/e2e/DriverSupport.h"

#include <shlwapi.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <map>

namespace e2e {

const char* const kStartedLine = "INF:  The Utility has started successfully.\n";
const char* const kShutDownLine = "INF:  The utility has shut down.\n";
const char* const kSocketsLine = "INF:  Windows Sockets initialization was succesful.\n";
const char* const kMainCaption = " Dravic Qel 2 Dedicated Server Utility";

namespace {

CDriverContext g_context;
std::vector<PROCESS_INFORMATION> g_started;
std::vector<std::function<void()>> g_cleanups;

std::map<std::string, ScenarioFn>& Scenarios()
{
    static std::map<std::string, ScenarioFn> scenarios;
    return scenarios;
}

std::string Format(const char* format, va_list args)
{
    char buf[2048];
    std::vsnprintf(buf, sizeof buf, format, args);
    return buf;
}

}  // namespace

CScenarioRegistrar::CScenarioRegistrar(const char* name, ScenarioFn fn) { Scenarios()[name] = fn; }

const CDriverContext& Context() { return g_context; }

void AtScenarioEnd(std::function<void()> cleanup) { g_cleanups.push_back(std::move(cleanup)); }

namespace {
void RunCleanups()
{
    while (!g_cleanups.empty()) {
        std::function<void()> f = std::move(g_cleanups.back());
        g_cleanups.pop_back();
        try {
            f();
        } catch (const CDriverFailure&) {
        }
    }
}
}  // namespace

void Fail(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    CDriverFailure failure{Format(format, args)};
    va_end(args);
    throw failure;
}

void Note(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::string text = Format(format, args);
    va_end(args);
    std::printf("%s\n", text.c_str());
    std::fflush(stdout);
}

// ---- files ----

std::string Join(const std::string& folder, const std::string& name) { return JoinPath(folder, name); }

void CopyTreeOrFail(const std::string& from, const std::string& to)
{
    E2E_CHECK(CopyTree(from, to), "cannot copy %s to %s", from.c_str(), to.c_str());
}

void WriteTextFile(const std::string& path, const std::string& bytes)
{
    E2E_CHECK(WriteAll(path, bytes), "cannot write %s", path.c_str());
}

std::string UtilityFolder(const std::string& game) { return Join(game, "DedicatedServerUtility"); }

std::string LogPathOf(const std::string& game) { return Join(UtilityFolder(game), "Tollan.log"); }

std::string PrepareGameFolder(const std::string& name)
{
    std::string game = Join(g_context.m_strWorkRoot, name);
    RemoveTree(game);
    if (!g_context.m_strDemoGame.empty() && platform::IsDirectory(g_context.m_strDemoGame)) {
        CopyTreeOrFail(g_context.m_strDemoGame, game);
    } else {
        CreateDirectoryA(game.c_str(), nullptr);
        CreateDirectoryA(Join(game, "Bin").c_str(), nullptr);
        WriteTextFile(Join(game, "Bin\\DedicatedServer.exe"), "MZ");
    }
    E2E_CHECK(platform::FileExists(Join(game, "Bin\\DedicatedServer.exe")), "no server program in %s", game.c_str());
    std::string utility = UtilityFolder(game);
    CreateDirectoryA(utility.c_str(), nullptr);
    E2E_CHECK(CopyFileA(g_context.m_strTollanExe.c_str(), Join(utility, "Tollan.exe").c_str(), FALSE),
              "cannot copy Tollan.exe into %s", utility.c_str());
    DeleteFileA(LogPathOf(game).c_str());
    return game;
}

// ---- registry ----

void ResetRegistry()
{
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tollan");
    HKEY company;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Morvane", 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &company) ==
        ERROR_SUCCESS) {
        SHDeleteKeyA(company, "DravicQel2");
        RegCloseKey(company);
    }
}

void WriteGameKey(const std::string& pathValue)
{
    HKEY key;
    // The game's key lives in the 32-bit view, whichever build of the driver writes it.
    E2E_CHECK(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Morvane\\DravicQel2", 0, nullptr, 0,
                              KEY_WRITE | KEY_WOW64_32KEY, nullptr, &key, nullptr) == ERROR_SUCCESS,
              "cannot create the game's key");
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(pathValue.c_str()),
                   static_cast<DWORD>(pathValue.size() + 1));
    RegCloseKey(key);
}

void WriteSetting(const char* name, DWORD type, const std::string& data)
{
    HKEY key;
    E2E_CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tollan\\Settings", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr) == ERROR_SUCCESS,
              "cannot create the settings key");
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void WriteStoredGamePath(const std::string& path, bool withZero)
{
    HKEY key;
    E2E_CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\Tollan\\Settings", 0, nullptr, 0, KEY_WRITE,
                              nullptr, &key, nullptr) == ERROR_SUCCESS,
              "cannot create the settings key");
    // RegSetValueEx adds a forgotten terminating zero when the character after the counted data
    // is one; a guard character keeps the value exactly as counted.
    std::wstring wide(path.begin(), path.end());
    wide += withZero ? L'\0' : L'#';
    DWORD bytes = static_cast<DWORD>((path.size() + (withZero ? 1 : 0)) * sizeof(wchar_t));
    RegSetValueExW(key, L"GamePath", 0, REG_SZ, reinterpret_cast<const BYTE*>(wide.c_str()), bytes);
    RegCloseKey(key);
}

void WriteStoredPlacement(const std::string& bytes) { WriteSetting("WindowPlacement", REG_BINARY, bytes); }

namespace {
const char* const kThemeKey = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";

void WriteColourScheme(const std::string& name)
{
    HKEY key;
    E2E_CHECK(RegCreateKeyExA(HKEY_CURRENT_USER, kThemeKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) ==
                  ERROR_SUCCESS,
              "cannot open the theme key");
    if (name.empty())
        RegDeleteValueA(key, "ColorName");
    else
        RegSetValueExA(key, "ColorName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                       static_cast<DWORD>(name.size() + 1));
    RegCloseKey(key);
}
}  // namespace

void SetColourScheme(const std::string& name)
{
    static bool saved = false;
    if (!saved) {
        saved = true;
        std::string original;
        HKEY key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kThemeKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char buf[260] = "";
            DWORD size = sizeof buf - 1;
            if (RegQueryValueExA(key, "ColorName", nullptr, nullptr, reinterpret_cast<BYTE*>(buf), &size) ==
                ERROR_SUCCESS)
                original = buf;
            RegCloseKey(key);
        }
        AtScenarioEnd([original] { WriteColourScheme(original); });
    }
    WriteColourScheme(name);
}

bool ReadSetting(const char* name, DWORD& type, std::string& data)
{
    // Read through the wide API: it reports a string's data as stored, with or without its zero.
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tollan\\Settings", 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::wstring wname(name, name + strlen(name));
    DWORD size = 0;
    std::string raw;
    LONG rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS) {
        raw.assign(size, '\0');
        rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&raw[0]), &size);
        raw.resize(size);
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return false;
    data.clear();
    if (type == REG_SZ || type == REG_EXPAND_SZ) {
        for (size_t i = 0; i + 1 < raw.size(); i += 2)
            data += raw[i];  // our paths are plain ASCII
    } else {
        data = raw;
    }
    return true;
}

std::uint32_t Field32(const std::string& data, size_t index)
{
    E2E_CHECK(data.size() >= (index + 1) * 4, "record too short for field %u", unsigned(index));
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<unsigned char>(data[index * 4 + i]);
    return v;
}

// ---- processes ----

CTollanRun StartTollan(const std::string& game)
{
    std::string utility = UtilityFolder(game);
    CTollanRun run = StartProgram("\"" + Join(utility, "Tollan.exe") + "\"", utility);
    run.m_strGame = game;
    return run;
}

CTollanRun StartProgram(const std::string& commandLine, const std::string& folder)
{
    CTollanRun run;
    // Scenarios share one display: a pointer that an earlier scenario left over a window would
    // hover over whatever opens there next (a dropped list then selects the entry under it).
    SetCursorPos(GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1);
    QueryPerformanceCounter(&run.m_startTicks);
    E2E_CHECK(StartTestProcess(commandLine, folder.c_str(), 0, run.m_pi), "cannot start %s (error %lu)",
              commandLine.c_str(), GetLastError());
    g_started.push_back(run.m_pi);
    return run;
}

bool WaitForExit(const CTollanRun& run, DWORD timeoutMs)
{
    return WaitForSingleObject(run.m_pi.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

DWORD ExitCodeOf(const CTollanRun& run)
{
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(run.m_pi.hProcess, &code);
    return code;
}

bool IsRunning(const CTollanRun& run) { return !WaitForExit(run, 0); }

double ElapsedMs(const CTollanRun& run)
{
    LARGE_INTEGER now, freq;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    return 1000.0 * double(now.QuadPart - run.m_startTicks.QuadPart) / double(freq.QuadPart);
}

bool EndEverythingStarted()
{
    bool none = true;
    for (PROCESS_INFORMATION& pi : g_started) {
        if (WaitForSingleObject(pi.hProcess, 0) != WAIT_OBJECT_0) {
            none = false;
            TerminateProcess(pi.hProcess, 99);
            WaitForSingleObject(pi.hProcess, 5000);
        }
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    }
    g_started.clear();
    return none;
}

// ---- the log ----

std::vector<std::string> LogMessages(const std::string& game)
{
    std::string text = ReadAll(LogPathOf(game));
    std::string lf;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        lf += text[i];
    }
    // Every entry starts with "MM/DD/YY HH:MM:SS - " (20 characters).
    std::vector<std::string> messages;
    size_t pos = 0;
    while (pos < lf.size()) {
        size_t end = lf.find('\n', pos);
        end = end == std::string::npos ? lf.size() : end + 1;
        std::string line = lf.substr(pos, end - pos);
        messages.push_back(line.size() >= 20 && line[2] == '/' && line.compare(17, 3, " - ") == 0
                               ? line.substr(20)
                               : "<no prefix>" + line);
        pos = end;
    }
    return messages;
}

bool LogHas(const std::string& game, const std::string& message)
{
    for (const std::string& m : LogMessages(game))
        if (m == message)
            return true;
    return false;
}

void WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, const char* what)
{
    DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs)
            Fail("timed out after %lu ms waiting for %s", timeoutMs, what);
        Sleep(20);
    }
}

void WaitForLogMessage(const std::string& game, const std::string& message, DWORD timeoutMs)
{
    std::string what = "log line \"" + message.substr(0, message.size() - (message.back() == '\n')) + "\"";
    WaitUntil([&] { return LogHas(game, message); }, timeoutMs, what.c_str());
}

// ---- windows ----

namespace {
struct CFindWindow {
    DWORD m_nPid;
    const char* m_pszClassName;
    const char* m_pszTitle;
    HWND m_hFound;
};

BOOL CALLBACK FindWindowProc(HWND hwnd, LPARAM l)
{
    CFindWindow* f = reinterpret_cast<CFindWindow*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid != f->m_nPid || !IsWindowVisible(hwnd))
        return TRUE;
    if (f->m_pszClassName && ClassOf(hwnd) != f->m_pszClassName)
        return TRUE;
    if (f->m_pszTitle && WindowText(hwnd) != f->m_pszTitle)
        return TRUE;
    f->m_hFound = hwnd;
    return FALSE;
}
}  // namespace

HWND FindProcessWindow(DWORD pid, const char* className, const char* title)
{
    CFindWindow f{pid, className, title, nullptr};
    EnumWindows(FindWindowProc, reinterpret_cast<LPARAM>(&f));
    return f.m_hFound;
}

HWND WaitForWindow(const CTollanRun& run, const char* className, const char* title, DWORD timeoutMs)
{
    HWND found = nullptr;
    std::string what = std::string("window \"") + (title ? title : "") + "\"";
    WaitUntil(
        [&] {
            found = FindProcessWindow(run.Pid(), className, title);
            E2E_CHECK(found || IsRunning(run), "Tollan ended while the driver waited for %s", what.c_str());
            return found != nullptr;
        },
        timeoutMs, what.c_str());
    return found;
}

HWND WaitForMainWindow(const CTollanRun& run) { return WaitForWindow(run, "#32770", kMainCaption); }

std::string WindowText(HWND hwnd)
{
    char buf[1024] = "";
    // WM_GETTEXT with a timeout, so that a hung window fails the check instead of the driver.
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(hwnd, WM_GETTEXT, sizeof buf, reinterpret_cast<LPARAM>(buf), SMTO_ABORTIFHUNG,
                             5000, &n))
        return "<no answer>";
    return std::string(buf, n);
}

std::string ControlText(HWND dialog, int id)
{
    HWND control = GetDlgItem(dialog, id);
    E2E_CHECK(control, "no control %d", id);
    return WindowText(control);
}

std::string ClassOf(HWND hwnd)
{
    char buf[256] = "";
    GetClassNameA(hwnd, buf, sizeof buf);
    return buf;
}

std::string ConfirmTollanMessage(const CTollanRun& run, DWORD timeoutMs)
{
    HWND box = WaitForWindow(run, "#32770", "Tollan", timeoutMs);
    // A message box shows its text in the static with id 0xFFFF.
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static" && (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF)
            text = WindowText(child);
    ClickButton(box, IDOK);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000, "the message box to close");
    return text;
}

void ClickButton(HWND dialog, int id)
{
    HWND button = GetDlgItem(dialog, id);
    E2E_CHECK(button, "no button %d", id);
    // Posted: the click may start a modal loop in Tollan that would hold a sent message.
    PostMessageA(button, BM_CLICK, 0, 0);
}

void PostKey(HWND target, UINT virtualKey)
{
    UINT scan = MapVirtualKeyA(virtualKey, 0);
    PostMessageA(target, WM_KEYDOWN, virtualKey, 1 | (scan << 16));
    PostMessageA(target, WM_KEYUP, virtualKey, 1 | (scan << 16) | (3u << 30));
}

void PostChars(HWND target, const std::string& text)
{
    for (char c : text)
        PostMessageA(target, WM_CHAR, static_cast<unsigned char>(c), 1);
}

HWND CommandLineEdit(HWND main)
{
    HWND edit = FindWindowExA(GetDlgItem(main, 1057), nullptr, "Edit", nullptr);
    E2E_CHECK(edit, "the command line has no edit field");
    return edit;
}

void TypeLetterOpeningList(HWND main)
{
    HWND combo = GetDlgItem(main, 1057), edit = CommandLineEdit(main);
    // Tollan takes the field over when it first asks for its colours, as it paints: a user sees
    // the field before typing, so have it painted first (a posted key would beat the paint).
    RedrawWindow(edit, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PostKey(edit, 'Q');
    auto open = [&] { return SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    try {
        WaitUntil([&] { return open() && WindowText(edit) == "q"; }, 5000, "a letter to open the list");
    } catch (const CDriverFailure&) {
        Note("list %s, field \"%s\"", open() ? "open" : "closed", WindowText(edit).c_str());
        throw;
    }
}

bool FocusIsOn(const CTollanRun& run, HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(run.m_pi.dwThreadId, &info) &&
           (info.hwndFocus == window || IsChild(window, info.hwndFocus));
}

void CloseAndWait(const CTollanRun& run, HWND main)
{
    PostMessageA(main, WM_SYSCOMMAND, SC_CLOSE, 0);
    E2E_CHECK(WaitForExit(run, 20000), "Tollan did not end after the close command");
}

}  // namespace e2e

int main(int argc, char** argv)
{
    using namespace e2e;
    // "record_open <file> <address>": the https handler of the about dialog's scenario.
    if (argc == 4 && std::string(argv[1]) == "record_open") {
        std::FILE* f = std::fopen(argv[2], "ab");
        if (f) {
            std::fprintf(f, "%s\n", argv[3]);
            std::fclose(f);
        }
        return f ? 0 : 1;
    }
    // scripts/demo: "demo <game folder>", on a game and registry it prepared itself.
    const bool demo = argc == 3 && std::string(argv[1]) == "demo";
    if (argc < 4 && !demo) {
        std::printf("usage: TollanDriver <scenario> <Tollan.exe> <work folder> [<demo game folder>]\n"
                    "scenarios:");
        for (const auto& s : Scenarios())
            std::printf(" %s", s.first.c_str());
        std::printf("\n");
        return 2;
    }
    g_context.m_strScenario = argv[1];
    if (demo) {
        g_context.m_strDemoGame = WinPath(argv[2]);
    } else {
        g_context.m_strTollanExe = WinPath(argv[2]);
        g_context.m_strWorkRoot = WinPath(argv[3]);
    }
    if (argc > 4)
        g_context.m_strDemoGame = WinPath(argv[4]);

    auto it = Scenarios().find(g_context.m_strScenario);
    if (it == Scenarios().end()) {
        std::printf("FAIL: unknown scenario %s\n", argv[1]);
        return 2;
    }
    int result = 0;
    try {
        if (!demo) {
            std::string ended;
            for (const std::string& process : EndLeftoverProcesses())
                ended += " " + process;
            if (!ended.empty())
                Note("ended what an earlier test left running:%s", ended.c_str());
        }
        E2E_CHECK(!FindWindowA("#32770", kMainCaption), "a Tollan window is open already; close it first");
        if (!demo) {
            RemoveTree(g_context.m_strWorkRoot);
            // The work root may be several levels below an existing folder.
            for (size_t i = 0; i <= g_context.m_strWorkRoot.size(); ++i) {
                if (i == g_context.m_strWorkRoot.size() || g_context.m_strWorkRoot[i] == '\\')
                    CreateDirectoryA(g_context.m_strWorkRoot.substr(0, i).c_str(), nullptr);
            }
            ResetRegistry();
        }
        it->second();
        E2E_CHECK(EndEverythingStarted(), "Tollan was still running at the end of the scenario");
        std::printf("PASS: %s\n", argv[1]);
    } catch (const CDriverFailure& failure) {
        std::printf("FAIL: %s: %s\n", argv[1], failure.m_strWhat.c_str());
        result = 1;
    }
    EndEverythingStarted();
    RunCleanups();
    if (!demo)
        ResetRegistry();
    return result;
}
