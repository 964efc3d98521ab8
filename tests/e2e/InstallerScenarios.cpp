// Wine scenarios of the Installer, Uninstall.exe and Delete.dll. InstallerDriver is TollanDriver's
// support with these scenarios; the programs are taken from the folder of the Tollan.exe it is
// given. Windows are found by control id; page controls are the visible ones of that id.
#include "tests/e2e/DriverSupport.h"
#include "tests/e2e/WinTestFiles.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <cstring>

namespace {

using namespace e2e;

const char* const kWizardCaption = " DQ2 Dedicated Server Utility Installer";
const char* const kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollan";
const char* const kStoppedStatus = "The installation has stopped. Installation.log tells why.";
enum { kNext = 1004, kBack = 1007, kCancel = 2, kTargetEdit = 1008, kHeaderTitle = 1013, kStatusLine = 1018,
       kDetailLine = 1011, kViewReadMe = 1017, kLaunchUtility = 1018, kDesktopIcons = 1017,
       kBrowse = 1009 };

std::string BuiltFile(const char* name)
{
    const std::string& tollan = Context().m_strTollanExe;
    return Join(tollan.substr(0, tollan.find_last_of('\\')), name);
}

// ---- windows ----

struct CChildSearch {
    int m_nId;
    HWND m_hFound;
};

BOOL CALLBACK FindVisibleChild(HWND hwnd, LPARAM l)
{
    CChildSearch* s = reinterpret_cast<CChildSearch*>(l);
    if (GetDlgCtrlID(hwnd) == s->m_nId && IsWindowVisible(hwnd)) {
        s->m_hFound = hwnd;
        return FALSE;
    }
    return TRUE;
}

// The visible control of that id anywhere in the wizard (the pages reuse ids), or null.
HWND Shown(HWND frame, int id)
{
    CChildSearch s{id, nullptr};
    EnumChildWindows(frame, FindVisibleChild, reinterpret_cast<LPARAM>(&s));
    return s.m_hFound;
}

std::string ShownText(HWND frame, int id)
{
    HWND control = Shown(frame, id);
    E2E_CHECK(control, "no visible control %d", id);
    return WindowText(control);
}

void ClickShown(HWND frame, int id)
{
    HWND control = Shown(frame, id);
    E2E_CHECK(control, "no visible button %d", id);
    PostMessageA(control, BM_CLICK, 0, 0);
}

struct CTopSearch {
    DWORD m_nPid;
    const char* m_pszTitle;
    HWND m_hExcept;
    HWND m_hFound;
};

BOOL CALLBACK FindTopWindow(HWND hwnd, LPARAM l)
{
    CTopSearch* s = reinterpret_cast<CTopSearch*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->m_nPid && hwnd != s->m_hExcept && IsWindowVisible(hwnd) && ClassOf(hwnd) == "#32770" &&
        WindowText(hwnd) == s->m_pszTitle) {
        s->m_hFound = hwnd;
        return FALSE;
    }
    return TRUE;
}

// A dialog of the process with that caption other than `except`.
HWND WaitForDialog(const CTollanRun& run, const char* title, HWND except = nullptr, DWORD timeoutMs = 20000)
{
    CTopSearch s{run.Pid(), title, except, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(FindTopWindow, reinterpret_cast<LPARAM>(&s));
            E2E_CHECK(s.m_hFound || IsRunning(run), "the program ended while the driver waited for \"%s\"", title);
            return s.m_hFound != nullptr;
        },
        timeoutMs, title);
    return s.m_hFound;
}

void WaitForText(HWND frame, int id, const char* text, DWORD timeoutMs = 10000)
{
    std::string what = std::string("control ") + std::to_string(id) + " to read \"" + text + "\"";
    WaitUntil([&] { return Shown(frame, id) && WindowText(Shown(frame, id)) == text; }, timeoutMs, what.c_str());
}

// A message box of the process titled "Tollan": its text; then the given button is clicked.
std::string AnswerBox(const CTollanRun& run, int button)
{
    HWND box = WaitForDialog(run, "Tollan");
    std::string text;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static" && (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF)
            text = WindowText(child);
    ClickButton(box, button);
    WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }, 10000, "the message box to close");
    return text;
}

// The shell's folder browser opened by the wizard: cancelled.
void CancelBrowser(const CTollanRun& run)
{
    HWND browser = WaitForDialog(run, "  Browsing for...");
    PostMessageA(browser, WM_COMMAND, IDCANCEL, 0);
    WaitUntil([&] { return !IsWindow(browser); }, 10000, "the folder browser to close");
}

// ---- files, registry, shortcuts ----

std::string SpecialFolder(int csidl)
{
    char path[MAX_PATH] = "";
    E2E_CHECK(SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE), "no special folder %d", csidl);
    return path;
}

