#include "app/TollanDlg_win.h"

#include "app/AppContext.h"
#include "app/AlertsDlg_win.h"
#include "server/AlertText.h"
#include "app/AppMessages_win.h"
#include "app/GameFolder_win.h"
#include "app/MainLayout.h"
#include "server/RunLogs.h"
#include "app/ScheduleDlg_win.h"
#include "app/StartOptions.h"
#include "base/SettingsStore.h"
#include "app/WindowPlacementRecord.h"
#include "base/GamePaths.h"
#include "base/Names.h"
#include "base/UtilityLog.h"
#include "config/ConfigDlg_win.h"
#include "config/HistoryStore.h"
#include "config/ServerConfig.h"
#include "controls/AboutDlg_win.h"
#include "maps/LevelCatalogue.h"
#include "maps/LevelDiscovery.h"
#include "platform/Platform.h"
#include "app/Resource.h"
#include "controls/Resource.h"
#include "wingui/Owners_win.h"
#include "platform/Registry_win.h"
#include "platform/Shell_win.h"

#include <windowsx.h>

#include <cstdio>
#include <vector>

namespace {

// "  Open Logs Folder": the shell's window on the runs' logs, the folder made when it is missing.
void OpenLogsFolder(HWND owner, const std::string& gameFolder)
{
    const std::string folder = RunLogsFolder(gameFolder);
    LogMessage("INF:  Opening the Logs folder: %s\n", folder.c_str());
    platform::MakeDirectory(folder);
    if (!platform::ShellOpen(owner, folder, std::string()))
        LogMessage("ERR:  ShellExecute() failed to open: %s\n", folder.c_str());
}

void Place(const wingui::CWindow& w, const CLayoutRect& r)
{
    w.Move(r.m_nX, r.m_nY, r.m_nWidth, r.m_nHeight, false);
}

int WindowHeight(const wingui::CWindow& w)
{
    RECT r = w.GetWindowRectangle();
    return r.bottom - r.top;
}

// A menu item's check shown; turned over, giving its new state.
void ShowCheck(HWND window, UINT command, bool bOn)
{
    CheckMenuItem(GetMenu(window), command, MF_BYCOMMAND | (bOn ? MF_CHECKED : MF_UNCHECKED));
}
bool FlipCheck(HWND window, UINT command)
{
    const bool on = (GetMenuState(GetMenu(window), command, MF_BYCOMMAND) & MF_CHECKED) == 0;
    ShowCheck(window, command, on);
    return on;
}

// REG_DWORD, 1 or 0: the user's choice of "  Minimize to Notification Area".
constexpr char kMinimizeToTrayValue[] = "MinimizeToTray";

// A visible dialog or message box owned by the window *l (tooltips are tool windows).
BOOL CALLBACK FindOwnedPopup(HWND w, LPARAM l)
{
    HWND& owner = *reinterpret_cast<HWND*>(l);
    if (GetWindow(w, GW_OWNER) != owner || !IsWindowVisible(w) || (GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_TOOLWINDOW))
        return TRUE;
    owner = w;
    return FALSE;
}

// The dialog or message box open over the window, and the one open over that; the window itself
// when there is none. (GetLastActivePopup misses a box that opened while the window was hidden.)
HWND TopPopupOf(HWND window)
{
    for (HWND owner = nullptr; owner != window;) {
        owner = window;
        EnumThreadWindows(GetCurrentThreadId(), FindOwnedPopup, reinterpret_cast<LPARAM>(&window));
    }
    return window;
}

}  // namespace

CTollanDlg::CTollanDlg(CAppContext& context, const CStartOptions& startOptions)
    : m_context(context), m_startOptions(startOptions),
      m_runner(context.m_strGameFolder, context.m_record, context.m_history, context.m_settings)
{
}

CTollanDlg::~CTollanDlg() = default;

