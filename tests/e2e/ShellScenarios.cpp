// Start-up, settings and shut-down of the main window.
#include "tests/e2e/DriverSupport.h"

#include <algorithm>
#include <cstdio>

using namespace e2e;

namespace {

const char* const kValidFolderPrompt =
    "Please select a valid Game Installation Folder\n\n For Example: C:\\Program Files\\Dravic Qel 2";
const char* const kNotFoundMessage =
    "Sorry but the Application has failed to find\nthe DedicatedServer.exe file and will now close";

std::string Quoted(const std::string& s)
{
    std::string out;
    for (char c : s) {
        if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return "\"" + out + "\"";
}

void ExpectEqual(const std::string& actual, const std::string& expected, const char* what)
{
    E2E_CHECK(actual == expected, "%s: got %s, expected %s", what, Quoted(actual).c_str(),
              Quoted(expected).c_str());
}

void ExpectLog(const std::string& game, const std::vector<std::string>& expected)
{
    std::vector<std::string> got = LogMessages(game);
    std::string all;
    for (const std::string& m : got)
        all += "  " + Quoted(m) + "\n";
    E2E_CHECK(got == expected, "Tollan.log differs; it holds:\n%s", all.c_str());
}

std::string StoredString(const char* name)
{
    DWORD type = 0;
    std::string data;
    E2E_CHECK(ReadSetting(name, type, data), "setting %s is missing", name);
    E2E_CHECK(type == REG_SZ, "setting %s has type %lu", name, type);
    return data;
}

// The main window as the template and initialisation leave it.
void CheckMainWindow(HWND main)
{
    ExpectEqual(WindowText(main), kMainCaption, "caption");
    ExpectEqual(ControlText(main, 1), "Start Server", "button 1");
    ExpectEqual(ControlText(main, 1026), "Restart Server", "button 1026");
    ExpectEqual(ControlText(main, 1060), "Pause Server", "button 1060");
    ExpectEqual(ControlText(main, 1061), "List Players", "button 1061");
    ExpectEqual(ControlText(main, 1058), "Config Settings...", "button 1058");
    ExpectEqual(ControlText(main, 1065), "Current Config:", "label 1065");
    ExpectEqual(ControlText(main, 1064), ".cfg", "label 1064");
    E2E_CHECK(IsWindowEnabled(GetDlgItem(main, 1)), "Start Server is disabled");
    for (int id : {1026, 1060, 1061})
        E2E_CHECK(!IsWindowEnabled(GetDlgItem(main, id)), "button %d is enabled", id);
    ExpectEqual(ClassOf(GetDlgItem(main, 1056)), "RichEdit20A", "console class");
    LONG consoleStyle = GetWindowLongA(GetDlgItem(main, 1056), GWL_STYLE);
    E2E_CHECK((consoleStyle & (ES_READONLY | ES_MULTILINE | WS_VSCROLL)) == (ES_READONLY | ES_MULTILINE | WS_VSCROLL),
              "console style %08lx", consoleStyle);
    LONG listStyle = GetWindowLongA(GetDlgItem(main, 1063), GWL_STYLE);
    E2E_CHECK((listStyle & 3) == CBS_DROPDOWNLIST && !(listStyle & CBS_SORT), "configuration list style %08lx",
              listStyle);
    E2E_CHECK(GetWindowLongA(GetDlgItem(main, 1063), GWL_EXSTYLE) & WS_EX_RIGHT, "list text not right-aligned");
    E2E_CHECK((GetWindowLongA(GetDlgItem(main, 1057), GWL_STYLE) & 3) == CBS_DROPDOWN, "command line style");

    // Menus live in their own process under Wine, so the menu is read from Tollan.exe's resources.
    HMODULE exe = LoadLibraryExA(Context().m_strTollanExe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    E2E_CHECK(exe, "cannot load the resources of Tollan.exe");
    HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(129));
    E2E_CHECK(menu, "no menu 129");
    char text[128];
    const char* const popups[] = {"&File", "Tools", "Help"};
    for (int i = 0; i < 3; ++i) {
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        ExpectEqual(text, popups[i], "menu");
    }
    const struct {
        UINT id;
        const char* text;
    } items[] = {{2, "  Close Utility"},
                 {32775, "  Open Current Config File"},
                 {32784, "  Open Utility Log File"},
                 {32793, "  Check for Updates on Startup"},
                 {32795, "  Clear Console Log"},
                 {57664, "  About DQ2 Dedicated Server Utility..."}};
    for (const auto& item : items) {
        E2E_CHECK(GetMenuStringA(menu, item.id, text, sizeof text, MF_BYCOMMAND) > 0, "no menu item %u", item.id);
        ExpectEqual(text, item.text, "menu item");
    }
    DestroyMenu(menu);
    FreeLibrary(exe);
}

}  // namespace

E2E_SCENARIO(startup_stored_gamepath)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    CheckMainWindow(main);
    // The stored folder holds the server program: the game's own key is not consulted.
    ExpectLog(game, {kSocketsLine, kStartedLine});
    DWORD type = 0;
    std::string data;
    E2E_CHECK(ReadSetting("CheckForUpdate", type, data) && type == REG_DWORD && Field32(data, 0) == 1,
              "CheckForUpdate was not written as 1");
    CloseAndWait(run, main);
    ExpectLog(game, {kSocketsLine, kStartedLine, kShutDownLine});
}