std::vector<std::string> InstallationLog(const std::string& game)
{
    return Lines(ReadAll(Join(UtilityFolder(game), "Installation.log")));
}

// A registry value as stored: its type and its data (strings through the wide API, so a
// missing terminating NUL shows).
bool ReadValue(HKEY root, const char* path, const char* name, DWORD& type, std::string& data)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    std::wstring wname(name, name + strlen(name));
    DWORD size = 0;
    LONG rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, nullptr, &size);
    std::string raw(size, '\0');
    if (rc == ERROR_SUCCESS)
        rc = RegQueryValueExW(key, wname.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&raw[0]), &size);
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return false;
    data.clear();
    if (type == REG_SZ)
        for (size_t i = 0; i + 1 < size; i += 2)
            data += raw[i];
    else
        data = raw.substr(0, size);
    return true;
}

bool KeyExists(HKEY root, const char* path)
{
    HKEY key;
    if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

struct CLink {
    std::string m_strTarget, m_strFolder, m_strDescription;
};

CLink ReadLink(const std::string& path)
{
    CLink link;
    CoInitialize(nullptr);  // once for the driver's thread; later calls only count
    IShellLinkA* shell = nullptr;
    IPersistFile* file = nullptr;
    E2E_CHECK(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                         reinterpret_cast<void**>(&shell))),
              "no shell link object");
    std::wstring wide(path.begin(), path.end());
    bool ok = SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Load(wide.c_str(), STGM_READ));
    char buf[MAX_PATH] = "";
    if (ok && SUCCEEDED(shell->GetPath(buf, MAX_PATH, nullptr, SLGP_RAWPATH)))
        link.m_strTarget = buf;
    if (ok && SUCCEEDED(shell->GetWorkingDirectory(buf, MAX_PATH)))
        link.m_strFolder = buf;
    if (ok && SUCCEEDED(shell->GetDescription(buf, MAX_PATH)))
        link.m_strDescription = buf;
    if (file)
        file->Release();
    shell->Release();
    E2E_CHECK(ok, "cannot load the shortcut %s", path.c_str());
    return link;
}

// The four link files in the order the Installer makes them.
std::vector<std::string> LinkPaths()
{
    const std::string group = Join(SpecialFolder(CSIDL_PROGRAMS), "DQ2 Dedicated Server Utility");
    return {Join(SpecialFolder(CSIDL_DESKTOP), "DQ2 Dedicated Server Utility.lnk"),
            Join(SpecialFolder(CSIDL_APPDATA),
                 "Microsoft\\Internet Explorer\\Quick Launch\\DQ2 Dedicated Server Utility.lnk"),
            Join(group, "DQ2 Dedicated Server Utility.lnk"), Join(group, "Uninstall DQ2 Dedicated Server Utility.lnk")};
}

void RemoveShortcuts()
{
    for (const std::string& link : LinkPaths())
        DeleteFileA(link.c_str());
    RemoveDirectoryA(Join(SpecialFolder(CSIDL_PROGRAMS), "DQ2 Dedicated Server Utility").c_str());
}

// Every test starts and ends without the Installer's traces outside its work folder. The Quick
// Launch folder is there, as on Windows; a fresh Wine prefix lacks it.
void CleanSystem()
{
    RemoveShortcuts();
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    std::string folder = SpecialFolder(CSIDL_APPDATA);
    for (const char* part : {"Microsoft", "Internet Explorer", "Quick Launch"}) {
        folder = Join(folder, part);
        CreateDirectoryA(folder.c_str(), nullptr);
    }
}

void CleanSystemNowAndAtEnd()
{
    CleanSystem();
    AtScenarioEnd(CleanSystem);
}

// Programs the Installer started itself (Tollan, notepad) end with the scenario, passed or not.
void EndForeignPrograms()
{
    for (const char* cls : {"Notepad", "#32770"}) {
        HWND window = FindWindowA(cls, std::strcmp(cls, "Notepad") == 0 ? nullptr : kMainCaption);
        DWORD pid = 0;
        if (!window || !GetWindowThreadProcessId(window, &pid))
            continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid)) {
            TerminateProcess(process, 99);
            WaitForSingleObject(process, 5000);
            CloseHandle(process);
        }
    }
}

// ---- the Installer ----

const char* const kPayloadFiles[] = {
    "DedicatedServerUtility/History.ini",         "DedicatedServerUtility/Tollan.exe",
    "DedicatedServerUtility/MapLists/MapList.txt", "DedicatedServerUtility/Config/NormalCOOP.cfg",
    "DedicatedServerUtility/Config/NormalDM.cfg",  "DedicatedServerUtility/Updater.exe",
    "DedicatedServerUtility/Uninstall.exe",        "DedicatedServerUtility/ReadMe.txt",
};