bool CTollanDlg::OnInit()
{
    m_btnConfigSettings.Attach(GetItem(IDC_CONFIG_SETTINGS));
    m_btnStartServer.Attach(GetItem(IDC_START_SERVER));
    m_btnRestartServer.Attach(GetItem(IDC_RESTART_SERVER));
    m_btnPauseServer.Attach(GetItem(IDC_PAUSE_SERVER));
    m_btnListPlayers.Attach(GetItem(IDC_LIST_PLAYERS));
    // The template's captions are never shown.
    m_btnRestartServer.SetText("Restart Server");
    m_lblCurrentConfig.Attach(GetItem(IDC_CURRENT_CONFIG_LABEL));
    m_lblCfg.Attach(GetItem(IDC_CFG_LABEL));
    m_cmbConfigList.Attach(GetItem(IDC_CONFIG_LIST));
    m_console.Attach(GetItem(IDC_CONSOLE));
    m_cmbCommandLine.Attach(GetItem(IDC_COMMAND_LINE));
    m_hSizeCursor = LoadCursor(nullptr, IDC_SIZENWSE);

    AppendAboutToSystemMenu();

    m_hIcon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON,
                                            GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON), LR_SHARED));
    m_hSmallIcon = static_cast<HICON>(LoadImageA(Instance(), MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON),
                                                 GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    SendMsg(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMsg(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hSmallIcon));

    ReadColourScheme();
    if (m_bThemed)
        m_console.ModifyStyles(WS_BORDER, 0, WS_EX_CLIENTEDGE, 0);
    PrepareConsole();

    // The server run shows itself from here on.
    if (!m_runner.Attach(*this))
        LogMessage("ERR:  The server run's window could not be made.\n");

    CreateSizeGrip();
    SetCommandLineFont();
    // Laid out before the stored placement: SetWindowPlacement shows the window, and controls
    // moved after that (without a redraw) left their template places unpainted.
    RECT client = GetClientRectangle();
    LayoutControls(client.right, client.bottom);
    ApplyStoredPlacement();

    if (!FindGameFolder(m_hWnd, m_context.m_settings, m_context.m_strGameFolder)) {
        wingui::ShowWarning(m_hWnd, kProgramName, "Sorry but the Application has failed to find\nthe "
                                  "DedicatedServer.exe file and will now close");
        LogMessage("ERR:  Failed to find the DedicatedServer.exe file.\n");
        End(IDCANCEL);
        return true;
    }

    GetConfigHistory();
    FillCommandLineList();
    DiscoverLevels();
    PickUpRunningServer();

    SetMenuBitmaps();
    ShowUpdateSetting();
    ShowStartAtLaunchSetting();
    m_runner.LoadRestartSettings(m_context.m_settings);
    LoadAlertSettings();
    for (const std::string& line : m_startOptions.m_astrProblems)
        LogMessage("%s", line.c_str());
    if (m_startOptions.m_bMinimized)
        PostMessageA(m_hWnd, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    PostMessageA(m_hWnd, WM_APP_START_UP, 0, 0);
    ShowTraySetting();
    LogMessage("INF:  The Utility has started successfully.\n");
    return true;
}

void CTollanDlg::AppendAboutToSystemMenu()
{
    if (HMENU sys = GetSystemMenu(m_hWnd, FALSE)) {
        AppendMenuA(sys, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(sys, MF_STRING, IDM_ABOUTBOX, "&About Tollan...");
    }
}

// The desktop colour scheme of the visual styles; with one, the console gets a painted frame
// instead of its own border.
void CTollanDlg::ReadColourScheme()
{
    platform::CRegKey key;
    if (!key.Open(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager"))
        return;
    const std::optional<std::string> name = key.ReadString("ColorName", 260);
    if (!name)
        return;
    m_bThemed = true;
    if (auto colour = FrameColourForScheme(*name)) {
        m_bHasFrameColour = true;
        m_nFrameColour = *colour;
    }
}

void CTollanDlg::PrepareConsole() { m_console.Prepare(); }

void CTollanDlg::CreateSizeGrip()
{
    RECT client = GetClientRectangle();
    HWND grip = CreateWindowExA(0, "SCROLLBAR", "",
                                WS_CHILD | WS_VISIBLE | SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN,
                                client.right - 12, client.bottom - 12, 12, 12, m_hWnd, nullptr,
                                Instance(), nullptr);
    m_sizeGrip.Attach(grip);
}

void CTollanDlg::SetCommandLineFont()
{
    if (!GetFont())
        return;
    m_commandLineFont = wingui::DerivedFont(m_hWnd, 16, FW_BOLD);
    if (m_commandLineFont)
        m_cmbCommandLine.SetFont(m_commandLineFont.Get());
}

void CTollanDlg::ApplyStoredPlacement()
{
    auto bytes = m_context.m_settings.ReadBinary("WindowPlacement");
    if (!bytes)
        return;
    auto record = CWindowPlacementRecord::Decode(*bytes);
    if (!record)
        return;
    WINDOWPLACEMENT wp{};
    wp.length = record->m_nLength;
    wp.flags = record->m_nFlags;
    wp.showCmd = record->m_nShowCmd;
    wp.ptMinPosition = {record->m_nMinX, record->m_nMinY};
    wp.ptMaxPosition = {record->m_nMaxX, record->m_nMaxY};
    wp.rcNormalPosition = {record->m_nLeft, record->m_nTop, record->m_nRight, record->m_nBottom};
    SetWindowPlacement(m_hWnd, &wp);
}

void CTollanDlg::GetConfigHistory()
{
    std::vector<std::string> shown;
    for (int i = 0, n = m_cmbConfigList.GetCount(); i < n; ++i)
        shown.push_back(m_cmbConfigList.GetItemText(i));
    CConfigHistoryResult result = m_context.m_history.ReadConfigHistory(m_strCurrentConfig, m_runner.IsServerRunning(), shown);
    if (result.m_bListRead) {
        m_cmbConfigList.ResetContent();
        for (const std::string& name : result.m_names)
            m_cmbConfigList.AddString(name);
    }
    if (result.m_bListRead || result.m_nSelected >= 0)
        m_cmbConfigList.SetCurSel(result.m_nSelected);
}

void CTollanDlg::FillCommandLineList() { m_cmbCommandLine.Fill(); }

void CTollanDlg::DiscoverLevels()
{
    m_context.m_levels.Clear();
    ScanLevels(m_context.m_strGameFolder, m_context.m_levels);
}

// A server left running by an earlier Tollan: its run goes on here, and the list shows the
// configuration it runs.
void CTollanDlg::PickUpRunningServer()
{
    std::optional<std::string> config = m_runner.PickUpRunningServer(m_strCurrentConfig);
    if (!config)
        return;
    m_trayTip.OnPickedUp(m_runner.Status().m_nRun);
    m_strCurrentConfig = *config;
    m_bPickedUp = true;
    ShowCurrentConfig();
}

void CTollanDlg::ShowCurrentConfig()
{
    for (int i = 0, n = m_cmbConfigList.GetCount(); i < n; ++i)
        if (m_cmbConfigList.GetItemText(i) == m_strCurrentConfig) {
            m_cmbConfigList.SetCurSel(i);
            return;
        }
}

void CTollanDlg::StoreToggle(const char* name, bool bOn)
{
    if (!m_context.m_settings.WriteDword(name, bOn ? 1 : 0))
        LogMessage("ERR:  Unable to write %s to registry.\n", name);
}

void CTollanDlg::SetMenuBitmaps()
{
    HMENU menu = GetMenu(m_hWnd);
    if (!menu)
        return;
    const struct {
        UINT command;
        int unchecked;
        int checked;
    } items[] = {
        {ID_CLOSE_UTILITY, IDB_MENU_CLOSE, IDB_MENU_CLOSE},
        {ID_OPEN_CONFIG_FILE, IDB_MENU_CONFIG_FILE, IDB_MENU_CONFIG_FILE},
        {ID_OPEN_LOG_FILE, IDB_MENU_LOG_FILE, IDB_MENU_LOG_FILE},
        {ID_OPEN_LOGS_FOLDER, IDB_MENU_LOG_FILE, IDB_MENU_LOG_FILE},
        {ID_CHECK_FOR_UPDATES, IDB_MENU_UPDATE_OFF, IDB_MENU_UPDATE_ON},
        {ID_START_AT_LAUNCH, IDB_MENU_UPDATE_OFF, IDB_MENU_UPDATE_ON},
        {ID_MINIMIZE_TO_TRAY, IDB_MENU_UPDATE_OFF, IDB_MENU_UPDATE_ON},
        {ID_CLEAR_CONSOLE, IDB_MENU_CLEAR_CONSOLE, IDB_MENU_CLEAR_CONSOLE},
        {ID_APP_ABOUT, IDB_MENU_ABOUT, IDB_MENU_ABOUT},
    };
    auto load = [this](int id) {
        wingui::CBitmap& slot = m_menuBitmaps[id - IDB_MENU_CLOSE];
        if (!slot)
            // LR_LOADMAP3DCOLORS turns the bitmaps' grey background into the menu face colour.
            slot.Reset(static_cast<HBITMAP>(
                LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
        return slot.Get();
    };
    for (const auto& item : items)
        SetMenuItemBitmaps(menu, item.command, MF_BYCOMMAND, load(item.unchecked), load(item.checked));
}

void CTollanDlg::ShowUpdateSetting()
{
    auto stored = m_context.m_settings.ReadDword("CheckForUpdate");
    if (!stored)
        m_context.m_settings.WriteDword("CheckForUpdate", 1);
    ShowCheck(m_hWnd, ID_CHECK_FOR_UPDATES, stored.value_or(1) != 0);
}

void CTollanDlg::ShowTraySetting()
{
    m_nTaskbarCreated = CTrayIcon::RegisterTaskbarCreated();
    m_nShowHidden = RegisterWindowMessageA(kShowHiddenMessageName);
    const std::optional<std::uint32_t> stored = m_context.m_settings.ReadDword(kMinimizeToTrayValue);
    if (!stored && m_context.m_settings.Exists(kMinimizeToTrayValue))
        LogMessage("ERR:  MinimizeToTray in the registry is not a 32-bit number; the notification area is not used.\n");
    if (stored.value_or(0) != 0)
        SetMinimizeToTray(true);
}

bool CTollanDlg::OnCommand(WORD code, WORD id, HWND control)
{
    switch (id) {
    case IDC_START_SERVER:  // also Enter, the dialog's default action
        m_runner.OnStartStop(m_strCurrentConfig);
        return true;
    case IDC_RESTART_SERVER:
        m_runner.OnCommand(EServerCommand::Restart);
        return true;
    case IDC_PAUSE_SERVER:
        m_runner.OnCommand(EServerCommand::Pause);
        return true;
    case IDC_LIST_PLAYERS:
        m_runner.OnCommand(EServerCommand::ListPlayers);
        return true;
    case IDC_CONFIG_SETTINGS:
        OnConfigSettings();
        return true;
    case IDC_COMMAND_LINE:
        m_cmbCommandLine.OnNotification(code);
        return false;
    case IDC_CONFIG_LIST:
        // What the list shows is what Start launches: a selection moved by the arrow keys, the
        // wheel or a typed letter counts as a pick. An open list reports its pick at close-up.
        if (!m_cmbConfigList.IsChoice(code))
            return false;
        OnConfigListChange(code == CBN_CLOSEUP);
        return true;
    case ID_CLOSE_UTILITY:  // also the Escape key and IDCANCEL
        OnCloseUtility();
        return true;
    case ID_OPEN_CONFIG_FILE:
        OnOpenCurrentConfigFile();
        return true;
    case ID_OPEN_LOG_FILE:
        OnOpenUtilityLogFile();
        return true;
    case ID_OPEN_LOGS_FOLDER:
        OpenLogsFolder(m_hWnd, m_context.m_strGameFolder);
        return true;
    case ID_CHECK_FOR_UPDATES:
        OnCheckForUpdates();
        return true;
    case ID_CLEAR_CONSOLE:
        OnClearConsoleLog();
        return true;
    case ID_START_AT_LAUNCH:
        OnStartAtLaunch();
        return true;
    case ID_SCHEDULED_RESTART:
        OnScheduledRestart();
        return true;
    case ID_ALERTS:
        OnAlerts();
        return true;
    case ID_MINIMIZE_TO_TRAY:
        OnMinimizeToTray();
        return true;
    case ID_TRAY_SHOW:
        ShowFromTray();
        return true;
    case ID_TRAY_EXIT:
        // As the title bar's close; refused, like that, while a modal dialog owns the window.
        if (IsWindowEnabled(m_hWnd))
            m_runner.OnCloseCommand();
        else
            ShowFromTray();
        return true;
    case ID_APP_ABOUT:
        OnAbout();
        return true;
    }
    return false;
}

// "  Close Utility" and Escape: at once, whatever runs.
void CTollanDlg::OnCloseUtility() { End(IDCANCEL); }

void CTollanDlg::OnOpenCurrentConfigFile()
{
    const std::string path = ConfigScriptPath(m_context.m_strGameFolder, m_strCurrentConfig);
    LogMessage("INF:  Opening current Config File: %s\n", path.c_str());
    if (!platform::OpenInNotepad(m_hWnd, path))
        LogMessage("ERR:  ShellExecute() failed to open: %s\n", path.c_str());
}

void CTollanDlg::OnOpenUtilityLogFile()
{
    LogMessage("INF:  Opening Tollan.log file\n");
    if (!platform::OpenInNotepad(m_hWnd, UtilityLogPath()))
        LogMessage("ERR:  ShellExecute() failed to open Tollan.log file.\n");
}

void CTollanDlg::OnCheckForUpdates()
{
    m_context.m_settings.WriteDword("CheckForUpdate", FlipCheck(m_hWnd, ID_CHECK_FOR_UPDATES) ? 1 : 0);
}

void CTollanDlg::ShowStartAtLaunchSetting()
{
    ShowCheck(m_hWnd, ID_START_AT_LAUNCH, m_context.m_settings.ReadDword(kStartServerAtLaunchValue).value_or(0) != 0);
}

void CTollanDlg::OnStartAtLaunch()
{
    StoreToggle(kStartServerAtLaunchValue, FlipCheck(m_hWnd, ID_START_AT_LAUNCH));
}

void CTollanDlg::OnScheduledRestart()
{
    CScheduleDlg dialog(m_runner, m_context.m_settings);
    dialog.RunModalLoop(Instance(), IDD_SCHEDULED_RESTART, m_hWnd);
}

void CTollanDlg::OnStartUp()
{
    const bool setting = m_context.m_settings.ReadDword(kStartServerAtLaunchValue).value_or(0) != 0;
    const CStartLaunch launch =
        ChooseStartLaunch(m_startOptions, setting, m_bPickedUp,
                          m_context.m_settings.ReadString(kLastLaunchedConfigValue), m_context.m_history.ReadStoredConfigNames());
    if (!launch.m_strLogLine.empty())
        LogMessage("%s", launch.m_strLogLine.c_str());
    if (!launch.m_strConfig)
        return;
    m_strCurrentConfig = *launch.m_strConfig;
    ShowCurrentConfig();
    m_runner.OnStartStop(m_strCurrentConfig);
}

void CTollanDlg::OnMinimizeToTray()
{
    const bool on = !m_bMinimizeToTray;
    SetMinimizeToTray(on);
    // Never left hidden without the icon that brings it back.
    if (!on && !IsWindowVisible(m_hWnd))
        ShowFromTray();
    StoreToggle(kMinimizeToTrayValue, on);
}

void CTollanDlg::SetMinimizeToTray(bool bOn)
{
    m_bMinimizeToTray = bOn;
    ShowCheck(m_hWnd, ID_MINIMIZE_TO_TRAY, bOn);
    if (!bOn) {
        KillTimer(m_hWnd, kTimerTrayTip);
        m_tray.Remove();
        return;
    }
    SetTimer(m_hWnd, kTimerTrayTip, kTrayTipMs, nullptr);
    RefreshTray();
    if (!m_tray.IsShown())
        LogMessage("ERR:  Shell_NotifyIcon() failed to add the notification area icon.\n");
    // A window minimised before (a stored placement) goes once the dialog's loop has shown it.
    if (IsIconic(m_hWnd))
        PostMessageA(m_hWnd, WM_SIZE, SIZE_MINIMIZED, 0);
}

// The tip as the run stands now; an icon the shell did not take yet is tried again.
void CTollanDlg::RefreshTray()
{
    if (m_bMinimizeToTray)
        m_tray.Show(m_hWnd, m_hSmallIcon, m_trayTip.Text(m_runner.Status(), m_strCurrentConfig, GetTickCount()));
}

void CTollanDlg::OnTrayMessage(LPARAM l)
{
    switch (m_tray.RequestOf(l)) {
    case ETrayRequest::Show:
        ShowFromTray();
        break;
    case ETrayRequest::Menu:
        m_tray.ShowMenu(IsWindowEnabled(m_hWnd) != FALSE);
        break;
    case ETrayRequest::None:
        break;
    }
}

void CTollanDlg::ShowFromTray()
{
    ShowWindow(m_hWnd, IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW);
    // A modal dialog or message box open over the window comes to the front with it.
    SetForegroundWindow(TopPopupOf(m_hWnd));
}

// The pending fragment of the console model is kept: a line the log completes later still shows.
void CTollanDlg::OnClearConsoleLog() { m_console.Clear(); }

void CTollanDlg::OnAbout() { CAboutDlg::Show(Instance(), m_hWnd); }

void CTollanDlg::SendCommandLine()
{
    m_runner.SendCommandLine(m_cmbCommandLine.TakeCommandForSend());
    m_cmbCommandLine.SetFocus();
}

// "Config Settings...": the configuration dialog, modal; afterwards the list shows the store.
void CTollanDlg::OnConfigSettings()
{
    m_context.m_record.m_strConfigName = m_strCurrentConfig;
    CConfigDlg dialog(m_context.m_record, m_context.m_strGameFolder, m_context.m_levels, m_context.m_history);
    dialog.m_onScriptSaved = [this](const std::string& name) { m_runner.OnScriptSaved(name); };
    dialog.Run(Instance(), m_hWnd);
    // The configuration the dialog ended on becomes the current one, as it saved or picked it.
    m_strCurrentConfig = m_context.m_record.m_strConfigName;
    GetConfigHistory();
}

void CTollanDlg::OnSize(UINT type, int cx, int cy)
{
    if (type == SIZE_MINIMIZED && m_bMinimizeToTray && m_tray.IsShown() && IsIconic(m_hWnd))
        ShowWindow(m_hWnd, SW_HIDE);
    if (type == SIZE_MINIMIZED || !m_console)
        return;
    LayoutControls(cx, cy);
    if (type == SIZE_MAXIMIZED)
        m_sizeGrip.Show(SW_HIDE);
    else if (type == SIZE_RESTORED)
        m_sizeGrip.Show(SW_SHOW);
    RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void CTollanDlg::LayoutControls(int cx, int cy)
{
    CMainLayout m = ComputeMainLayout(cx, cy, WindowHeight(m_cmbConfigList), WindowHeight(m_cmbCommandLine),
                                      m_bThemed);
    Place(m_btnConfigSettings, m.m_configSettings);
    Place(m_lblCurrentConfig, m.m_currentConfigLabel);
    Place(m_cmbConfigList, m.m_configList);
    Place(m_lblCfg, m.m_cfgLabel);
    Place(m_btnListPlayers, m.m_listPlayers);
    Place(m_btnPauseServer, m.m_pauseServer);
    Place(m_btnRestartServer, m.m_restartServer);
    Place(m_btnStartServer, m.m_startServer);
    Place(m_console, m.m_console);
    Place(m_cmbCommandLine, m.m_commandLine);
    Place(m_sizeGrip, m.m_sizeGrip);
}

void CTollanDlg::Paint()
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(m_hWnd, &ps);
    if (IsIconic(m_hWnd)) {
        RECT client = GetClientRectangle();
        int x = (client.right - GetSystemMetrics(SM_CXICON) + 1) / 2;
        int y = (client.bottom - GetSystemMetrics(SM_CYICON) + 1) / 2;
        SendMsg(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc));
        DrawIcon(dc, x, y, m_hIcon);
    } else if (m_bThemed && m_bHasFrameColour) {
        RECT frame = m_console.GetRectInParent();
        InflateRect(&frame, 1, 1);
        const wingui::CBrush brush(CreateSolidBrush(m_nFrameColour));
        FrameRect(dc, &frame, brush.Get());
    }
    EndPaint(m_hWnd, &ps);
}

bool CTollanDlg::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result)
{
    if (msg == m_nShowHidden && msg && !IsWindowVisible(m_hWnd)) {
        ShowFromTray();
        return false;
    }
    if (msg == m_nTaskbarCreated && msg) {
        // Explorer started again: its notification area knows no icon of ours.
        m_tray.Forget();
        RefreshTray();
        return false;
    }
    switch (msg) {
    case WM_PAINT:
        Paint();
        result = TRUE;
        return true;
    case WM_QUERYDRAGICON:
        result = reinterpret_cast<INT_PTR>(m_hIcon);
        return true;
    case WM_SIZING: {
        RECT* r = reinterpret_cast<RECT*>(l);
        int left = r->left, top = r->top, right = r->right, bottom = r->bottom;
        ClampSizingRect(static_cast<ESizingEdge>(w), left, top, right, bottom);
        *r = {left, top, right, bottom};
        SetMsgResult(TRUE);
        result = TRUE;
        return true;
    }
    case WM_SYSCOMMAND:
        if ((w & 0xFFF0) == IDM_ABOUTBOX) {
            OnAbout();
            result = TRUE;
            return true;
        }
        return false;
    case WM_CLOSE:
        // The title bar's close: while a server runs it is asked to quit, and the window closes
        // when the follower has seen it end.
        m_runner.OnCloseCommand();
        result = TRUE;
        return true;
    case WM_APP_START_UP:
        OnStartUp();
        result = TRUE;
        return true;
    case WM_APP_TRAY:
        OnTrayMessage(l);
        result = TRUE;
        return true;
    }
    return false;
}

bool CTollanDlg::PreTranslateMessage(MSG& msg)
{
    if (!m_hWnd || (msg.hwnd != m_hWnd && !IsChild(m_hWnd, msg.hwnd)))
        return false;
    // A key aimed at the command line's field meets the field's and the combo's rules first.
    if (m_cmbCommandLine.PreTranslateMessage(msg))
        return true;
    // Enter while a server runs sends the command line, wherever the focus is; while none runs
    // it goes on to the dialog, whose default button starts one.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_RETURN && m_runner.IsServerRunning()) {
        SendCommandLine();
        return true;
    }
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_TAB) {
        m_cmbCommandLine.SetFocus();
        return true;
    }
    // Escape closes at once, wherever the focus is (the console, a multi-line edit, would
    // otherwise turn it into a WM_CLOSE); an open drop-down list keeps it to close itself.
    if (msg.message == WM_KEYDOWN && msg.wParam == VK_ESCAPE && !m_cmbCommandLine.IsDroppedDown() &&
        !m_cmbConfigList.IsDroppedDown()) {
        OnCloseUtility();
        return true;
    }
    if (msg.message == WM_RBUTTONUP && msg.hwnd == m_console.GetHWND()) {
        POINT pt{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)};
        ClientToScreen(msg.hwnd, &pt);
        OnConsoleRightButtonUp(pt);
        return true;
    }
    if (msg.message >= WM_MOUSEFIRST && msg.message <= WM_MOUSELAST && m_sizeGrip.IsVisible()) {
        POINT pt;
        GetCursorPos(&pt);
        RECT grip = m_sizeGrip.GetWindowRectangle();
        if (PtInRect(&grip, pt))
            SetCursor(m_hSizeCursor);
    }
    return false;
}

void CTollanDlg::OnDestroy()
{
    // From here on a follower that still runs leaves the window and the dialog alone.
    m_runner.Detach();
    KillTimer(m_hWnd, kTimerTrayTip);
    m_tray.Remove();
    // Alerts still on their way get about a second; the window is gone from the screen already.
    m_alerts.Shutdown(1000);
    SaveSettings();
}

void CTollanDlg::SaveSettings()
{
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (GetWindowPlacement(m_hWnd, &wp)) {
        CWindowPlacementRecord record;
        record.m_nLength = wp.length;
        record.m_nFlags = wp.flags;
        record.m_nShowCmd = wp.showCmd;
        record.m_nMinX = wp.ptMinPosition.x;
        record.m_nMinY = wp.ptMinPosition.y;
        record.m_nMaxX = wp.ptMaxPosition.x;
        record.m_nMaxY = wp.ptMaxPosition.y;
        record.m_nLeft = wp.rcNormalPosition.left;
        record.m_nTop = wp.rcNormalPosition.top;
        record.m_nRight = wp.rcNormalPosition.right;
        record.m_nBottom = wp.rcNormalPosition.bottom;
        RECT now = GetWindowRectangle();
        record.ApplyMaximisedRule(now.left, now.top, now.right, now.bottom);
        if (!m_context.m_settings.WriteBinary("WindowPlacement", record.Encode()))
            LogMessage("ERR:  Unable to write Window Placement to registry.\n");
    } else {
        LogMessage("ERR:  Unable to write Window Placement to registry.\n");
    }
    const std::string& game = m_context.m_strGameFolder;
    if (!game.empty() && platform::IsDirectory(game) && !m_context.m_settings.WriteString("GamePath", game))
        LogMessage("ERR:  Unable to write game directory to registry.\n");
    LogMessage("INF:  The utility has shut down.\n");
}

void CTollanDlg::OnTimer(UINT_PTR id)
{
    if (id == kTimerTrayTip)
        RefreshTray();
}

void CTollanDlg::ShowButtons(const CButtonStates& b)
{
    m_btnStartServer.SetText(b.m_bStopCaption ? "Stop Server" : "Start Server");
    m_btnStartServer.Enable(b.m_bStartEnabled);
    m_btnRestartServer.Enable(b.m_bCommandsEnabled);
    m_btnPauseServer.Enable(b.m_bCommandsEnabled);
    m_btnListPlayers.Enable(b.m_bCommandsEnabled);
    // The tip times a run from the moment it shows as running, even with no icon.
    m_trayTip.Observe(m_runner.Status(), GetTickCount());
}

void CTollanDlg::ShowTitle(const std::string& title) { SetText(title); }

void CTollanDlg::ShowConsoleText(const std::string& text) { m_console.AppendConsoleText(text); }

void CTollanDlg::DropConsoleFragment() { m_console.DropPendingFragment(); }

void CTollanDlg::ShowWarning(const std::string& text) { wingui::ShowWarning(m_hWnd, kProgramName, text); }

void CTollanDlg::ShowNote(ERunNote note, const std::string& config, const std::string& detail)
{
    if (m_alerts.IsOn())
        m_alerts.Send(AlertText(note, m_strComputer, config, detail));
    if (!m_bMinimizeToTray)
        return;
    RefreshTray();
    m_tray.ShowBalloon(kProgramName, RunNoteText(note, detail));
}

void CTollanDlg::OnAlerts()
{
    CAlertsDlg dialog(m_alerts, m_context.m_settings, m_strAlertAddress);
    dialog.RunModalLoop(Instance(), IDD_ALERTS, m_hWnd);
}

// A value of the wrong type, or an address that is none, is logged and leaves alerts off; the
// log never holds the address's path, which is the webhook's secret.
void CTollanDlg::LoadAlertSettings()
{
    m_strComputer = AlertComputerName();
    const std::optional<std::string> stored = m_context.m_settings.ReadString(kAlertWebhookValue);
    if (!stored) {
        if (m_context.m_settings.Exists(kAlertWebhookValue))
            LogMessage("ERR:  AlertWebhook in the registry is not a text; no alerts are sent.\n");
        return;
    }
    // The dialog shows it as stored, so that one that is refused can be mended there.
    m_strAlertAddress = *stored;
    std::string refusal;
    if (!stored->empty() && !m_alerts.SetAddress(*stored, &refusal))
        LogMessage("ERR:  The stored webhook address cannot be used (%s); no alerts are sent.\n", refusal.c_str());
}

void CTollanDlg::CloseWindow() { End(IDCANCEL); }

void CTollanDlg::OnConfigListChange(bool bCloseUp)
{
    int sel = m_cmbConfigList.GetCurSel();
    if (sel >= 0)
        m_strCurrentConfig = m_cmbConfigList.GetItemText(sel);
    if (bCloseUp)
        m_runner.OnConfigChosen(m_strCurrentConfig);
    else
        m_runner.OnConfigBrowsed(m_strCurrentConfig);
}

void CTollanDlg::OnConsoleRightButtonUp(POINT screenPoint)
{
    if (!m_copyBitmap)
        m_copyBitmap.Reset(static_cast<HBITMAP>(
            LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_MENU_COPY), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS)));
    m_console.ShowContextMenu(Instance(), screenPoint, m_copyBitmap.Get());
}