E2E_SCENARIO(startup_game_registry)
{
    std::string game = PrepareGameFolder();
    // The installer stores "$", forward slashes doubled and a trailing slash.
    std::string raw = "$";
    for (char c : game)
        raw += c == '\\' ? std::string("//") : std::string(1, c);
    raw += "//";
    WriteGameKey(raw);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    ExpectLog(game, {kSocketsLine, "DQ2 Is Installed, Location: " + game + "\n", kStartedLine});
    CloseAndWait(run, main);
    ExpectEqual(StoredString("GamePath"), game + '\0', "GamePath");
}

E2E_SCENARIO(second_instance)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun first = StartTollan(game);
    HWND main = WaitForMainWindow(first);
    WaitForLogMessage(game, kStartedLine);
    std::vector<std::string> before = LogMessages(game);

    CTollanRun second = StartTollan(game);
    E2E_CHECK(WaitForExit(second, 20000), "the second instance did not end");
    std::vector<std::string> after = LogMessages(game);
    E2E_CHECK(after.size() == before.size() + 1, "the second instance wrote %d lines",
              int(after.size() - before.size()));
    ExpectEqual(after.back(), kSocketsLine, "line of the second instance");
    E2E_CHECK(IsRunning(first) && IsWindow(main), "the first instance did not survive");
    E2E_CHECK(!FindProcessWindow(second.Pid(), nullptr, nullptr), "the second instance showed a window");
    CloseAndWait(first, main);
}