// A game folder with the game but without the utility; the game's key points at it.
std::string PrepareBareGame(const std::string& name = "Dravic Qel 2")
{
    std::string game = PrepareGameFolder(name);
    RemoveTree(UtilityFolder(game));
    WriteGameKey(game);
    return game;
}

// Installer.exe copied into a folder of its own and started there, as a user would.
CTollanRun StartInstaller(HWND& frame)
{
    std::string setup = Join(Context().m_strWorkRoot, "setup");
    CreateDirectoryA(setup.c_str(), nullptr);
    std::string exe = Join(setup, "Installer.exe");
    E2E_CHECK(CopyFileA(BuiltFile("Installer.exe").c_str(), exe.c_str(), FALSE), "cannot copy Installer.exe");
    CTollanRun run = StartProgram("\"" + exe + "\"", setup);
    frame = WaitForDialog(run, kWizardCaption);
    return run;
}

// From the welcome page to "&Install" clicked; the game folder comes from the game's key.
void WalkToInstall(HWND frame, const std::string& game)
{
    ClickShown(frame, kNext);
    WaitForText(frame, kTargetEdit, (game + "\\DedicatedServerUtility").c_str());
    ClickShown(frame, kNext);
    WaitForText(frame, kNext, "&Install");
    ClickShown(frame, kNext);
}

bool RunStopped(HWND frame)
{
    HWND cancel = GetDlgItem(frame, kCancel);
    return IsWindowVisible(cancel) && IsWindowEnabled(cancel) && Shown(frame, kStatusLine) &&
           WindowText(Shown(frame, kStatusLine)) == kStoppedStatus;
}

// Install, Finish without the finishing actions; the run's time from "&Install" to Finish.
double InstallAndFinish(const std::string& game)
{
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    WalkToInstall(frame, game);
    LARGE_INTEGER start, now, freq;
    QueryPerformanceCounter(&start);
    WaitForText(frame, kNext, "Finish", 30000);
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&freq);
    ClickShown(frame, kNext);
    E2E_CHECK(WaitForExit(run, 20000), "the Installer did not end after Finish");
    return 1000.0 * double(now.QuadPart - start.QuadPart) / double(freq.QuadPart);
}

// Cancel, then "Yes" in the confirmation: the Installer ends.
void CancelInstaller(const CTollanRun& run, HWND frame)
{
    ClickButton(frame, kCancel);
    HWND confirm = WaitForDialog(run, kWizardCaption, frame);
    ClickButton(confirm, IDYES);
    E2E_CHECK(WaitForExit(run, 20000), "the Installer did not end after a confirmed Cancel");
}

// The text of a message box (its static text) shown by the process with that caption.
std::string BoxText(HWND box)
{
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (ClassOf(child) == "Static" && (GetDlgCtrlID(child) & 0xFFFF) == 0xFFFF)
            return WindowText(child);
    return std::string();
}

// Tab, as the keyboard sends it, until the focus is on `target`.
HWND FocusOf(const CTollanRun& run)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(run.m_pi.dwThreadId, &info) ? info.hwndFocus : nullptr;
}

void TabTo(const CTollanRun& run, HWND frame, HWND target)
{
    for (int i = 0; i < 8 && !FocusIsOn(run, target); ++i) {
        const HWND before = FocusOf(run);
        PostKey(frame, VK_TAB);
        WaitUntil([&] { return FocusOf(run) != before; }, 5000, "Tab to move the focus");
    }
    E2E_CHECK(FocusIsOn(run, target), "Tab never reached control %d", GetDlgCtrlID(target));
}

// A top-level window of another process the Installer started, by class and title.
HWND WaitForForeignWindow(const char* className, const char* title, DWORD timeoutMs = 20000)
{
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowA(className, title)) != nullptr; }, timeoutMs, title ? title : className);
    return found;
}

void CloseForeign(HWND window, UINT msg, WPARAM w)
{
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
    PostMessageA(window, msg, w, 0);
    if (process && WaitForSingleObject(process, 20000) != WAIT_OBJECT_0) {
        TerminateProcess(process, 99);
        CloseHandle(process);
        Fail("a program the Installer started did not close");
    }
    if (process)
        CloseHandle(process);
}

}  // namespace

