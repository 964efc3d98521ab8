// The configuration dialog, its pages and the map list editor, driven end to end on the demo
// game with the delivered defaults. Controls of the pages are found below the dialog by their
// ids; list views and tab controls are read and set through memory in Tollan's process.
#include "tests/e2e/ConfigDriver.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>

using namespace e2e;

namespace e2e {

namespace {

struct CFindChild {
    int m_nId;
    HWND m_hFound;
};

BOOL CALLBACK FindChildProc(HWND hwnd, LPARAM l)
{
    CFindChild* f = reinterpret_cast<CFindChild*>(l);
    if (GetDlgCtrlID(hwnd) != f->m_nId)
        return TRUE;
    f->m_hFound = hwnd;
    return FALSE;
}

// A block of memory in Tollan's process, for the messages whose arguments point to memory.
class CRemoteMemory {
public:
    CRemoteMemory(HANDLE process, size_t size) : m_hProcess(process)
    {
        m_p = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        E2E_CHECK(m_p, "cannot reserve memory in Tollan's process");
    }
    ~CRemoteMemory() { VirtualFreeEx(m_hProcess, m_p, 0, MEM_RELEASE); }
    CRemoteMemory(const CRemoteMemory&) = delete;
    CRemoteMemory& operator=(const CRemoteMemory&) = delete;
    void Write(const void* data, size_t size, size_t offset = 0)
    {
        WriteProcessMemory(m_hProcess, m_p + offset, data, size, nullptr);
    }
    void Read(void* data, size_t size, size_t offset = 0)
    {
        ReadProcessMemory(m_hProcess, m_p + offset, data, size, nullptr);
    }
    char* At(size_t offset = 0) const { return m_p + offset; }
    LPARAM Param(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_p + offset); }

private:
    HANDLE m_hProcess;
    char* m_p;
};

const size_t kTextAt = 256;

}  // namespace

HWND FindControl(HWND root, int id)
{
    CFindChild f{id, nullptr};
    EnumChildWindows(root, FindChildProc, reinterpret_cast<LPARAM>(&f));
    E2E_CHECK(f.m_hFound, "no control %d below the window", id);
    return f.m_hFound;
}

std::string TextOf(HWND root, int id) { return WindowText(FindControl(root, id)); }