E2E_SCENARIO(shutdown_saves_settings)
{
    std::string game = PrepareGameFolder();
    // Installer's way: no terminating zero; Tollan reads it in full and writes it back with one.
    WriteStoredGamePath(game, false);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    RECT r;
    GetWindowRect(main, &r);
    CloseAndWait(run, main);

    DWORD type = 0;
    std::string placement;
    E2E_CHECK(ReadSetting("WindowPlacement", type, placement), "WindowPlacement missing");
    E2E_CHECK(type == REG_BINARY && placement.size() == 44, "WindowPlacement type %lu, %u bytes", type,
              unsigned(placement.size()));
    E2E_CHECK(Field32(placement, 0) == 44, "length field %u", Field32(placement, 0));
    E2E_CHECK(Field32(placement, 2) == 1, "show state %u", Field32(placement, 2));
    E2E_CHECK(int(Field32(placement, 9) - Field32(placement, 7)) == r.right - r.left &&
                  int(Field32(placement, 10) - Field32(placement, 8)) == r.bottom - r.top,
              "normal rectangle differs from the window's size");
    ExpectEqual(StoredString("GamePath"), game + '\0', "GamePath");
    ExpectEqual(LogMessages(game).back(), kShutDownLine, "last log line");

    // The stored placement comes back at the next start.
    std::string moved = placement;
    auto put = [&moved](size_t field, int value) {
        for (int i = 0; i < 4; ++i)
            moved[field * 4 + i] = char((unsigned(value) >> (8 * i)) & 0xFF);
    };
    put(7, 40), put(8, 30), put(9, 40 + 760), put(10, 30 + 520);
    WriteStoredPlacement(moved);
    CTollanRun again = StartTollan(game);
    main = WaitForMainWindow(again);
    WaitForLogMessage(game, kStartedLine);
    GetWindowRect(main, &r);
    E2E_CHECK(r.left == 40 && r.top == 30 && r.right == 800 && r.bottom == 550,
              "stored placement not applied: %ld,%ld,%ld,%ld", r.left, r.top, r.right, r.bottom);
    CloseAndWait(again, main);
}

E2E_SCENARIO(shutdown_vanished_gamepath)
{
    std::string game = PrepareGameFolder();
    // The stored game folder is another copy, which disappears while Tollan runs.
    std::string other = PrepareGameFolder("Other Copy");
    WriteStoredGamePath(other, false);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    E2E_CHECK(MoveFileA(other.c_str(), (other + " gone").c_str()), "cannot rename %s", other.c_str());
    CloseAndWait(run, main);
    ExpectEqual(StoredString("GamePath"), other, "GamePath (unchanged, still without its zero)");
    ExpectEqual(LogMessages(game).back(), kShutDownLine, "last log line");
}

E2E_SCENARIO(not_found)
{
    std::string game = PrepareGameFolder();
    CTollanRun run = StartTollan(game);
    for (int attempt = 1; attempt <= 3; ++attempt) {
        HWND browser = WaitForWindow(run, "#32770", "  Browsing for...");
        HWND edit = FindWindowExA(browser, nullptr, "Edit", nullptr);
        if (edit)
            ExpectEqual(WindowText(edit), "C:\\", "browser edit box");
        ClickButton(browser, IDCANCEL);
        WaitUntil([&] { return !IsWindow(browser); }, 10000, "the browser to close");
        if (attempt < 3)
            ExpectEqual(ConfirmTollanMessage(run), kValidFolderPrompt, "prompt after a failed browse");
    }
    ExpectEqual(ConfirmTollanMessage(run), kNotFoundMessage, "not-found message");
    E2E_CHECK(WaitForExit(run, 20000), "Tollan did not end after the not-found message");
    ExpectLog(game, {kSocketsLine, "DQ2 is not installed.\n", "ERR:  Failed to find the DedicatedServer.exe file.\n",
                     kShutDownLine});
    DWORD type;
    std::string data;
    E2E_CHECK(!ReadSetting("GamePath", type, data), "GamePath was written for an empty game folder");
}

E2E_SCENARIO(maximised_close)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    PostMessageA(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    WaitUntil([&] { return IsZoomed(main) != 0; }, 10000, "the window to be maximised");
    Sleep(200);
    RECT r;
    GetWindowRect(main, &r);
    CloseAndWait(run, main);
    DWORD type = 0;
    std::string p;
    E2E_CHECK(ReadSetting("WindowPlacement", type, p) && p.size() == 44, "WindowPlacement missing");
    E2E_CHECK(Field32(p, 0) == 44, "length field %u", Field32(p, 0));
    E2E_CHECK(Field32(p, 2) == 1, "show state %u, expected 1", Field32(p, 2));
    E2E_CHECK(int(Field32(p, 7)) == r.left && int(Field32(p, 8)) == r.top && int(Field32(p, 9)) == r.right &&
                  int(Field32(p, 10)) == r.bottom,
              "normal rectangle %d,%d,%d,%d; maximised window was %ld,%ld,%ld,%ld", int(Field32(p, 7)),
              int(Field32(p, 8)), int(Field32(p, 9)), int(Field32(p, 10)), r.left, r.top, r.right, r.bottom);
}

