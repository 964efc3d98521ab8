// The server run as the main dialog drives it: launch, the server buttons and their pending
// periods, the remote console connection and its login check, the timers, and the window
// operations that each run's log follower asks of this thread.
#include "app/TollanDlg.h"

#include "app/GameFolder.h"
#include "app/PortCheckShell.h"
#include "base/GamePaths.h"
#include "base/SafeName.h"
#include "base/UtilityLog.h"
#include "config/HistoryStore.h"
#include "config/ServerConfig.h"
#include "resources/resource.h"
#include "wingui/AppMessages.h"

#include <shellapi.h>

#include <cstdio>

namespace {
const char kIdleTitle[] = "Dravic Qel 2 Dedicated Server Utility";
}

int CTollanDlg::GameTypeOf(const std::string& configName) const
{
    // The record holds whatever the configuration dialog loaded last, which need not be the
    // configuration the list names; its own stored block says how it is to be started.
    return ReadStoredGameType(configName).value_or(TheServerConfig().g_gtGameType);
}

void CTollanDlg::GetAdminPassword()
{
    if (auto password = ReadAdminPassword())
        m_strAdminPassword = *password;
}

void CTollanDlg::LaunchServer()
{
    LogMessage("INF:  Launching Server...\n");
    const std::string name = CurrentConfigName();
    // The name goes inside the quotes of the command line; one edited into History.ini by hand
    // could otherwise close them and add parameters of its own.
    if (!IsSafeFileName(name)) {
        LogMessage("ERR:  Configuration name \"%s\" cannot be used to start the server.\n",
                   name.c_str());
        return;
    }
    std::string program = ServerProgramPath(GameFolder());
    char parameters[1024] = "";
    const int gameType = GameTypeOf(name);
    if (gameType == kGameTypeCoop)
        std::snprintf(parameters, sizeof parameters, "+gameoptions \"DedicatedServerUtility/Config/%s.cfg\"",
                      name.c_str());
    else if (gameType == kGameTypeDeathmatch)
        std::snprintf(parameters, sizeof parameters,
                      "+gametype dm +gameoptions \"DedicatedServerUtility/Config/%s.cfg\"", name.c_str());

    m_strActiveScript = name;
    m_pServerProcess.reset();
    m_pRun->m_bLoginFailed = false;
    m_pRun->m_bLoggedIn = false;

    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    sei.fMask = SEE_MASK_NOCLOSEPROCESS;
    sei.hwnd = m_hWnd;
    sei.lpFile = program.c_str();
    sei.lpParameters = parameters;
    sei.nShow = SW_HIDE;
    if (!ShellExecuteExA(&sei) || !sei.hProcess) {
        LogMessage("ERR:  ShellExecuteEx() failed.\n");
        return;
    }
    CFollowerStart start;
    start.pState = m_pRun;
    start.pProcess = m_pServerProcess = std::make_shared<CProcessHolder>(sei.hProcess);
    DuplicateHandle(GetCurrentProcess(), sei.hProcess, GetCurrentProcess(), &start.hWait, SYNCHRONIZE, FALSE, 0);
    start.strGameFolder = GameFolder();
    start.strConfigName = name;
    start.gtGameType = gameType;

    m_pRun->m_bCommandPending = true;
    DisableServerButtons();
    SetRunTimer(kTimerConnect, 2000);
    // Set here as well as by the follower, so that a press in the moment before the thread runs
    // already finds the run on.
    m_pRun->m_bServerRunning = true;
    m_pRun->m_bStopRequested = false;
    if (!start.hWait || !StartServerLogFollower(std::move(start))) {
        m_pRun->m_bServerRunning = false;
        LogMessage("ERR:  Could not start the server log follower.\n");
    }
}

void CTollanDlg::DisableServerButtons()
{
    m_btnStartServer.Enable(false);
    m_btnRestartServer.Enable(false);
    m_btnPauseServer.Enable(false);
    m_btnListPlayers.Enable(false);
}

void CTollanDlg::EnableServerButtons()
{
    m_btnStartServer.Enable(true);
    bool running = m_pRun->m_bServerRunning;
    m_btnRestartServer.Enable(running);
    m_btnPauseServer.Enable(running);
    m_btnListPlayers.Enable(running);
}

void CTollanDlg::SetRunTimer(UINT_PTR id, UINT interval) { SetTimer(m_hWnd, id, interval, nullptr); }

void CTollanDlg::OnStartStop()
{
    if (m_pRun->m_bCommandPending)
        return;
    if (!m_pRun->m_bServerRunning) {
        // Another program on the console port would get the password and every command.
        if (!ConsolePortIsFree(m_hWnd))
            return;
        // Between a crash and its restart: this press is the restart, so only one server runs.
        KillTimer(m_hWnd, kTimerRestart);
        GetAdminPassword();
        LaunchServer();
        return;
    }
    m_pRun->m_bStopRequested = true;
    SendText("Quit()\r\n");
    LogMessage("INF:  Quit() command has been sent to the server.\n");
    m_btnStartServer.SetText("Start Server");
    DisableServerButtons();
    SetRunTimer(kTimerCommandDone, 2000);
}

