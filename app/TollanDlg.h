// The main window: buttons and the configuration list at the top, the console in the middle, the
// command line at the bottom, and the menu bar. Runs in its own modal-style loop so that keys are
// examined before the dialog manager sees them.
#pragma once
#include "app/CrashRecovery.h"
#include "app/RemoteConsoleSocket.h"
#include "app/ServerRun.h"
#include "controls/CommandLineCtrl.h"
#include "controls/ConsoleCtrl.h"
#include "wingui/Controls.h"
#include "wingui/Dialog.h"

#include <cstdint>
#include <memory>
#include <string>

class CTollanDlg : public wingui::CDialog, private CRemoteConsoleOwner {
public:
    CTollanDlg() = default;
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
    // Start-up pieces, in the order OnInit runs them.
    void AppendAboutToSystemMenu();
    void ReadColourScheme();
    void PrepareConsole();
    void CreateSizeGrip();
    void SetCommandLineFont();
    void ApplyStoredPlacement();
    void FillCommandLineList();
    void DiscoverLevels();
    void SetMenuBitmaps();
    void ShowUpdateSetting();

    // Commands.
    void OnCloseCommand();
    void OnCloseUtility();
    void OnOpenCurrentConfigFile();
    void OnOpenUtilityLogFile();
    void OnCheckForUpdates();
    void OnClearConsoleLog();
    void OnAbout();
    // Enter while a server runs: the command line's text goes to the server.
    void SendCommandLine();

    // Server run (ServerControl.cpp).
    void LaunchServer();
    void GetAdminPassword();
    void DisableServerButtons();
    void EnableServerButtons();
    void OnStartStop();
    void SendServerCommand(const char* text, const char* message, UINT interval);
    void SendText(const std::string& text);
    bool ConnectToServer();
    void OnLoginCheck();
    void OnConfigListCloseUp();
    void OnConsoleRightButtonUp(POINT screenPoint);
    void SetRunTimer(UINT_PTR id, UINT interval);
    // A follower's window operation (WM_APP_RUN_ON_UI), carried out on this thread.
    void OnRunOnUi(WPARAM op, LPARAM payload);
    void OnCrashed(const std::string& level);
    // g_gtGameType of the configuration: its stored block, else the record's value.
    int GameTypeOf(const std::string& configName) const;
    std::string GetRemoteConsolePassword() override { return m_strAdminPassword; }
    void OnRemoteConsoleLoggedIn() override { m_pRun->m_bLoggedIn = true; }

    void LayoutControls(int cx, int cy);
    void Paint();
    void SaveSettings();
    std::string CurrentConfigName() const;

    wingui::CButton m_btnStartServer, m_btnRestartServer, m_btnPauseServer, m_btnListPlayers;
    wingui::CButton m_btnConfigSettings;
    wingui::CStatic m_lblCurrentConfig, m_lblCfg;
    wingui::CComboBox m_cmbConfigList;
    CConsoleCtrl m_console;
    CCommandLineCtrl m_cmbCommandLine;
    wingui::CWindow m_sizeGrip;

    HICON m_hIcon = nullptr;
    HICON m_hSmallIcon = nullptr;
    HFONT m_hCommandLineFont = nullptr;
    HCURSOR m_hArrowCursor = nullptr;
    HCURSOR m_hSizeCursor = nullptr;
    HBITMAP m_hMenuBitmaps[7] = {};

    bool m_bThemed = false;
    bool m_bHasFrameColour = false;
    std::uint32_t m_nFrameColour = 0;
    bool m_bCheckForUpdate = true;
    HBITMAP m_hCopyBitmap = nullptr;

    // Run state: the flags shared with the follower live in the co-owned state object.
    std::shared_ptr<CServerRunState> m_pRun = std::make_shared<CServerRunState>();
    std::shared_ptr<CProcessHolder> m_pServerProcess;  // the current run's process, if any
    std::unique_ptr<CRemoteConsoleSocket> m_pSocket;
    std::string m_strAdminPassword;
    std::string m_strActiveScript;
    CCrashRecovery m_crashRecovery;
};