E2E_SCENARIO(escape_and_close_utility)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    // Escape, sent to the console as the focused control would get it.
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    PostKey(GetDlgItem(main, 1056), VK_ESCAPE);
    E2E_CHECK(WaitForExit(run, 20000), "Escape did not close Tollan");
    ExpectEqual(LogMessages(game).back(), kShutDownLine, "last log line after Escape");

    // File, "  Close Utility".
    CTollanRun again = StartTollan(game);
    main = WaitForMainWindow(again);
    WaitForLogMessage(game, kStartedLine);
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(2, 0), 0);
    E2E_CHECK(WaitForExit(again, 20000), "Close Utility did not close Tollan");
    ExpectEqual(LogMessages(game).back(), kShutDownLine, "last log line after Close Utility");
}

E2E_SCENARIO(update_check_toggle)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    auto stored = [] {
        DWORD type = 0;
        std::string data;
        E2E_CHECK(ReadSetting("CheckForUpdate", type, data) && type == REG_DWORD, "CheckForUpdate missing");
        return Field32(data, 0);
    };
    // Written as 1 when missing. (The check mark itself is not visible from another process
    // under Wine, whose menus are private to their process.)
    E2E_CHECK(stored() == 1, "update check not on at first start");
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(32793, 0), 0);
    E2E_CHECK(stored() == 0, "update check not switched off");
    CloseAndWait(run, main);

    // The choice is shown again at the next start, then switched back on.
    CTollanRun again = StartTollan(game);
    main = WaitForMainWindow(again);
    WaitForLogMessage(game, kStartedLine);
    E2E_CHECK(stored() == 0, "update check off not shown at start");
    SendMessageA(main, WM_COMMAND, MAKEWPARAM(32793, 0), 0);
    E2E_CHECK(stored() == 1, "update check not switched on");
    CloseAndWait(again, main);
}

// The Scheduled Restart dialog: a text that is no time is refused and nothing is stored, OK stores
// what the boxes show, Cancel after a change stores nothing, and a second opening shows the stored.
E2E_SCENARIO(scheduled_restart_dialog)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    auto open = [&] {
        PostMessageA(main, WM_COMMAND, MAKEWPARAM(32811, 0), 0);
        return WaitForWindow(run, "#32770", " Scheduled Restart");
    };
    auto stored = [](const char* name) {
        DWORD type = 0;
        std::string data;
        return ReadSetting(name, type, data) ? data : std::string("(none)");
    };
    HWND dlg = open();
    SetDlgItemTextA(dlg, 1320, "25:00");
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    std::string message = ConfirmTollanMessage(run);
    E2E_CHECK(message.find("HH:MM") != std::string::npos, "message: %s", message.c_str());
    E2E_CHECK(stored("RestartDaily") == "(none)", "a refused time was stored");
    SetDlgItemTextA(dlg, 1320, "3:30");
    SetDlgItemTextA(dlg, 1321, "12");
    // No server runs, so none is restarted: the dialog says so instead of naming a moment.
    E2E_CHECK(ControlText(dlg, 1322) == "No restart is due, as no server runs.", "next: %s", ControlText(dlg, 1322).c_str());
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(dlg); }, 5000, "the dialog to close");
    E2E_CHECK(stored("RestartDaily") == std::string("03:30", 6), "RestartDaily %s", stored("RestartDaily").c_str());
    E2E_CHECK(Field32(stored("RestartEveryHours"), 0) == 12, "RestartEveryHours");

    dlg = open();
    E2E_CHECK(ControlText(dlg, 1320) == "03:30" && ControlText(dlg, 1321) == "12", "the second opening");
    SetDlgItemTextA(dlg, 1320, "");
    PostMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    WaitUntil([&] { return !IsWindow(dlg); }, 5000, "the dialog to close");
    E2E_CHECK(stored("RestartDaily") == std::string("03:30", 6), "Cancel stored a change");
    CloseAndWait(run, main);
}

