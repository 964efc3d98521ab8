#include "app/ServerRunner.h"

#include "app/AppContext.h"
#include "app/PortCheckShell.h"
#include "app/ServerPickUp.h"
#include "app/ServerPickUpShell.h"
#include "app/ServerWindowCheck.h"
#include "base/SettingsStore.h"
#include "base/GamePaths.h"
#include "base/Names.h"
#include "base/UtilityLog.h"
#include "config/HistoryStore.h"
#include "config/ServerConfig.h"
#include "resources/resource.h"

#include <shellapi.h>

int CHistoryRunStore::GameTypeOf(const std::string& configName)
{
    // The record holds whatever the configuration dialog loaded last, which need not be the
    // configuration that is started; its own stored block says how it is to be started.
    return ReadStoredGameType(configName).value_or(m_record.g_gtGameType);
}

std::optional<std::string> CHistoryRunStore::AdminPasswordOf(const std::string& configName)
{
    return ReadConfigAdminPassword(configName);
}

CServerRunner::CServerRunner(CAppContext& context) : m_context(context), m_store(context.m_record) {}

CServerRunner::~CServerRunner()
{
    if (m_hServerProcess)
        CloseHandle(m_hServerProcess);
}

void CServerRunner::Attach(wingui::CDialog& dialog, CConsoleCtrl& console)
{
    m_pDialog = &dialog;
    m_pConsole = &console;
    m_btnStartServer.Attach(dialog.GetItem(IDC_START_SERVER));
    m_btnRestartServer.Attach(dialog.GetItem(IDC_RESTART_SERVER));
    m_btnPauseServer.Attach(dialog.GetItem(IDC_PAUSE_SERVER));
    m_btnListPlayers.Attach(dialog.GetItem(IDC_LIST_PLAYERS));
    // The template's captions are never shown.
    m_btnRestartServer.SetText("Restart Server");
    m_pLink->m_hWnd = dialog.GetHWND();
    ApplyButtons(m_model.Buttons());
    // The schedule's tick repeats for the life of the window; it is no run's timer.
    ::SetTimer(dialog.GetHWND(), kTimerScheduleTick, kScheduleTickMs, nullptr);
}

void CServerRunner::Detach()
{
    m_pLink->m_hWnd = nullptr;
    for (UINT_PTR id : {kTimerCommandDone, kTimerLoginCheck, kTimerRestart, kTimerClose, kTimerConnect,
                        kTimerScriptSwap, kTimerConfigSettle, kTimerRestartQuit, kTimerScheduleTick, kTimerWatch})
        KillTimer(*m_pDialog, id);
    m_pSocket.reset();
}

bool CServerRunner::SendCommandLine(const std::string& text)
{
    if (!m_model.IsServerRunning())
        return false;
    Execute(m_model.OnCommandLine(text));
    return true;
}

bool CServerRunner::OnTimer(UINT_PTR id)
{
    switch (id) {
    case kTimerScheduleTick:
        Execute(m_model.OnScheduleTick(ScheduleNow()));
        return true;
    case kTimerCommandDone:
    case kTimerLoginCheck:
    case kTimerRestart:
    case kTimerClose:
    case kTimerConnect:
    case kTimerScriptSwap:
    case kTimerConfigSettle:
    case kTimerRestartQuit:
    case kTimerWatch:
        KillTimer(*m_pDialog, id);
        Execute(m_model.OnTimer(static_cast<unsigned>(id)));
        return true;
    }
    return false;
}

void CServerRunner::OnFollowerNote(WPARAM w, LPARAM l)
{
    const RunId run = static_cast<RunId>(w);
    const CFollowerNote& note = *reinterpret_cast<const CFollowerNote*>(l);
    switch (note.m_eKind) {
    case EFollowerNote::Started:
        Execute(m_model.OnFollowerStarted(run));
        break;
    case EFollowerNote::Text:
        if (m_model.IsCurrentRun(run))
            m_pConsole->AppendConsoleText(*note.m_pText);
        break;
    case EFollowerNote::Rewind:
        if (m_model.IsCurrentRun(run))
            m_pConsole->DropPendingFragment();
        break;
    case EFollowerNote::Ended:
        Execute(m_model.OnFollowerEnded(run, m_pConsole->CurrentLevel(), note.m_nEndedAt));
        break;
    case EFollowerNote::Failed:
        Execute(m_model.OnFollowerLost(run));
        break;
    }
}

