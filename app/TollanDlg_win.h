// The main window: buttons and the configuration list at the top, the console in the middle, the
// command line at the bottom, and the menu bar. Runs in its own modal-style loop so that keys are
// examined before the dialog manager sees them. The server run itself is CServerRunner's, which
// shows itself here through the seam (CRunSeat) the window implements.
#pragma once
#include "server/AlertSender_win.h"
#include "server/RunSeat.h"
#include "server/Runner_win.h"
#include "app/TrayIcon_win.h"
#include "app/TrayText.h"
#include "controls/CommandLineCtrl_win.h"
#include "controls/ConsoleCtrl_win.h"
#include "wingui/Controls_win.h"
#include "wingui/Dialog_win.h"
#include "wingui/Owners_win.h"

#include <cstdint>
#include <string>

struct CAppContext;
struct CStartOptions;

class CTollanDlg : public wingui::CDialog, private CRunSeat {
public:
    CTollanDlg(CAppContext& context, const CStartOptions& startOptions);
    ~CTollanDlg() override;

    // Fills the configuration list from History.ini; at start-up and after the configuration
    // dialog closes.
    void GetConfigHistory();

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    void OnSize(UINT type, int cx, int cy) override;
    void OnDestroy() override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    bool PreTranslateMessage(MSG& msg) override;
    void OnTimer(UINT_PTR id) override;

private:
    // The seam: what the server run shows.
    void ShowButtons(const CButtonStates& buttons) override;
    void ShowTitle(const std::string& title) override;
    void ShowConsoleText(const std::string& text) override;
    void DropConsoleFragment() override;
    void ShowWarning(const std::string& text) override;
    void ShowNote(ERunNote note, const std::string& config, const std::string& detail) override;
    void CloseWindow() override;

    // Start-up pieces, in the order OnInit runs them.
    void AppendAboutToSystemMenu();
    void ReadColourScheme();
    void PrepareConsole();
    void CreateSizeGrip();
    void SetCommandLineFont();
    void ApplyStoredPlacement();
    void FillCommandLineList();
    void DiscoverLevels();
    void PickUpRunningServer();
    void SetMenuBitmaps();
    void ShowUpdateSetting();
    void ShowStartAtLaunchSetting();
    // After start-up: the launch that /start or the setting asks for.
    void OnStartUp();
    void ShowTraySetting();
    // The configuration list's selection put on m_strCurrentConfig.
    void ShowCurrentConfig();
    // A Tools toggle's new state stored (REG_DWORD 1 or 0); a failure is logged.
    void StoreToggle(const char* name, bool bOn);

    // Commands.
    void OnCloseUtility();
    void OnOpenCurrentConfigFile();
    void OnOpenUtilityLogFile();
    void OnCheckForUpdates();
    void OnStartAtLaunch();
    void OnScheduledRestart();
    void OnAlerts();
    // The stored webhook address, at start-up.
    void LoadAlertSettings();
    void OnClearConsoleLog();
    void OnMinimizeToTray();
    void OnAbout();
    void OnConfigSettings();
    // Enter while a server runs: the command line's text goes to the server.
    void SendCommandLine();
    // The configuration list's selection changed: at its close-up, or moved while it was closed.
    void OnConfigListChange(bool bCloseUp);
    void OnConsoleRightButtonUp(POINT screenPoint);

    // The notification area: the toggle's effect, the icon's tip now, its messages, and the
    // window brought back from it (restored, in front).
    void SetMinimizeToTray(bool bOn);
    void RefreshTray();
    void OnTrayMessage(LPARAM l);
    void ShowFromTray();

    void LayoutControls(int cx, int cy);
    void Paint();
    void SaveSettings();

    CAppContext& m_context;
    const CStartOptions& m_startOptions;
    bool m_bPickedUp = false;  // a server left running was taken up at start-up
    // The configuration the list shows: what Start launches and "Open Current Config File" opens.
    std::string m_strCurrentConfig;

    wingui::CButton m_btnConfigSettings;
    wingui::CButton m_btnStartServer, m_btnRestartServer, m_btnPauseServer, m_btnListPlayers;
    wingui::CStatic m_lblCurrentConfig, m_lblCfg;
    wingui::CComboBox m_cmbConfigList;
    CConsoleCtrl m_console;
    CCommandLineCtrl m_cmbCommandLine;
    wingui::CWindow m_sizeGrip;

    HICON m_hIcon = nullptr;       // shared: the system frees it
    HICON m_hSmallIcon = nullptr;  // shared
    wingui::CFont m_commandLineFont;
    HCURSOR m_hSizeCursor = nullptr;
    wingui::CBitmap m_menuBitmaps[7];

    bool m_bThemed = false;
    bool m_bHasFrameColour = false;
    std::uint32_t m_nFrameColour = 0;
    wingui::CBitmap m_copyBitmap;

    // "  Minimize to Notification Area": while set, the icon is wanted and minimising hides the
    // window (only while the icon is really there, so that the window can always come back).
    bool m_bMinimizeToTray = false;
    CTrayIcon m_tray;
    UINT m_nTaskbarCreated = 0;
    UINT m_nShowHidden = 0;  // a second start's request (kShowHiddenMessageName)
    CTrayTip m_trayTip;

    // Messages to a webhook about what happens to the server (the notes the balloons show).
    CAlertSender m_alerts;
    std::string m_strAlertAddress;  // as stored
    std::string m_strComputer;      // this computer's name, which every alert begins with

    // The server run: its model and the Win32 runner that carries it out.
    CServerRunner m_runner;
};