// Launch to "started successfully", five times; prints each and the median.
E2E_SCENARIO(startup_timing)
{
    std::string game = PrepareGameFolder();
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        WriteStoredGamePath(game, true);
        DeleteFileA(LogPathOf(game).c_str());
        CTollanRun run = StartTollan(game);
        WaitUntil([&] { return LogHas(game, kStartedLine); }, 30000, "the started line");
        times.push_back(ElapsedMs(run));
        HWND main = WaitForMainWindow(run);
        CloseAndWait(run, main);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    for (double t : times)
        Note("launch to started line: %.0f ms", t);
    Note("median of 5: %.0f ms", sorted[2]);
}

// With a known colour scheme the console loses its own border and gets a painted frame; with no
// scheme it keeps its thin border and sunken edge.
E2E_SCENARIO(console_theme_frame)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);

    SetColourScheme("HomeStead");
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    HWND console = GetDlgItem(main, 1056);
    E2E_CHECK(!(GetWindowLongA(console, GWL_STYLE) & WS_BORDER), "themed console keeps its border");
    E2E_CHECK(!(GetWindowLongA(console, GWL_EXSTYLE) & WS_EX_CLIENTEDGE), "themed console keeps its edge");
    RECT r;
    GetWindowRect(console, &r);
    POINT origin{0, 0};
    ClientToScreen(main, &origin);
    E2E_CHECK(r.left - origin.x == 6 && r.top - origin.y == 35, "themed console at %ld,%ld", r.left - origin.x,
              r.top - origin.y);
    COLORREF frame = 0;
    WaitUntil(
        [&] {
            HDC screen = GetDC(nullptr);
            frame = GetPixel(screen, r.left - 1, (r.top + r.bottom) / 2);
            ReleaseDC(nullptr, screen);
            return frame == RGB(164, 185, 127);
        },
        5000, "the HomeStead frame colour left of the console");
    CloseAndWait(run, main);

    SetColourScheme("");
    CTollanRun plain = StartTollan(game);
    main = WaitForMainWindow(plain);
    WaitForLogMessage(game, kStartedLine);
    console = GetDlgItem(main, 1056);
    // The dialog manager turns a control's WS_BORDER into WS_EX_CLIENTEDGE, so the sunken edge is
    // what remains of the template's two borders.
    E2E_CHECK(GetWindowLongA(console, GWL_EXSTYLE) & WS_EX_CLIENTEDGE, "console without a scheme lost its edge");
    GetWindowRect(console, &r);
    origin = {0, 0};
    ClientToScreen(main, &origin);
    E2E_CHECK(r.left - origin.x == 5, "plain console at x %ld", r.left - origin.x);
    CloseAndWait(plain, main);
}

namespace {
// Waits for the text editor's window whose caption starts with the file name, then closes it.
void CloseEditorShowing(const std::string& fileName, const char* windowClass = "Notepad")
{
    HWND editor = nullptr;
    std::string what = std::string("the window ") + windowClass + " showing " + fileName;
    WaitUntil(
        [&] {
            editor = nullptr;
            for (HWND w = FindWindowA(windowClass, nullptr); w; w = FindWindowExA(nullptr, w, windowClass, nullptr))
                if (WindowText(w).rfind(fileName, 0) == 0)
                    editor = w;
            return editor != nullptr;
        },
        20000, what.c_str());
    DWORD pid = 0;
    GetWindowThreadProcessId(editor, &pid);
    PostMessageA(editor, WM_CLOSE, 0, 0);
    if (HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid)) {
        // The editor was started for this scenario; it must not outlive it.
        if (WaitForSingleObject(h, 10000) != WAIT_OBJECT_0)
            TerminateProcess(h, 1);
        CloseHandle(h);
    }
}
}  // namespace