E2E_SCENARIO(install_full)
{
    CleanSystemNowAndAtEnd();
    AtScenarioEnd(EndForeignPrograms);
    const std::string game = PrepareBareGame();
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    WalkToInstall(frame, game);
    // One run only: Next and Back go before the worker starts, and Cancel is disabled during it.
    WaitUntil([&] { return Shown(frame, kDetailLine) && !IsWindowEnabled(GetDlgItem(frame, kCancel)); }, 10000,
              "the progress page with Cancel disabled");
    E2E_CHECK(!IsWindowVisible(GetDlgItem(frame, kNext)) && !IsWindowVisible(GetDlgItem(frame, kBack)),
              "Next or Back is visible during the run");
    // The run's first step sets the header, a moment after the page shows.
    WaitForText(frame, kHeaderTitle, "Installing", 5000);
    WaitForText(frame, kNext, "Finish", 30000);
    E2E_CHECK(!IsWindowVisible(GetDlgItem(frame, kCancel)), "Cancel is still shown after the run");
    E2E_CHECK(ShownText(frame, 1006) == "Installation Complete", "the finished page is not shown");

    // Both finishing boxes ticked: Tollan first, then the read-me.
    ClickShown(frame, kViewReadMe);
    ClickShown(frame, kLaunchUtility);
    WaitUntil([&] { return SendMessageA(Shown(frame, kLaunchUtility), BM_GETCHECK, 0, 0) == BST_CHECKED; }, 5000,
              "the launch box to be ticked");
    ClickShown(frame, kNext);
    E2E_CHECK(WaitForExit(run, 20000), "the Installer did not end after Finish");
    HWND tollan = WaitForForeignWindow("#32770", kMainCaption);
    HWND notepad = WaitForForeignWindow("Notepad", nullptr);

    // The files, and the two empty folders at the game folder's top.
    for (const char* name : kPayloadFiles) {
        std::string path = game + "\\" + name;
        for (char& c : path)
            if (c == '/') c = '\\';
        E2E_CHECK(platform::FileExists(path), "%s was not installed", path.c_str());
    }
    E2E_CHECK(ReadAll(Join(UtilityFolder(game), "Tollan.exe")) == ReadAll(Context().m_strTollanExe),
              "the installed Tollan.exe is not the one built");
    E2E_CHECK(platform::IsDirectory(Join(game, "Config")) && platform::IsDirectory(Join(game, "MapLists")), "a top folder is missing");
    E2E_CHECK(!platform::FileExists(Join(Join(Context().m_strWorkRoot, "setup"), "Installer.zip")),
              "Installer.zip was written into the Installer's folder");

    // The log of a complete run, line by line, then the finishing actions.
    const std::vector<std::string> links = LinkPaths();
    std::vector<std::string> expected = {"Created Installer.zip file.", "", "Extracting files from Installer.zip..."};
    for (const char* name : kPayloadFiles)
        expected.push_back("  " + game + "\\" + name);
    for (const char* line : {"", "Installer.zip Deleted.", "", "Creating Shortcuts..."})
        expected.push_back(line);
    for (const std::string& link : links)
        expected.push_back("  " + link + " created.");
    for (const char* line :
         {"", "Creating Registry Values...", "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings CurrentVersion Value Created",
          "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings GamePath Value Created",
          "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings CheckForUpdate Value Created",
          "  HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollan Values Created", "",
          "Installation Tasks Completed Successfully."})
        expected.push_back(line);
    expected.push_back("Launching Utility, Location: " + UtilityFolder(game));
    expected.push_back("Opening current ReadMe File: " + UtilityFolder(game) + "\\ReadMe.txt.");
    const std::vector<std::string> log = InstallationLog(game);
    for (size_t i = 0; i < expected.size() || i < log.size(); ++i)
        E2E_CHECK(i < log.size() && i < expected.size() && log[i] == expected[i], "log line %u: \"%s\", expected \"%s\"",
                  unsigned(i + 1), i < log.size() ? log[i].c_str() : "<none>",
                  i < expected.size() ? expected[i].c_str() : "<none>");

    // Registry values and types; strings without a terminating NUL, the uninstaller's path
    // quoted because the game folder holds a blank.
    struct {
        HKEY root;
        const char* key;
        const char* name;
        DWORD type;
        std::string data;
    } values[] = {
        {HKEY_CURRENT_USER, "Software\\Tollan\\Settings", "CurrentVersion", REG_DWORD, std::string("\5\0\0\0", 4)},
        {HKEY_CURRENT_USER, "Software\\Tollan\\Settings", "GamePath", REG_SZ, game},
        {HKEY_CURRENT_USER, "Software\\Tollan\\Settings", "CheckForUpdate", REG_DWORD, std::string(4, '\0')},
        {HKEY_LOCAL_MACHINE, kUninstallKey, "DisplayName", REG_SZ, "Dravic Qel 2 Dedicated Server Utility"},
        {HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", REG_SZ,
         "\"" + UtilityFolder(game) + "\\Uninstall.exe\""},
    };
    for (const auto& v : values) {
        DWORD type = 0;
        std::string data;
        E2E_CHECK(ReadValue(v.root, v.key, v.name, type, data), "value %s is missing", v.name);
        E2E_CHECK(type == v.type && data == v.data, "value %s: type %lu, data \"%s\"", v.name, type, data.c_str());
    }

    // The four shortcuts: targets and working folders.
    const std::string folder = UtilityFolder(game);
    for (size_t i = 0; i < links.size(); ++i) {
        CLink link = ReadLink(links[i]);
        const std::string target = Join(folder, i == 3 ? "Uninstall.exe" : "Updater.exe");
        E2E_CHECK(link.m_strTarget == target && link.m_strFolder == folder, "%s: \"%s\" in \"%s\"", links[i].c_str(),
                  link.m_strTarget.c_str(), link.m_strFolder.c_str());
        E2E_CHECK(link.m_strDescription == (i == 3 ? "" : "Quorvably Dedicated!"), "%s: description \"%s\"",
                  links[i].c_str(), link.m_strDescription.c_str());
    }

    CloseForeign(notepad, WM_CLOSE, 0);
    CloseForeign(tollan, WM_SYSCOMMAND, SC_CLOSE);
}