void CServerRunner::OnSocketMessage(WPARAM w, LPARAM l)
{
    if (m_pSocket)
        m_pSocket->OnSocketMessage(w, l);
}

void CServerRunner::OnWindowsChecked(WPARAM run, LPARAM answer)
{
    Execute(m_model.OnWindowsChecked(static_cast<RunId>(run), static_cast<EWindowAnswer>(answer), m_nCheckBegan));
}

void CServerRunner::Execute(CRunActions actions)
{
    for (CRunAction& action : actions)
        m_actions.push_back(std::move(action));
    // A message box runs a message loop: timers and socket notes that arrive meanwhile join the
    // queue of the loop below instead of starting one of their own.
    if (m_bCarrying)
        return;
    struct CCarrying {
        CServerRunner& runner;
        explicit CCarrying(CServerRunner& r) : runner(r) { runner.m_bCarrying = true; }
        ~CCarrying()
        {
            runner.m_bCarrying = false;
            runner.m_actions.clear();
            runner.m_nNextAction = 0;
            runner.m_reports.clear();
        }
    } carrying(*this);
    for (;;) {
        if (m_nNextAction < m_actions.size()) {
            const CRunAction action = std::move(m_actions[m_nNextAction++]);
            Carry(action);
            continue;
        }
        m_actions.clear();
        m_nNextAction = 0;
        if (m_reports.empty())
            break;
        const CReport report = m_reports.front();
        m_reports.erase(m_reports.begin());
        m_actions = Deliver(report);
    }
    ReleaseEndedProcess();
}

CRunActions CServerRunner::Deliver(const CReport& r)
{
    switch (r.kind) {
    case CReport::EKind::PortChecked: return m_model.OnPortChecked(r.check);
    case CReport::EKind::Launched: {
        CRunActions next = m_model.OnLaunched(r.bStarted, r.now);
        if (r.bStarted) {
            // A scheduled restart relaunches within the Execute that ended the old run.
            if (m_hServerProcess)
                CloseHandle(m_hServerProcess);
            m_hServerProcess = r.hProcess;
            m_nProcessRun = m_model.CurrentRun();
        }
        return next;
    }
    case CReport::EKind::ConnectBegun: return m_model.OnConnectBegun(r.run);
    case CReport::EKind::CrashCopyWritten: return m_model.OnCrashCopyWritten();
    case CReport::EKind::MessageBoxClosed: return m_model.OnMessageBoxClosed();
    case CReport::EKind::FollowerLost: return m_model.OnFollowerLost(r.run);
    case CReport::EKind::WindowsUnchecked: return m_model.OnWindowsChecked(r.run, EWindowAnswer::Unknown, r.now);
    }
    return {};
}