void CTollanDlg::SendServerCommand(const char* text, const char* message, UINT interval)
{
    if (!m_pRun->m_bServerRunning)
        return;
    SendText(text);
    LogMessage("%s", message);
    m_pRun->m_bCommandPending = true;
    DisableServerButtons();
    SetRunTimer(kTimerCommandDone, interval);
}

void CTollanDlg::SendText(const std::string& text)
{
    if (m_pSocket)
        m_pSocket->SendText(text);
}

bool CTollanDlg::ConnectToServer()
{
    if (!CRemoteConsoleSocket::ConnectToServer(m_pSocket, m_hWnd, this))
        return false;
    SetRunTimer(kTimerLoginCheck, 15000);
    return true;
}

void CTollanDlg::OnLoginCheck()
{
    if (m_pRun->m_bLoggedIn) {
        LogMessage("INF:  Connection to server was a success.\n");
    } else if (m_pServerProcess && m_pServerProcess->IsHeld()) {
        // The flag goes first, so the follower cannot see the end before it. Terminate does
        // nothing once the follower has closed the handle (that run is over).
        m_pRun->m_bLoginFailed = true;
        if (m_pServerProcess->Terminate(0))
            LogMessage("ERR:  Unable to connect to server.  Server was shut down.\n");
    }
}

void CTollanDlg::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTimerCommandDone:
        KillTimer(m_hWnd, id);
        m_pRun->m_bCommandPending = false;
        EnableServerButtons();
        break;
    case kTimerLoginCheck:
        KillTimer(m_hWnd, id);
        OnLoginCheck();
        break;
    case kTimerRestart:
        KillTimer(m_hWnd, id);
        if (!m_pRun->m_bServerRunning)
            LaunchServer();
        break;
    case kTimerClose:
        KillTimer(m_hWnd, id);
        End(IDCANCEL);
        break;
    case kTimerConnect:
        KillTimer(m_hWnd, id);
        m_pRun->m_bCommandPending = false;
        EnableServerButtons();
        if (ConnectToServer())
            LogMessage("INF:  Attempting to connect to server...\n");
        break;
    case kTimerScriptSwap:
        KillTimer(m_hWnd, id);
        m_crashRecovery.SwapConfigScript(GameFolder(), CurrentConfigName());
        break;
    }
}

void CTollanDlg::OnConfigListCloseUp()
{
    int sel = m_cmbConfigList.GetCurSel();
    if (sel >= 0)
        TheServerConfig().m_strConfigName = m_cmbConfigList.GetItemText(sel);
    const std::string name = CurrentConfigName();
    if (!m_pRun->m_bServerRunning || m_strActiveScript == name)
        return;
    if (!m_pRun->m_bCommandPending) {
        char line[512];
        std::snprintf(line, sizeof line, "qel_strOptionsScript = \"DedicatedServerUtility/Config/%s.cfg\"\r\n",
                      name.c_str());
        SendText(line);
        m_pRun->m_bCommandPending = true;
        DisableServerButtons();
        SetRunTimer(kTimerCommandDone, 8000);
    }
    m_strActiveScript = name;
}

// The console decides which items it offers (Save needs no selection) and carries them out.
void CTollanDlg::OnConsoleRightButtonUp(POINT screenPoint)
{
    if (!m_hCopyBitmap)
        m_hCopyBitmap = static_cast<HBITMAP>(
            LoadImageA(Instance(), MAKEINTRESOURCEA(IDB_MENU_COPY), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
    m_console.ShowContextMenu(Instance(), screenPoint, m_hCopyBitmap);
}

void CTollanDlg::OnCrashed(const std::string& level)
{
    const std::string name = CurrentConfigName();
    if (GameTypeOf(name) == kGameTypeCoop &&
        m_crashRecovery.AddCurrentLevelToConfig(GameFolder(), name, level, TheServerConfig().g_iFPS))
        SetRunTimer(kTimerScriptSwap, 20000);
    SetRunTimer(kTimerRestart, 5000);
}

void CTollanDlg::OnRunOnUi(WPARAM op, LPARAM payload)
{
    switch (op) {
    case kUiRunStarted: {
        const std::string& name = *reinterpret_cast<const std::string*>(payload);
        m_btnStartServer.SetText("Stop Server");
        m_btnRestartServer.Enable(true);
        m_btnPauseServer.Enable(true);
        m_btnListPlayers.Enable(true);
        char title[512];
        std::snprintf(title, sizeof title, "%s - '%s.cfg'", kIdleTitle, name.c_str());
        SetText(title);
        break;
    }
    case kUiConsoleText: {
        const std::string& text = *reinterpret_cast<const std::string*>(payload);
        m_console.ApplyBatch(m_pRun->m_console.AppendConsoleText(text, m_console.GetCharCount()));
        break;
    }
    case kUiRunEnded:
        m_btnRestartServer.Enable(false);
        m_btnPauseServer.Enable(false);
        m_btnListPlayers.Enable(false);
        break;
    case kUiCaptionStart:
        m_btnStartServer.SetText("Start Server");
        break;
    case kUiStartTimer:
        SetRunTimer(static_cast<UINT_PTR>(payload), payload == kTimerClose ? 500 : 5000);
        break;
    case kUiCrashed:
        OnCrashed(*reinterpret_cast<const std::string*>(payload));
        break;
    case kUiTitleIdle:
        SetText(kIdleTitle);
        break;
    }
}