E2E_SCENARIO(install_wizard)
{
    CleanSystemNowAndAtEnd();
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);  // no game key at all
    E2E_CHECK(!IsWindowVisible(GetDlgItem(frame, kBack)), "Back is shown on the welcome page");

    // Page 1 without a game folder opens the browser; cancelling keeps the placeholder.
    ClickShown(frame, kNext);
    CancelBrowser(run);
    WaitForText(frame, kTargetEdit, "Please Choose the DQ2 Game Folder");
    E2E_CHECK(ShownText(frame, kHeaderTitle) == "Destination Folder", "header of page 1");

    // Next still leads on; Back from page 2 restores "&Next >" and page 1's header.
    ClickShown(frame, kNext);
    WaitForText(frame, kNext, "&Install");
    ClickShown(frame, kBack);
    WaitForText(frame, kNext, "&Next >");
    WaitForText(frame, kHeaderTitle, "Destination Folder");
    ClickShown(frame, kNext);
    WaitForText(frame, kNext, "&Install");

    // Cancel asks; "No" and closing the box keep the wizard on its page.
    for (UINT how : {0u, 1u}) {
        ClickButton(frame, kCancel);
        HWND confirm = WaitForDialog(run, kWizardCaption, frame);
        E2E_CHECK(GetDlgItem(confirm, 1020) && GetDlgItem(confirm, IDYES), "not the cancel confirmation");
        if (how == 0)
            ClickButton(confirm, IDNO);
        else
            PostMessageA(confirm, WM_CLOSE, 0, 0);
        WaitUntil([&] { return !IsWindow(confirm); }, 10000, "the confirmation to close");
        E2E_CHECK(IsRunning(run) && ShownText(frame, kNext) == "&Install", "the wizard left page 2");
    }

    // "&Install" with no game folder opens the browser; still none: no run, still page 2.
    ClickShown(frame, kNext);
    CancelBrowser(run);
    Sleep(300);
    E2E_CHECK(ShownText(frame, kNext) == "&Install" && !Shown(frame, kDetailLine), "a run started without a folder");
    CancelInstaller(run, frame);
}

E2E_SCENARIO(install_boxes_as_shown)
{
    // Boxes changed without a click (as assistive tools set them): the run and Finish do what
    // they show, not what the last click said.
    CleanSystemNowAndAtEnd();
    AtScenarioEnd(EndForeignPrograms);
    const std::string game = PrepareBareGame();
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    ClickShown(frame, kNext);
    WaitForText(frame, kTargetEdit, (game + "\\DedicatedServerUtility").c_str());
    ClickShown(frame, kNext);
    WaitForText(frame, kNext, "&Install");
    SendMessageA(Shown(frame, kDesktopIcons), BM_SETCHECK, BST_UNCHECKED, 0);
    ClickShown(frame, kNext);
    WaitForText(frame, kNext, "Finish", 30000);
    SendMessageA(Shown(frame, kViewReadMe), BM_SETCHECK, BST_CHECKED, 0);
    ClickShown(frame, kNext);
    E2E_CHECK(WaitForExit(run, 20000), "the Installer did not end after Finish");
    HWND notepad = WaitForForeignWindow("Notepad", nullptr);

    const std::vector<std::string> links = LinkPaths();
    E2E_CHECK(!platform::FileExists(links[0]), "the desktop shortcut was made with its box cleared");
    E2E_CHECK(platform::FileExists(links[1]), "the quick launch shortcut is missing");
    const std::vector<std::string> log = InstallationLog(game);
    E2E_CHECK(!log.empty() && log.back() == "Opening current ReadMe File: " + UtilityFolder(game) + "\\ReadMe.txt.",
              "last log line: \"%s\"", log.empty() ? "" : log.back().c_str());
    CloseForeign(notepad, WM_CLOSE, 0);
}