// File menu: the utility log and the current options script open in the text editor, and the
// Logs folder in the shell (the game folder has blanks in its name).
E2E_SCENARIO(open_files_in_editor)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    std::string configFolder = Join(UtilityFolder(game), "Config");
    CreateDirectoryA(configFolder.c_str(), nullptr);
    // The default store is created at start-up; its first configuration becomes the current one.
    std::string script = Join(configFolder, "Normal.cfg");
    WriteTextFile(script, "qel_strSessionName = \"Demo\"\r\n");
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(32784, 0), 0);
    WaitForLogMessage(game, "INF:  Opening Tollan.log file\n");
    CloseEditorShowing("Tollan.log");

    PostMessageA(main, WM_COMMAND, MAKEWPARAM(32775, 0), 0);
    WaitForLogMessage(game, "INF:  Opening current Config File: " + script + "\n");
    CloseEditorShowing("Normal.cfg");

    // The runs' logs folder, made by the command when it is missing.
    const std::string logs = Join(UtilityFolder(game), "Logs");
    PostMessageA(main, WM_COMMAND, MAKEWPARAM(32810, 0), 0);
    WaitForLogMessage(game, "INF:  Opening the Logs folder: " + logs + "\n");
    // The line is logged before the folder is made.
    WaitUntil([&] { return platform::IsDirectory(logs); }, 3000, "the Logs folder");
    CloseEditorShowing("Logs", "ExplorerWClass");

    CloseAndWait(run, main);
    for (const std::string& m : LogMessages(game))
        E2E_CHECK(m.rfind("ERR:", 0) != 0, "error in the log: %s", m.c_str());
}

namespace {
RECT ControlRect(HWND main, HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, main, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND SizeGrip(HWND main)
{
    return FindWindowExA(main, nullptr, "ScrollBar", nullptr);
}
}  // namespace

// The controls follow the client size; the size grip goes while maximised; Tab goes to the
// command line.
E2E_SCENARIO(layout_and_keys)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);

    SetWindowPos(main, nullptr, 20, 20, 1000, 640, SWP_NOZORDER);
    RECT client;
    WaitUntil([&] { return GetClientRect(main, &client) && ControlRect(main, GetDlgItem(main, 1)).left == client.right - 80; },
              5000, "the layout after a resize");
    int w = client.right, h = client.bottom;
    auto expect = [&](int id, int x, int y, int cx, int cy) {
        RECT r = ControlRect(main, GetDlgItem(main, id));
        E2E_CHECK(r.left == x && r.top == y && r.right - r.left == cx && (cy < 0 || r.bottom - r.top == cy),
                  "control %d at %ld,%ld size %ldx%ld; expected %d,%d size %dx%d", id, r.left, r.top,
                  r.right - r.left, r.bottom - r.top, x, y, cx, cy);
    };
    expect(1058, 5, 5, 100, 25);
    expect(1065, 110, 6, 80, -1);
    expect(1063, 192, 6, 106, -1);
    expect(1064, 295, 6, 30, -1);
    expect(1061, w - 338, 5, 73, 25);
    expect(1060, w - 260, 5, 80, 25);
    expect(1026, w - 175, 5, 85, 25);
    expect(1, w - 80, 5, 75, 25);
    // The default colour scheme of the prefix is themed without a frame colour.
    RECT console = ControlRect(main, GetDlgItem(main, 1056));
    E2E_CHECK(console.top == 35 && console.bottom - console.top == h - 82, "console rows %ld..%ld", console.top,
              console.bottom);
    expect(1057, 5, h - 40, w - 10, -1);
    HWND grip = SizeGrip(main);
    E2E_CHECK(grip, "no size grip");
    RECT g = ControlRect(main, grip);
    E2E_CHECK(g.left == w - 12 && g.top == h - 12 && g.right == w && g.bottom == h, "size grip at %ld,%ld", g.left,
              g.top);

    PostMessageA(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    WaitUntil([&] { return IsZoomed(main) && !IsWindowVisible(grip); }, 10000, "the grip to hide when maximised");
    PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    WaitUntil([&] { return !IsZoomed(main) && IsWindowVisible(grip); }, 10000, "the grip to return when restored");

    // Tab from a button puts the focus on the command line.
    PostKey(GetDlgItem(main, 1058), VK_TAB);
    HWND commandLine = GetDlgItem(main, 1057);
    WaitUntil(
        [&] {
            GUITHREADINFO info{};
            info.cbSize = sizeof info;
            return GetGUIThreadInfo(run.m_pi.dwThreadId, &info) &&
                   (info.hwndFocus == commandLine || IsChild(commandLine, info.hwndFocus));
        },
        5000, "the focus on the command line after Tab");
    CloseAndWait(run, main);
}