void SetText(HWND root, int id, const std::string& text)
{
    SendMessageA(FindControl(root, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void TypeInComboEdit(HWND root, int id, const std::string& text)
{
    HWND edit = FindWindowExA(FindControl(root, id), nullptr, "Edit", nullptr);
    E2E_CHECK(edit, "combo box %d has no edit", id);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Choose(HWND root, int id, int index)
{
    HWND combo = FindControl(root, id);
    SendMessageA(combo, CB_SETCURSEL, index, 0);
    SendMessageA(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_CLOSEUP), reinterpret_cast<LPARAM>(combo));
}

void Click(HWND root, int id) { PostMessageA(FindControl(root, id), BM_CLICK, 0, 0); }

namespace {
struct CSetTextJob {
    HWND m_hEdit;
    std::string m_strText;
};
DWORD WINAPI SetTextThread(void* p)
{
    CSetTextJob* job = static_cast<CSetTextJob*>(p);
    SendMessageA(job->m_hEdit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(job->m_strText.c_str()));
    return 0;
}
}  // namespace

std::string SetTextExpectingMessage(const CTollanRun& run, HWND root, int id, const std::string& text)
{
    // The edit's change brings up a message box inside the sent WM_SETTEXT, so another thread
    // sends it while this one answers the box.
    CSetTextJob job{FindControl(root, id), text};
    HANDLE thread = CreateThread(nullptr, 0, SetTextThread, &job, 0, nullptr);
    std::string message;
    try {
        message = ConfirmTollanMessage(run);
    } catch (...) {
        WaitForSingleObject(thread, 5000);
        CloseHandle(thread);
        throw;
    }
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    return message;
}

int ListCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

std::string ListText(const CTollanRun& run, HWND list, int row)
{
    CRemoteMemory mem(run.m_pi.hProcess, kTextAt + 256);
    LVITEMA item{};
    item.iSubItem = 0;
    item.pszText = mem.At(kTextAt);
    item.cchTextMax = 256;
    mem.Write(&item, sizeof item);
    int n = static_cast<int>(SendMessageA(list, LVM_GETITEMTEXTA, row, mem.Param()));
    std::string text(n > 0 ? n : 0, '\0');
    if (n > 0)
        mem.Read(&text[0], n, kTextAt);
    return text;
}

std::vector<std::string> ListTexts(const CTollanRun& run, HWND list)
{
    std::vector<std::string> texts;
    for (int i = 0, n = ListCount(list); i < n; ++i)
        texts.push_back(ListText(run, list, i));
    return texts;
}

bool ListChecked(HWND list, int row)
{
    return (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) >> 12) == 2;
}

void SetListCheck(const CTollanRun& run, HWND list, int row, bool on)
{
    CRemoteMemory mem(run.m_pi.hProcess, sizeof(LVITEMA));
    LVITEMA item{};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = INDEXTOSTATEIMAGEMASK(on ? 2 : 1);
    mem.Write(&item, sizeof item);
    SendMessageA(list, LVM_SETITEMSTATE, row, mem.Param());
}

void DoubleClickRow(const CTollanRun& run, HWND list, int row, int x)
{
    CRemoteMemory mem(run.m_pi.hProcess, sizeof(RECT));
    RECT r{LVIR_BOUNDS, 0, 0, 0};
    mem.Write(&r, sizeof r);
    SendMessageA(list, LVM_GETITEMRECT, row, mem.Param());
    mem.Read(&r, sizeof r);
    LPARAM at = MAKELPARAM(r.left + x, (r.top + r.bottom) / 2);
    PostMessageA(list, WM_LBUTTONDBLCLK, MK_LBUTTON, at);
    PostMessageA(list, WM_LBUTTONUP, 0, at);
}

std::string TabText(const CTollanRun& run, HWND tab, int index)
{
    CRemoteMemory mem(run.m_pi.hProcess, kTextAt + 256);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = mem.At(kTextAt);
    item.cchTextMax = 256;
    mem.Write(&item, sizeof item);
    SendMessageA(tab, TCM_GETITEMA, index, mem.Param());
    char text[256] = "";
    mem.Read(text, sizeof text - 1, kTextAt);
    return text;
}

void SelectTab(const CTollanRun& run, HWND tab, int index)
{
    // A click on the tab, so the control itself sends TCN_SELCHANGE (Wine does not carry a
    // WM_NOTIFY from another process).
    CRemoteMemory mem(run.m_pi.hProcess, sizeof(RECT));
    SendMessageA(tab, TCM_GETITEMRECT, index, mem.Param());
    RECT r{};
    mem.Read(&r, sizeof r);
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(tab, WM_LBUTTONUP, 0, at);
    WaitUntil([&] { return SendMessageA(tab, TCM_GETCURSEL, 0, 0) == index; }, 5000, "the tab to be selected");
}

HWND OpenConfigDialog(const CTollanRun& run, HWND main)
{
    ClickButton(main, 1058);
    return WaitForWindow(run, "#32770", kConfigCaption);
}

void CloseWindowWith(HWND dialog, int id)
{
    PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0);
    WaitUntil([&] { return !IsWindow(dialog); }, 10000, "the dialog to close");
}

std::string PrepareDeliveredGame()
{
    std::string game = PrepareGameFolder();
    std::string utility = UtilityFolder(game);
    std::string defaults = WinPath(TOLLAN_DEFAULTS_DIR);
    CreateDirectoryA(Join(utility, "Config").c_str(), nullptr);
    CreateDirectoryA(Join(utility, "MapLists").c_str(), nullptr);
    const char* const files[][2] = {{"History.ini", "History.ini"},
                                    {"NormalDM.cfg", "Config\\NormalDM.cfg"},
                                    {"NormalCOOP.cfg", "Config\\NormalCOOP.cfg"},
                                    {"MapList.txt", "MapLists\\MapList.txt"}};
    for (const auto& f : files)
        E2E_CHECK(CopyFileA(Join(defaults, f[0]).c_str(), Join(utility, f[1]).c_str(), FALSE), "cannot copy %s",
                  f[0]);
    WriteStoredGamePath(game, true);
    return game;
}

const char* const kConfigCaption = " Configuration Settings";
const char* const kMapListCaption = " Modify Map List";

void ShowConfigurationForDemo(const CTollanRun& run, HWND main, const std::function<void(const char*)>& shot)
{
    HWND dlg = OpenConfigDialog(run, main);
    // Under Xvfb, Wine's virtual desktop keeps an owner's X window above the dialogs it owns, so
    // they would show black; with the owner minimised they are seen as they are.
    ShowWindow(main, SW_MINIMIZE);
    Sleep(500);
    shot("config-deathmatch");
    SelectTab(run, FindControl(dlg, 1245), 1);
    Sleep(300);
    shot("config-items-availability");
    SelectTab(run, FindControl(dlg, 1245), 0);
    Click(dlg, 1244);
    HWND editor = WaitForWindow(run, "#32770", kMapListCaption);
    ShowWindow(dlg, SW_MINIMIZE);
    Sleep(500);
    shot("maplist-editor");
    CloseWindowWith(editor, IDCANCEL);
    ShowWindow(dlg, SW_RESTORE);
    SelectTab(run, FindControl(dlg, 1218), 1);
    Sleep(300);
    shot("config-voting");
    Choose(dlg, 1204, 0);
    Sleep(300);
    shot("config-cooperative");
    CloseWindowWith(dlg, IDCANCEL);
    ShowWindow(main, SW_RESTORE);
}

}  // namespace e2e