E2E_SCENARIO(install_keys_browse_and_cancel)
{
    CleanSystemNowAndAtEnd();
    const std::string game = PrepareBareGame();
    SHDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tollan");
    const std::string target = game + "\\DedicatedServerUtility";
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    PostMessageA(GetDlgItem(frame, kNext), WM_SYSCHAR, 'n', 0x20000001);  // Alt+N
    WaitForText(frame, kTargetEdit, target.c_str());

    // Enter on the focused Browse button opens the browser (the dialog manager sends that click
    // to the frame); Escape there changes nothing.
    HWND browse = Shown(frame, kBrowse);
    TabTo(run, frame, browse);
    PostKey(browse, VK_RETURN);
    HWND browser = WaitForDialog(run, "  Browsing for...");
    PostKey(browser, VK_ESCAPE);
    WaitUntil([&] { return !IsWindow(browser); }, 10000, "the folder browser to close");
    E2E_CHECK(ShownText(frame, kTargetEdit) == target, "a cancelled browser changed the target to \"%s\"",
              ShownText(frame, kTargetEdit).c_str());

    // Escape asks; after "Yes" nothing at all was written.
    PostKey(browse, VK_ESCAPE);
    HWND confirm = WaitForDialog(run, kWizardCaption, frame);
    ClickButton(confirm, IDYES);
    E2E_CHECK(WaitForExit(run, 20000), "the Installer did not end after a confirmed Cancel");
    E2E_CHECK(!platform::IsDirectory(UtilityFolder(game)) && !KeyExists(HKEY_CURRENT_USER, "Software\\Tollan"),
              "a cancelled wizard wrote something");
}

E2E_SCENARIO(install_long_game_folder)
{
    // Beyond 178 characters the log's lines would be cut (and on Windows the paths pass MAX_PATH).
    CleanSystemNowAndAtEnd();
    std::string deep = PrepareBareGame();
    while (deep.size() < 160) {
        deep = Join(deep, "nested folder");
        CreateDirectoryA(deep.c_str(), nullptr);
    }
    deep = Join(deep, std::string(179 - deep.size() - 1, 'x'));
    E2E_CHECK(CreateDirectoryA(deep.c_str(), nullptr) && deep.size() == 179, "cannot make the long folder");
    WriteGameKey(deep);
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    WalkToInstall(frame, deep);
    HWND warning = WaitForDialog(run, kWizardCaption, frame);
    const std::string text = BoxText(warning);
    E2E_CHECK(text.find(deep) != std::string::npos && text.find("at most 178 characters") != std::string::npos,
              "warning: \"%s\"", text.c_str());
    ClickButton(warning, IDOK);
    CancelBrowser(run);
    E2E_CHECK(ShownText(frame, kNext) == "&Install" && !Shown(frame, kDetailLine), "a run started below the folder");
    E2E_CHECK(!platform::IsDirectory(UtilityFolder(deep)) && !platform::IsDirectory(Join(deep, "Config")),
              "something was written below the folder");
    CancelInstaller(run, frame);
}

E2E_SCENARIO(install_refused_while_running)
{
    CleanSystemNowAndAtEnd();
    const std::string game = PrepareGameFolder();
    WriteGameKey(game);
    CTollanRun tollan = StartTollan(game);
    HWND main = WaitForMainWindow(tollan);
    const std::string before = ReadAll(Join(UtilityFolder(game), "Tollan.exe"));

    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    WalkToInstall(frame, game);
    WaitUntil([&] { return RunStopped(frame); }, 20000, "the run to stop");
    E2E_CHECK(!IsWindowVisible(GetDlgItem(frame, kNext)) && !Shown(frame, 1006), "the run did not stop on its page");
    std::vector<std::string> log = InstallationLog(game);
    E2E_CHECK(log == std::vector<std::string>({"  Error!  The DQ2 Dedicated Server Utility is running. Close it, "
                                               "then run the Installer again."}),
              "log: %u lines, first \"%s\"", unsigned(log.size()), log.empty() ? "" : log[0].c_str());
    E2E_CHECK(ReadAll(Join(UtilityFolder(game), "Tollan.exe")) == before, "Tollan.exe was touched");
    E2E_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the uninstall entry was written");
    CancelInstaller(run, frame);
    CloseAndWait(tollan, main);
}