// A stored placement shows the window during start-up: the controls must be in place by then,
// or their template places stay unpainted (black under Wine) between and below them.
E2E_SCENARIO(layout_after_stored_placement)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    CTollanRun first = StartTollan(game);
    HWND main = WaitForMainWindow(first);
    WaitForLogMessage(game, kStartedLine);
    CloseAndWait(first, main);

    CTollanRun run = StartTollan(game);
    main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    Sleep(500);
    RECT client;
    GetClientRect(main, &client);
    auto pixel = [&](int x, int y) {
        POINT p{x, y};
        ClientToScreen(main, &p);
        HDC screen = GetDC(nullptr);
        COLORREF c = GetPixel(screen, p.x, p.y);
        ReleaseDC(nullptr, screen);
        return c;
    };
    const int w = client.right, h = client.bottom;
    const COLORREF face = pixel(w / 2 - 30, 15);  // between ".cfg" and "List Players"
    // Between "List Players" and "Pause Server", and the strip under the command line.
    for (int y = 8; y < 28; ++y)
        for (int x = w - 338 + 74; x < w - 260; ++x)
            E2E_CHECK(pixel(x, y) == face, "pixel %d,%d is %06lx, not the dialog's %06lx", x, y, pixel(x, y), face);
    for (int x = 20; x < w - 20; x += 3)
        E2E_CHECK(pixel(x, h - 6) == face, "pixel %d,%d under the command line is %06lx", x, h - 6, pixel(x, h - 6));
    CloseAndWait(run, main);
}

namespace {
const UINT kMinimizeToTray = 32813, kTrayShow = 32814, kTrayExit = 32815;
const UINT kTrayMessage = WM_APP + 3;

bool Hidden(HWND main) { return !IsWindowVisible(main); }
bool Restored(HWND main) { return IsWindowVisible(main) && !IsIconic(main); }

void Minimise(HWND main) { PostMessageA(main, WM_SYSCOMMAND, SC_MINIMIZE, 0); }
}  // namespace