void CServerRunner::Carry(const CRunAction& a)
{
    HWND hwnd = m_pDialog->GetHWND();
    switch (a.m_eKind) {
    case ERunAction::Send:
        if (m_pSocket)
            m_pSocket->SendText(a.m_strText);
        break;
    case ERunAction::Log:
        LogMessage("%s", a.m_strText.c_str());
        break;
    case ERunAction::Console:
        m_pConsole->AppendConsoleText(a.m_strText);
        break;
    case ERunAction::SetTimer:
        ::SetTimer(hwnd, a.m_nTimer, a.m_nMs, nullptr);
        break;
    case ERunAction::KillTimer:
        ::KillTimer(hwnd, a.m_nTimer);
        break;
    case ERunAction::Buttons:
        ApplyButtons(a.m_buttons);
        break;
    case ERunAction::Title:
        m_pDialog->SetText(a.m_strText);
        break;
    case ERunAction::CheckPort: {
        CReport report(CReport::EKind::PortChecked);
        report.check = CheckConsolePort();
        Later(report);
        break;
    }
    case ERunAction::Launch:
        Launch(a);
        break;
    case ERunAction::Follow:
        Follow(a);
        break;
    case ERunAction::Connect:
        Connect(a.m_nRun);
        break;
    case ERunAction::CheckWindows:
        m_nCheckBegan = GetTickCount();
        if (a.m_nRun != m_nProcessRun || !m_hServerProcess ||
            !StartWindowCheck(hwnd, a.m_nRun, GetProcessId(m_hServerProcess))) {
            CReport report(CReport::EKind::WindowsUnchecked);
            report.run = a.m_nRun;
            Later(report);
        }
        break;
    case ERunAction::Terminate:
        if (a.m_nRun == m_nProcessRun && m_hServerProcess)
            TerminateProcess(m_hServerProcess, 0);
        break;
    case ERunAction::ShowMessage:
        wingui::ShowWarning(hwnd, kProgramName, a.m_strText);
        Later(CReport(CReport::EKind::MessageBoxClosed));
        break;
    case ERunAction::Notify:
        if (m_onNotify)
            m_onNotify(a.m_strText);
        break;
    case ERunAction::ClearLevel:
        m_pConsole->ClearCurrentLevel();
        break;
    case ERunAction::CrashCopy:
        if (m_crashRecovery.AddCurrentLevelToConfig(m_context.m_strGameFolder, a.m_strConfig, a.m_strText, m_context.m_record.g_iFPS))
            Later(CReport(CReport::EKind::CrashCopyWritten));
        break;
    case ERunAction::SwapScript:
        m_crashRecovery.SwapConfigScript(m_context.m_strGameFolder, a.m_strConfig);
        break;
    case ERunAction::CloseWindow:
        m_pDialog->End(IDCANCEL);
        break;
    }
}

void CServerRunner::Launch(const CRunAction& a)
{
    const std::string program = ServerProgramPath(m_context.m_strGameFolder);
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    // Nobody may be there to click: a program that cannot be started is reported, not shown in
    // the shell's own box (which would hold a restart until somebody closed it).
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    sei.hwnd = m_pDialog->GetHWND();
    sei.lpFile = program.c_str();
    sei.lpParameters = a.m_strText.c_str();
    sei.nShow = SW_HIDE;
    // The server inherits the error mode: a crash then ends its process at once instead of
    // waiting in the "has stopped working" dialog for a click, and the crash restart can act.
    const UINT errorMode = SetErrorMode(0);
    SetErrorMode(errorMode | SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX);
    const bool started = ShellExecuteExA(&sei) && sei.hProcess;
    SetErrorMode(errorMode);
    // A later Tollan that finds this server still running takes it up with this name.
    if (started && !m_context.m_settings.WriteString(kLastLaunchedConfigValue, a.m_strConfig))
        LogMessage("ERR:  Unable to write the last launched configuration to registry.\n");
    CReport report(CReport::EKind::Launched);
    report.bStarted = started;
    report.hProcess = started ? sei.hProcess : nullptr;
    report.now = GetTickCount();
    Later(report);
}

std::optional<std::string> CServerRunner::PickUpRunningServer(const std::string& currentConfig)
{
    std::optional<CRunningServer> server = FindRunningServer(m_context.m_strGameFolder);
    if (!server)
        return std::nullopt;
    CPickedUpConfig config =
        ChoosePickedUpConfig(m_context.m_settings.ReadString(kLastLaunchedConfigValue), ReadStoredConfigNames(), currentConfig);
    std::optional<std::int64_t> startedUtc;
    FILETIME created, unused[3];
    if (GetProcessTimes(server->hProcess, &created, &unused[0], &unused[1], &unused[2]))
        startedUtc = UtcSecondsOf(created);
    CRunActions next = m_model.OnServerPickedUp(server->nPid, config.strName, config.bGuessed, startedUtc);
    if (next.empty()) {
        CloseHandle(server->hProcess);
        return std::nullopt;
    }
    m_hServerProcess = server->hProcess;
    m_nProcessRun = m_model.CurrentRun();
    Execute(next);
    if (!config.strLogLine.empty())
        LogMessage("%s", config.strLogLine.c_str());
    return config.strName;
}