E2E_SCENARIO(install_reinstall_and_locked_file)
{
    CleanSystemNowAndAtEnd();
    const std::string game = PrepareBareGame();
    const std::string history = Join(UtilityFolder(game), "History.ini");
    const double first = InstallAndFinish(game);
    Note("figure: \"&Install\" to the Finish page: %.0f ms", first);

    // A reinstall keeps the user's History.ini and replaces the programs.
    const std::string changed = "[History]\r\nMine\r\n";
    WriteAll(history, changed);
    WriteAll(Join(UtilityFolder(game), "Tollan.exe"), "old");
    InstallAndFinish(game);
    E2E_CHECK(ReadAll(history) == changed, "the reinstall overwrote History.ini");
    E2E_CHECK(ReadAll(Join(UtilityFolder(game), "Tollan.exe")) == ReadAll(Context().m_strTollanExe),
              "the reinstall did not replace Tollan.exe");
    std::vector<std::string> log = InstallationLog(game);
    E2E_CHECK(log.size() > 3 && log[3] == "  " + game + "\\DedicatedServerUtility/History.ini already exists and is kept.",
              "log line 4: \"%s\"", log.size() > 3 ? log[3].c_str() : "");

    // A target file held open without sharing: the run ends in the error state.
    SHDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKey);
    HANDLE lock = CreateFileA(Join(UtilityFolder(game), "Updater.exe").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    E2E_CHECK(lock != INVALID_HANDLE_VALUE, "cannot lock Updater.exe");
    AtScenarioEnd([lock] { CloseHandle(lock); });
    HWND frame = nullptr;
    CTollanRun run = StartInstaller(frame);
    WalkToInstall(frame, game);
    WaitUntil([&] { return RunStopped(frame); }, 30000, "the run to stop");
    E2E_CHECK(!Shown(frame, 1006) && !IsWindowVisible(GetDlgItem(frame, kNext)), "the run did not stop on its page");
    log = InstallationLog(game);
    const std::string failed = "  Error!  Failed to extract " + game + "\\DedicatedServerUtility/Updater.exe.";
    bool found = false;
    for (const std::string& line : log)
        found = found || line == failed;
    E2E_CHECK(found, "no error line for the locked file");
    E2E_CHECK(!log.empty() && log.back() == "  Error!  1 of 10 entries could not be installed; no shortcut or "
                                            "registry value was created.",
              "last line: \"%s\"", log.empty() ? "" : log.back().c_str());
    E2E_CHECK(!KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey), "the uninstall entry was written");
    CancelInstaller(run, frame);
}

E2E_SCENARIO(uninstall)
{
    CleanSystemNowAndAtEnd();
    const std::string game = PrepareBareGame();
    const std::string utility = UtilityFolder(game);
    for (bool removeData : {false, true}) {
        InstallAndFinish(game);
        WriteAll(Join(utility, "Config\\Mine.cfg"), "mine");
        WriteAll(Join(utility, "Tollan.log"), "log");
        const std::string uninstall = Join(utility, "Uninstall.exe");
        CTollanRun run = StartProgram("\"" + uninstall + "\"", utility);
        std::string question = AnswerBox(run, IDYES);
        E2E_CHECK(question.find(utility) != std::string::npos, "first question: \"%s\"", question.c_str());
        AnswerBox(run, removeData ? IDYES : IDNO);
        E2E_CHECK(WaitForExit(run, 20000) && ExitCodeOf(run) == 0, "Uninstall.exe did not end well");
        // Delete.dll removes Uninstall.exe about 2 s later.
        WaitUntil([&] { return !platform::FileExists(uninstall); }, 15000, "Uninstall.exe to be removed");

        for (const char* name : {"Tollan.exe", "Updater.exe", "ReadMe.txt"})
            E2E_CHECK(!platform::FileExists(Join(utility, name)), "%s is still there", name);
        for (const char* name : {"History.ini", "Config\\Mine.cfg", "Config\\NormalDM.cfg", "MapLists\\MapList.txt",
                                 "Tollan.log", "Installation.log"})
            E2E_CHECK(platform::FileExists(Join(utility, name)) != removeData, "%s: %s", name, removeData ? "kept" : "removed");
        for (const std::string& link : LinkPaths())
            E2E_CHECK(!platform::FileExists(link), "%s is still there", link.c_str());
        E2E_CHECK(!platform::IsDirectory(Join(SpecialFolder(CSIDL_PROGRAMS), "DQ2 Dedicated Server Utility")),
                  "the Start menu group is still there");
        E2E_CHECK(!KeyExists(HKEY_CURRENT_USER, "Software\\Tollan") && !KeyExists(HKEY_LOCAL_MACHINE, kUninstallKey),
                  "a registry key is still there");
        WaitUntil(
            [&] {
                char temp[MAX_PATH];
                GetTempPathA(MAX_PATH, temp);
                WIN32_FIND_DATAA fd;
                HANDLE h = FindFirstFileA((std::string(temp) + "TollanDelete-*").c_str(), &fd);
                if (h != INVALID_HANDLE_VALUE)
                    FindClose(h);
                return h == INVALID_HANDLE_VALUE;
            },
            15000, "Delete.dll to remove itself from the temp folder");
    }
    E2E_CHECK(!platform::IsDirectory(Join(game, "Config")) && !platform::IsDirectory(Join(game, "MapLists")),
              "the payload's top folders are still there");
}