namespace {

const char* const kDmLevels[] = {"Little Trouble", "Brkeen Chevap", "Chanolin", "Metropolis"};

void ExpectText(const std::string& actual, const std::string& expected, const char* what)
{
    E2E_CHECK(actual == expected, "%s: \"%s\", expected \"%s\"", what, actual.c_str(), expected.c_str());
}

bool Contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

std::string Store(const std::string& game) { return ReadAll(Join(UtilityFolder(game), "History.ini")); }
std::string ScriptOf(const std::string& game, const std::string& name)
{
    return ReadAll(Join(UtilityFolder(game), "Config\\" + name + ".cfg"));
}
std::string MapListFile(const std::string& game, const std::string& name)
{
    return ReadAll(Join(UtilityFolder(game), "MapLists\\" + name + ".txt"));
}

std::string Block(const std::string& store, const std::string& name)
{
    size_t at = store.find("CONFIG_NAME\r\n" + name + "\r\n");
    E2E_CHECK(at != std::string::npos, "no block %s in History.ini", name.c_str());
    return store.substr(at, store.find("}\r\n", at) - at);
}

std::string DmPath(const char* folder)
{
    return std::string("Content/DravicQel2/Levels/Multiplayer/") + folder + "/" + folder + ".wld\r\n";
}

struct CStarted {
    std::string m_strGame;
    CTollanRun m_run;
    HWND m_hMain;
};
CStarted StartOnDefaults()
{
    CStarted s{PrepareDeliveredGame(), {}, nullptr};
    s.m_run = StartTollan(s.m_strGame);
    s.m_hMain = WaitForMainWindow(s.m_run);
    WaitForLogMessage(s.m_strGame, kStartedLine);
    return s;
}

// Every file of the utility folder and the server INI, to prove that nothing was written.
std::string Snapshot(const std::string& game)
{
    std::string all;
    const std::string utility = UtilityFolder(game);
    for (const char* sub : {"", "Config\\", "MapLists\\"}) {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA(Join(utility, std::string(sub) + "*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            continue;
        do {
            std::string name = std::string(sub) + fd.cFileName;
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && name != "Tollan.log")
                all += name + "\n" + ReadAll(Join(utility, name)) + "\n";
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    return all + ReadAll(Join(game, "Content\\DravicQel2\\DedicatedServer.ini"));
}

}  // namespace

// A new name typed and saved; then another configuration picked and saved.
E2E_SCENARIO(config_save_new_name)
{
    CStarted s = StartOnDefaults();
    const std::string normalDm = Block(Store(s.m_strGame), "NormalDM");
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    ExpectText(TextOf(dlg, 1201), "NormalDM", "name box");
    ExpectText(TextOf(dlg, 1202), ".cfg", "extension label");
    ExpectText(TextOf(dlg, IDCANCEL), "Cancel", "cancel button");
    HWND tabs = FindControl(dlg, 1218);
    ExpectText(TabText(s.m_run, tabs, 0), "Death Match Settings", "first tab");
    ExpectText(TabText(s.m_run, tabs, 1), "Voting Settings", "second tab");
    // The availability tabs show the page of the selected tab only.
    E2E_CHECK(IsWindowVisible(FindControl(dlg, 1275)) && !IsWindowVisible(FindControl(dlg, 1260)),
              "the weapons page is not the one shown");
    SelectTab(s.m_run, FindControl(dlg, 1245), 1);
    E2E_CHECK(IsWindowVisible(FindControl(dlg, 1260)) && !IsWindowVisible(FindControl(dlg, 1275)),
              "the items page is not shown after its tab was selected");
    SelectTab(s.m_run, tabs, 1);
    E2E_CHECK(IsWindowVisible(FindControl(dlg, 1255)) && !IsWindowVisible(FindControl(dlg, 1240)),
              "the voting page is not shown after its tab was selected");
    ExpectText(TextOf(dlg, 1255), "60", "vote duration shown");
    ExpectText(TextOf(dlg, 1242), "10", "end of round delay shown");

    TypeInComboEdit(dlg, 1201, "Custom");
    SetText(dlg, 1203, "Custom Server");
    SetText(dlg, 1255, "45.5");
    Click(dlg, 1200);
    WaitUntil([&] { return TextOf(dlg, IDCANCEL) == "Finished"; }, 10000, "Finished");
    const std::string custom = ScriptOf(s.m_strGame, "Custom");
    E2E_CHECK(Contains(custom, "qel_strMultiplayerSessionName = \"Custom Server\";\r\n"), "Custom.cfg: %s",
              custom.c_str());
    E2E_CHECK(Contains(custom, "qel_fVoteDuration = 45.50;\r\n"), "vote duration in the script");
    std::string store = Store(s.m_strGame);
    const std::string history = "CONFIG_HISTORY\r\n  Custom\r\n  NormalDM\r\n  NormalCOOP\r\nEND_HISTORY\r\n";
    E2E_CHECK(store.compare(0, history.size(), history) == 0, "history: %s", store.substr(0, 80).c_str());
    E2E_CHECK(Contains(Block(store, "Custom"), "  g_fVoteDuration = 45.50;\r\n"), "vote duration in the store");
    ExpectText(Block(store, "NormalDM"), normalDm, "the old block");

    // Another configuration picked and saved: that one is written, not the new name again.
    Choose(dlg, 1201, 1);
    ExpectText(TextOf(dlg, 1201), "NormalCOOP", "name box after the pick");
    ExpectText(TabText(s.m_run, tabs, 0), "Cooperative Settings", "first tab of NormalCOOP");
    SetText(dlg, 1203, "Coop Two");
    Click(dlg, 1200);
    WaitUntil([&] { return Contains(ScriptOf(s.m_strGame, "NormalCOOP"), "\"Coop Two\""); }, 10000, "NormalCOOP.cfg");
    const std::string coopFirst = "CONFIG_HISTORY\r\n  NormalCOOP\r\n  Custom\r\n  NormalDM\r\nEND_HISTORY";
    WaitUntil([&] { return Store(s.m_strGame).compare(0, coopFirst.size(), coopFirst) == 0; }, 10000,
              "NormalCOOP first in the history");
    ExpectText(ScriptOf(s.m_strGame, "Custom"), custom, "Custom.cfg after the second save");
    store = Store(s.m_strGame);
    E2E_CHECK(!Contains(Block(store, "Custom"), "Coop Two"), "the second save went into the Custom block");
    CloseWindowWith(dlg, IDCANCEL);
    WaitUntil([&] { return SendMessageA(GetDlgItem(s.m_hMain, 1063), CB_GETCOUNT, 0, 0) == 3; }, 5000,
              "three configurations in the main list");
    CloseAndWait(s.m_run, s.m_hMain);
}

// Cooperative -> deathmatch -> cooperative keeps each game type's own starting level.
E2E_SCENARIO(config_game_type_levels)
{
    CStarted s = StartOnDefaults();
    SendMessageA(GetDlgItem(s.m_hMain, 1063), CB_SETCURSEL, 1, 0);
    SendMessageA(s.m_hMain, WM_COMMAND, MAKEWPARAM(1063, CBN_CLOSEUP), reinterpret_cast<LPARAM>(GetDlgItem(s.m_hMain, 1063)));
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    ExpectText(TextOf(dlg, 1201), "NormalCOOP", "name box");
    ExpectText(TextOf(dlg, 1204), "COOPERATIVE", "game type");
    ExpectText(TextOf(dlg, 1205), "Ellenier Village", "cooperative starting level");
    FindControl(dlg, 1230);  // the difficulty box of the cooperative page

    Choose(dlg, 1204, 1);
    ExpectText(TextOf(dlg, 1205), "Chanolin", "deathmatch starting level");
    ExpectText(TabText(s.m_run, FindControl(dlg, 1218), 0), "Death Match Settings", "first tab");
    FindControl(dlg, 1243);  // the deathmatch page replaced the cooperative one
    Choose(dlg, 1205, 0);
    Choose(dlg, 1204, 0);
    ExpectText(TextOf(dlg, 1205), "Ellenier Village", "cooperative starting level again");
    Choose(dlg, 1204, 1);
    ExpectText(TextOf(dlg, 1205), "Little Trouble", "the deathmatch level picked before");
    CloseWindowWith(dlg, IDCANCEL);
    CloseAndWait(s.m_run, s.m_hMain);
}

// The checks' messages, Return that only moves the focus, and Escape after edits writes no file.
E2E_SCENARIO(config_escape_writes_nothing)
{
    CStarted s = StartOnDefaults();
    const std::string before = Snapshot(s.m_strGame);
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    ExpectText(SetTextExpectingMessage(s.m_run, dlg, 1209, "17"), "Please enter an integer between 1 and 16.",
               "Max Players 17");
    ExpectText(SetTextExpectingMessage(s.m_run, dlg, 1209, ""), "Please enter an integer.", "Max Players empty");
    ExpectText(SetTextExpectingMessage(s.m_run, dlg, 1254, "soon"), "Please enter an integer.", "Ban Time");
    SetText(dlg, 1209, "8");
    SetText(dlg, 1254, "30");
    SetText(dlg, 1203, "Not saved");

    HWND session = FindControl(dlg, 1203);
    PostKey(session, VK_RETURN);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    WaitUntil(
        [&] {
            return GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &gui) &&
                   gui.hwndFocus == GetDlgItem(dlg, 1200);
        },
        5000, "the focus on Save Config after Return");
    E2E_CHECK(IsWindow(dlg), "Return closed the dialog");

    PostKey(session, VK_ESCAPE);
    WaitUntil([&] { return !IsWindow(dlg); }, 10000, "Escape to close the dialog");
    E2E_CHECK(Snapshot(s.m_strGame) == before, "a file was written");
    CloseAndWait(s.m_run, s.m_hMain);
}

// An empty MapLists folder gets MapList.txt with every deathmatch level; an existing MapList.txt
// is kept even when the configuration names a list that is gone.
E2E_SCENARIO(config_default_map_list)
{
    CStarted s = StartOnDefaults();
    const std::string folder = Join(UtilityFolder(s.m_strGame), "MapLists");
    DeleteFileA(Join(folder, "MapList.txt").c_str());
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    const std::string all = DmPath("DM_LittleTrouble") + DmPath("DM_BrkeenChevap") + DmPath("DM_Chanolin") +
                            DmPath("DM_Metropolis");
    ExpectText(MapListFile(s.m_strGame, "MapList"), all, "the default MapList.txt");
    ExpectText(TextOf(dlg, 1243), "MapList", "map list choice");
    CloseWindowWith(dlg, IDCANCEL);

    const std::string mine = DmPath("DM_Metropolis") + DmPath("DM_Chanolin");
    WriteTextFile(Join(folder, "MapList.txt"), mine);
    std::string store = Store(s.m_strGame);
    store.replace(store.find("  g_strMapList = MapList;"), 25, "  g_strMapList = Missing;");
    WriteTextFile(Join(UtilityFolder(s.m_strGame), "History.ini"), store);
    dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    ExpectText(TextOf(dlg, 1243), "MapList", "map list choice for a missing list");
    ExpectText(MapListFile(s.m_strGame, "MapList"), mine, "the user's MapList.txt");
    CloseWindowWith(dlg, IDCANCEL);
    CloseAndWait(s.m_run, s.m_hMain);
}

// The editor saves three levels in order; the first becomes the deathmatch starting level shown
// by the open configuration dialog, and the page then chooses the new list.
E2E_SCENARIO(maplist_editor_saves_three)
{
    CStarted s = StartOnDefaults();
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    ExpectText(TextOf(dlg, 1205), "Metropolis", "starting level before");
    Click(dlg, 1244);
    HWND editor = WaitForWindow(s.m_run, "#32770", kMapListCaption);
    HWND available = GetDlgItem(editor, 1111);
    HWND maps = GetDlgItem(editor, 1112);
    E2E_CHECK(ListTexts(s.m_run, available) == std::vector<std::string>(std::begin(kDmLevels), std::end(kDmLevels)),
              "available levels");
    E2E_CHECK((ListTexts(s.m_run, maps) == std::vector<std::string>{"Metropolis", "Little Trouble", "Brkeen Chevap",
                                                                     "Chanolin"}),
              "MapList.txt not shown");
    ExpectText(WindowText(GetDlgItem(editor, 1110)), "MapList", "name box");

    Click(editor, 1108);
    WaitUntil([&] { return ListCount(maps) == 0; }, 5000, "an empty map list");
    for (int row = 0; row < 4; ++row)
        E2E_CHECK(!ListChecked(available, row), "row %d still checked after Clear", row);
    for (int row : {2, 0, 3})
        SetListCheck(s.m_run, available, row, true);
    E2E_CHECK((ListTexts(s.m_run, maps) == std::vector<std::string>{"Chanolin", "Little Trouble", "Metropolis"}),
              "checked levels not appended in order");
    SetListCheck(s.m_run, available, 0, false);
    SetListCheck(s.m_run, available, 0, true);
    E2E_CHECK((ListTexts(s.m_run, maps) == std::vector<std::string>{"Chanolin", "Metropolis", "Little Trouble"}),
              "unchecking did not remove its own row");

    // A double-click on a level's name, right of the check box, ticks it; a second one unticks it.
    DoubleClickRow(s.m_run, available, 1, 60);
    WaitUntil([&] { return ListCount(maps) == 4; }, 5000, "the double-clicked level appended");
    E2E_CHECK(ListChecked(available, 1) && ListText(s.m_run, maps, 3) == "Brkeen Chevap", "double-click did not add");
    DoubleClickRow(s.m_run, available, 1, 60);
    WaitUntil([&] { return ListCount(maps) == 3; }, 5000, "the double-clicked level removed");
    E2E_CHECK(!ListChecked(available, 1), "the second double-click left the level ticked");

    TypeInComboEdit(editor, 1110, "Three");
    Click(editor, IDOK);
    WaitUntil([&] { return WindowText(GetDlgItem(editor, IDCANCEL)) == "Finished"; }, 10000, "Finished");
    ExpectText(MapListFile(s.m_strGame, "Three"), DmPath("DM_Chanolin") + DmPath("DM_Metropolis") + DmPath("DM_LittleTrouble"),
               "Three.txt");
    ExpectText(TextOf(dlg, 1205), "Chanolin", "starting level after the save");
    E2E_CHECK(LogHas(s.m_strGame, "INF:  Attempting to save Map List file: " +
                                 Join(UtilityFolder(s.m_strGame), "MapLists\\Three.txt") + "...\n"),
              "save not logged");
    // Closing the name box's list loads the chosen list and drops unsaved edits.
    Click(editor, 1108);
    WaitUntil([&] { return ListCount(maps) == 0; }, 5000, "an empty map list");
    Choose(editor, 1110, 0);
    ExpectText(WindowText(GetDlgItem(editor, 1110)), "MapList", "name box after the close-up");
    E2E_CHECK(ListCount(maps) == 4 && ListChecked(available, 0), "MapList.txt not loaded on the close-up");
    E2E_CHECK(LogHas(s.m_strGame, "INF:  Current Map List: MapList\n"), "the close-up not logged");
    CloseWindowWith(editor, IDCANCEL);
    ExpectText(TextOf(dlg, 1243), "Three", "map list choice after the editor");
    CloseWindowWith(dlg, IDCANCEL);
    CloseAndWait(s.m_run, s.m_hMain);
}

namespace {

// Tollan answers WM_GETTEXT only between messages, so a text seen means the key was handled.
bool Shows(HWND root, int id, const std::string& text) { return TextOf(root, id) == text; }

// A key on a closed box (a letter is typed, 0 turns the wheel up), then the text that follows.
void Move(HWND root, int id, unsigned key, int followerId, const char* follower)
{
    HWND box = FindControl(root, id), edit = FindWindowExA(box, nullptr, "Edit", nullptr);
    if (key >= 'a' && key <= 'z')
        PostChars(box, std::string(1, static_cast<char>(key)));
    else if (key)
        PostKey(edit ? edit : box, key);
    else
        PostMessageA(box, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    WaitUntil([&] { return Shows(root, followerId, follower); }, 5000, follower);
}

void SaveAndWaitFor(const CStarted& s, HWND dlg, const std::string& name, const std::vector<std::string>& lines)
{
    Click(dlg, 1200);
    auto saved = [&] {
        const std::string block = Block(Store(s.m_strGame), name);
        return std::all_of(lines.begin(), lines.end(), [&](const std::string& l) { return Contains(block, l); });
    };
    WaitUntil(saved, 10000, name.c_str());
}

}  // namespace

// Keys, the wheel and a typed letter on closed lists act as a pick of what they show, in the
// map list editor and in the configuration dialog; a raised server FPS is shown once saved.
E2E_SCENARIO(config_keys_choose_what_shows)
{
    CStarted s = StartOnDefaults();
    WriteTextFile(Join(UtilityFolder(s.m_strGame), "MapLists\\Second.txt"), DmPath("DM_Chanolin"));
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    Click(dlg, 1244);
    HWND editor = WaitForWindow(s.m_run, "#32770", kMapListCaption);
    Move(editor, 1110, VK_DOWN, 1110, "Second");
    WaitUntil([&] { return ListCount(GetDlgItem(editor, 1112)) == 1; }, 5000, "Second's rows");
    Click(editor, IDOK);
    WaitUntil([&] { return Shows(editor, IDCANCEL, "Finished"); }, 5000, "Finished");
    ExpectText(MapListFile(s.m_strGame, "Second"), DmPath("DM_Chanolin"), "Second.txt");
    CloseWindowWith(editor, IDCANCEL);

    SetText(dlg, 1214, "10");
    Move(dlg, 1243, VK_HOME, 1243, "MapList");
    Move(dlg, 1205, VK_HOME, 1205, "Little Trouble");
    SaveAndWaitFor(s, dlg, "NormalDM", {"  g_strMapList = MapList;", "  g_iDmStartingLevel = 0;", "  g_iFPS = 15;"});
    WaitUntil([&] { return Shows(dlg, 1214, "15"); }, 5000, "the raised FPS");
    Move(dlg, 1201, VK_DOWN, 1204, "COOPERATIVE");
    Move(dlg, 1230, VK_END, 1230, "DRAVIC");
    SaveAndWaitFor(s, dlg, "NormalCOOP", {"  g_gdDifficulty = 4;", "  g_gtGameType = 0;"});
    Move(dlg, 1201, 0, 1204, "DEATHMATCH");
    Move(dlg, 1204, 'c', 1204, "COOPERATIVE");
    ExpectText(TextOf(dlg, 1230), "NORMAL", "NormalDM's difficulty on the new page");
    CloseWindowWith(dlg, IDCANCEL);
    CloseAndWait(s.m_run, s.m_hMain);
}

// A name typed and left with Cancel is gone at the next opening: Save writes the entry shown.
E2E_SCENARIO(config_typed_name_abandoned)
{
    CStarted s = StartOnDefaults();
    const std::string coop = Block(Store(s.m_strGame), "NormalCOOP");
    HWND dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    HWND edit = FindWindowExA(FindControl(dlg, 1201), nullptr, "Edit", nullptr);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "NormalCOOP");
    WaitUntil([&] { return Shows(dlg, 1201, "NormalCOOP"); }, 5000, "the typed name");
    CloseWindowWith(dlg, IDCANCEL);
    dlg = OpenConfigDialog(s.m_run, s.m_hMain);
    SetText(dlg, 1209, "7");
    SaveAndWaitFor(s, dlg, "NormalDM", {"  g_ctMaxPlayers = 7;"});
    ExpectText(Block(Store(s.m_strGame), "NormalCOOP"), coop, "NormalCOOP's block");
    CloseWindowWith(dlg, IDCANCEL);
    CloseAndWait(s.m_run, s.m_hMain);
}

// Not a check: the time from a click on "Config Settings..." to the dialog on the screen.
E2E_SCENARIO(config_dialog_timing)
{
    CStarted s = StartOnDefaults();
    std::vector<double> times;
    for (int i = 0; i < 5; ++i) {
        LARGE_INTEGER f, t0, t1;
        QueryPerformanceFrequency(&f);
        QueryPerformanceCounter(&t0);
        ClickButton(s.m_hMain, 1058);
        HWND dlg = nullptr;
        while (!(dlg = FindProcessWindow(s.m_run.Pid(), "#32770", kConfigCaption))) {
            QueryPerformanceCounter(&t1);
            E2E_CHECK(t1.QuadPart - t0.QuadPart < 20 * f.QuadPart, "the dialog did not open");
            Sleep(1);
        }
        QueryPerformanceCounter(&t1);
        times.push_back(1000.0 * (t1.QuadPart - t0.QuadPart) / f.QuadPart);
        CloseWindowWith(dlg, IDCANCEL);
    }
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    for (double t : times)
        Note("click to configuration dialog shown: %.0f ms", t);
    Note("median of 5: %.0f ms", sorted[2]);
    CloseAndWait(s.m_run, s.m_hMain);
}