void CServerRunner::Follow(const CRunAction& a)
{
    const RunId run = a.m_nRun;
    CFollowerStart start;
    start.m_nRun = run;
    start.m_pLink = m_pLink;
    start.m_strGameFolder = m_context.m_strGameFolder;
    start.m_bFromLogEnd = a.m_bFromLogEnd;
    start.m_strConfig = m_model.ActiveScript();
    FILETIME unused[3];
    if (!m_hServerProcess || !GetProcessTimes(m_hServerProcess, &start.m_launched, &unused[0], &unused[1], &unused[2]))
        start.m_launched = FILETIME{};
    const bool duplicated = m_hServerProcess && DuplicateHandle(GetCurrentProcess(), m_hServerProcess,
                                                                GetCurrentProcess(), &start.m_hWait, SYNCHRONIZE,
                                                                FALSE, 0);
    if (!duplicated || !StartServerLogFollower(std::move(start))) {
        LogMessage("ERR:  Could not start the server log follower.\n");
        CReport report(CReport::EKind::FollowerLost);
        report.run = run;
        Later(report);
    }
}

void CServerRunner::Connect(RunId run)
{
    if (!CRemoteConsoleSocket::ConnectToServer(m_pSocket, m_pDialog->GetHWND(), this))
        return;
    m_nSocketRun = run;
    CReport report(CReport::EKind::ConnectBegun);
    report.run = run;
    Later(report);
}

void CServerRunner::ApplyButtons(const CButtonStates& b)
{
    m_btnStartServer.SetText(b.m_bStopCaption ? "Stop Server" : "Start Server");
    m_btnStartServer.Enable(b.m_bStartEnabled);
    m_btnRestartServer.Enable(b.m_bCommandsEnabled);
    m_btnPauseServer.Enable(b.m_bCommandsEnabled);
    m_btnListPlayers.Enable(b.m_bCommandsEnabled);
}

void CServerRunner::ReleaseEndedProcess()
{
    if (!m_hServerProcess || m_model.IsCurrentRun(m_nProcessRun))
        return;
    // Closing the handle leaves the process alone: a server Tollan left behind keeps running.
    CloseHandle(m_hServerProcess);
    m_hServerProcess = nullptr;
    m_nProcessRun = 0;
}

void CServerRunner::OnScriptSaved(const std::string& config)
{
    if (m_crashRecovery.CancelPendingSwap(m_context.m_strGameFolder, config))
        Execute(m_model.OnSwapCancelled());
}

std::int64_t UtcSecondsOf(const FILETIME& ft)
{
    const ULONGLONG ticks = (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
    return static_cast<std::int64_t>(ticks / 10000000ULL) - 11644473600LL;  // since 1970
}

CScheduleTime ScheduleNow()
{
    FILETIME ft;
    GetSystemTimeAsFileTime(&ft);
    SYSTEMTIME local;
    GetLocalTime(&local);
    CScheduleTime now;
    now.m_nUtcSeconds = UtcSecondsOf(ft);
    now.m_nLocalDate = local.wYear * 10000 + local.wMonth * 100 + local.wDay;
    now.m_nLocalMinute = local.wHour * 60 + local.wMinute;
    return now;
}

// A value of the wrong type, or one that is not a time or a number of hours, is logged and
// leaves that part of the schedule off.
void CServerRunner::LoadRestartSettings(CSettingsStore& settings)
{
    CRestartSettings restart;
    const std::optional<std::string> daily = settings.ReadString(kRestartDailyValue);
    if (daily && !daily->empty()) {
        restart.m_nDailyMinute = ParseDailyTime(*daily);
        if (!restart.m_nDailyMinute)
            LogMessage("ERR:  The stored daily restart time \"%s\" is not a time HH:MM; there is no daily "
                       "restart.\n",
                       daily->c_str());
    } else if (!daily && settings.Exists(kRestartDailyValue)) {
        LogMessage("ERR:  The stored daily restart time is not a text; there is no daily restart.\n");
    }
    const std::optional<std::uint32_t> hours = settings.ReadDword(kRestartEveryHoursValue);
    if (hours && *hours <= kMaxRestartEveryHours)
        restart.m_nEveryHours = *hours;
    else if (hours || settings.Exists(kRestartEveryHoursValue))
        LogMessage("ERR:  The stored hours between restarts are not a number from 0 to %u; there is no restart by "
                   "the hour.\n",
                   kMaxRestartEveryHours);
    m_model.SetRestartSettings(restart);
}