E2E_SCENARIO(uninstall_leaves_another_installation)
{
    // Two game folders, each with the utility; the shortcuts, entry and settings name the second.
    CleanSystemNowAndAtEnd();
    const std::string first = PrepareBareGame("First Game");
    InstallAndFinish(first);
    const std::string second = PrepareBareGame("Second Game");
    InstallAndFinish(second);

    CTollanRun run = StartProgram("\"" + Join(UtilityFolder(first), "Uninstall.exe") + "\"", UtilityFolder(first));
    AnswerBox(run, IDYES);
    AnswerBox(run, IDNO);
    E2E_CHECK(WaitForExit(run, 20000) && ExitCodeOf(run) == 0, "Uninstall.exe did not end well");
    E2E_CHECK(!platform::FileExists(Join(UtilityFolder(first), "Tollan.exe")), "the first installation was not removed");
    for (const std::string& link : LinkPaths())
        E2E_CHECK(platform::FileExists(link), "the second installation's %s was removed", link.c_str());
    DWORD type = 0;
    std::string data;
    E2E_CHECK(ReadValue(HKEY_LOCAL_MACHINE, kUninstallKey, "UninstallString", type, data) &&
                  data == "\"" + UtilityFolder(second) + "\\Uninstall.exe\"",
              "the uninstall entry reads \"%s\"", data.c_str());
    E2E_CHECK(ReadValue(HKEY_CURRENT_USER, "Software\\Tollan\\Settings", "GamePath", type, data) && data == second,
              "GamePath reads \"%s\"", data.c_str());
}

E2E_SCENARIO(uninstall_elsewhere_removes_nothing)
{
    // A copy of Uninstall.exe outside a DedicatedServerUtility folder would remove that folder's
    // read-me, store and scripts.
    const std::string folder = Join(Context().m_strWorkRoot, "Downloads");
    CreateDirectoryA(folder.c_str(), nullptr);
    CreateDirectoryA(Join(folder, "Config").c_str(), nullptr);
    const char* const files[] = {"ReadMe.txt", "History.ini", "Config\\Mine.cfg", "Uninstall.exe"};
    for (const char* name : files)
        WriteAll(Join(folder, name), "mine");  // Uninstall.exe: replaced by the program below
    E2E_CHECK(CopyFileA(BuiltFile("Uninstall.exe").c_str(), Join(folder, "Uninstall.exe").c_str(), FALSE),
              "cannot copy Uninstall.exe");
    CTollanRun run = StartProgram("\"" + Join(folder, "Uninstall.exe") + "\"", folder);
    const std::string text = AnswerBox(run, IDOK);
    E2E_CHECK(text == "This Uninstall.exe is not in a DedicatedServerUtility folder, so it removes nothing:\n" + folder,
              "box: \"%s\"", text.c_str());
    E2E_CHECK(WaitForExit(run, 20000) && ExitCodeOf(run) == 1, "Uninstall.exe did not end refusing");
    for (const char* name : files)
        E2E_CHECK(platform::FileExists(Join(folder, name)), "%s was removed", name);
}

E2E_SCENARIO(delete_dll)
{
    // rundll32 "<dll>",MagicDel <path>: the path is used unchanged, so a quoted one names nothing.
    for (bool quoted : {false, true}) {
        const std::string folder = Join(Context().m_strWorkRoot, quoted ? "quoted" : "plain");
        CreateDirectoryA(folder.c_str(), nullptr);
        const std::string dll = Join(folder, "Delete.dll");
        const std::string victim = Join(folder, "file to delete.txt");
        E2E_CHECK(CopyFileA(BuiltFile("Delete.dll").c_str(), dll.c_str(), FALSE), "cannot copy Delete.dll");
        WriteAll(victim, "x");
        CTollanRun run = StartProgram("rundll32.exe \"" + dll + "\",MagicDel " +
                                          (quoted ? "\"" + victim + "\"" : victim),
                                      folder);
        E2E_CHECK(WaitForExit(run, 15000), "rundll32 did not end");
        const double ms = ElapsedMs(run);
        Note("%s path: the host ended after %.0f ms", quoted ? "quoted" : "plain", ms);
        E2E_CHECK(ExitCodeOf(run) == 0, "exit code %lu", ExitCodeOf(run));
        E2E_CHECK(ms >= 2000 && ms < 6000, "the host ended after %.0f ms", ms);
        E2E_CHECK(!platform::FileExists(dll), "Delete.dll is still there");
        E2E_CHECK(platform::FileExists(victim) == quoted, "the file was %s", quoted ? "deleted" : "kept");
    }
}