// "  Minimize to Notification Area": the toggle writes MinimizeToTray; with it, minimising hides
// the window and the icon's double-click or "Show Tollan" brings it back; without it (a second
// toggle, or a value of the wrong type) minimising only minimises. The menu's "Exit" closes as
// the title bar does; the setting holds from the next start, where a second start shows the
// hidden window and Escape still closes.
E2E_SCENARIO(tray_minimize_show_exit)
{
    std::string game = PrepareGameFolder();
    WriteStoredGamePath(game, true);
    auto stored = [] {
        DWORD type = 0;
        std::string data;
        E2E_CHECK(ReadSetting("MinimizeToTray", type, data) && type == REG_DWORD && data.size() == 4,
                  "MinimizeToTray missing or not a REG_DWORD");
        return Field32(data, 0);
    };
    CTollanRun run = StartTollan(game);
    HWND main = WaitForMainWindow(run);
    WaitForLogMessage(game, kStartedLine);
    SendMessageA(main, WM_COMMAND, kMinimizeToTray, 0);
    E2E_CHECK(stored() == 1, "the toggle did not write MinimizeToTray = 1");
    // Back by a double-click on the icon; by "Show Tollan", maximised as it was; by "Show Tollan"
    // after Explorer restarted and the icon was shown anew.
    for (int way = 0; way < 3; ++way) {
        if (way == 1) {
            PostMessageA(main, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
            WaitUntil([&] { return IsZoomed(main) != 0; }, 10000, "the window to be maximised");
        }
        if (way == 2)
            PostMessageA(main, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
        Minimise(main);
        WaitUntil([&] { return Hidden(main); }, 10000, "the minimised window to hide");
        if (way == 0)
            PostMessageA(main, kTrayMessage, 1, WM_LBUTTONDBLCLK);
        else
            PostMessageA(main, WM_COMMAND, kTrayShow, 0);
        WaitUntil([&] { return Restored(main) && (way != 1 || IsZoomed(main)); }, 10000,
                  "the window to come back as it was");
        if (way == 1)
            PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    }
    SendMessageA(main, WM_COMMAND, kMinimizeToTray, 0);
    E2E_CHECK(stored() == 0, "the second toggle did not write MinimizeToTray = 0");
    Minimise(main);
    WaitUntil([&] { return IsIconic(main) != 0; }, 10000, "the window to minimise");
    Sleep(300);
    E2E_CHECK(IsWindowVisible(main), "minimised with the toggle off, the window was hidden");
    PostMessageA(main, WM_SYSCOMMAND, SC_RESTORE, 0);
    WaitUntil([&] { return Restored(main); }, 10000, "the window to restore");
    SendMessageA(main, WM_COMMAND, kMinimizeToTray, 0);
    PostMessageA(main, WM_COMMAND, kTrayExit, 0);
    E2E_CHECK(WaitForExit(run, 20000), "the icon menu's Exit did not close Tollan");
    ExpectEqual(LogMessages(game).back(), kShutDownLine, "last log line after Exit");

    // Set at start-up; Escape while the window is hidden still closes.
    CTollanRun again = StartTollan(game);
    main = WaitForMainWindow(again);
    WaitForLogMessage(game, kStartedLine);
    Minimise(main);
    WaitUntil([&] { return Hidden(main); }, 10000, "the window to hide after a start with the setting on");
    // A second start brings the hidden window back, and ends.
    CTollanRun second = StartTollan(game);
    E2E_CHECK(WaitForExit(second, 20000), "the second instance did not end");
    WaitUntil([&] { return Restored(main); }, 10000, "the hidden window to come back at a second start");
    Minimise(main);
    WaitUntil([&] { return Hidden(main); }, 10000, "the window to hide again");
    PostKey(main, VK_ESCAPE);
    E2E_CHECK(WaitForExit(again, 20000), "Escape while hidden did not close Tollan");
    for (const std::string& m : LogMessages(game))
        E2E_CHECK(m.rfind("ERR:", 0) != 0, "error in the log: %s", m.c_str());

    // A value of the wrong type is off, and logged.
    HKEY key;
    E2E_CHECK(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Tollan\\Settings", 0, KEY_WRITE, &key) == ERROR_SUCCESS,
              "cannot open the settings key");
    RegSetValueExA(key, "MinimizeToTray", 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
    RegCloseKey(key);
    CTollanRun wrong = StartTollan(game);
    main = WaitForMainWindow(wrong);
    WaitForLogMessage(game, "ERR:  MinimizeToTray in the registry is not a 32-bit number; the notification area "
                            "is not used.\n");
    Minimise(main);
    WaitUntil([&] { return IsIconic(main) != 0; }, 10000, "the window to minimise");
    Sleep(300);
    E2E_CHECK(IsWindowVisible(main), "a MinimizeToTray of the wrong type hid the window");
    CloseAndWait(wrong, main);
}
