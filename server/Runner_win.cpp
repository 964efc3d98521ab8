#include "server/Runner_win.h"

#include "base/GamePaths.h"
#include "base/SettingsStore.h"
#include "base/UtilityLog.h"
#include "config/HistoryStore.h"
#include "config/ServerConfig.h"
#include "server/PickUp.h"
#include "server/PickUp_win.h"
#include "server/PortCheck_win.h"
#include "server/RunMessages_win.h"
#include "server/WindowCheck_win.h"
#include "platform/Processes_win.h"

#include <shellapi.h>

namespace {

const char kRunnerWindowClass[] = "TollanServerRun";

// The schedule's tick: the one timer that repeats, for the life of the runner's window; the clock
// goes in with each. It is no timer of the model's.
constexpr UINT_PTR kTimerScheduleTick = 1;
constexpr UINT kScheduleTickMs = 5000;

// Ends the server's process and every process it started that still runs. A crash held open has
// such a child holding it (Windows Error Reporting's dialog, or Wine's debugger), and with it the
// server's sockets: the relaunch would find the remote console's port still taken.
void EndServerProcess(HANDLE process)
{
    const DWORD pid = GetProcessId(process);
    std::vector<DWORD> children;
    platform::ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (entry.th32ParentProcessID == pid && entry.th32ProcessID != pid)
            children.push_back(entry.th32ProcessID);
        return true;
    });
    FILETIME created{}, unused[3];
    GetProcessTimes(process, &created, &unused[0], &unused[1], &unused[2]);
    TerminateProcess(process, 0);
    for (DWORD child : children) {
        platform::CHandle handle{OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, child)};
        FILETIME childCreated{};
        // An id can be reused: a child of an earlier process with the server's id is older than it.
        if (handle && GetProcessTimes(handle.Get(), &childCreated, &unused[0], &unused[1], &unused[2]) &&
            CompareFileTime(&childCreated, &created) >= 0)
            TerminateProcess(handle.Get(), 0);
    }
}

}  // namespace

CServerRunner::CServerRunner(const std::string& gameFolder, CServerConfig& record, const CHistoryStore& history,
                             CSettingsStore& settings)
    : m_strGameFolder(gameFolder), m_record(record), m_history(history), m_settings(settings), m_store(history, record)
{
}

CServerRunner::~CServerRunner()
{
    if (m_hWnd)
        DestroyWindow(m_hWnd);
}

bool CServerRunner::Attach(CRunSeat& seat)
{
    m_pSeat = &seat;
    WNDCLASSA wc{};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kRunnerWindowClass;
    RegisterClassA(&wc);  // fails harmlessly when the class is there already
    m_hWnd = CreateWindowExA(0, kRunnerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, this);
    if (!m_hWnd)
        return false;
    m_pLink->m_hWnd = m_hWnd;
    seat.ShowButtons(m_model.Buttons());
    ::SetTimer(m_hWnd, kTimerScheduleTick, kScheduleTickMs, nullptr);
    return true;
}

void CServerRunner::Detach()
{
    m_pLink->m_hWnd = nullptr;
    m_pSocket.reset();
    if (m_hWnd)
        DestroyWindow(m_hWnd);  // its timers go with it
    m_hWnd = nullptr;
    m_pSeat = nullptr;
}

LRESULT CALLBACK CServerRunner::WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    if (msg == WM_NCCREATE)
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams));
    CServerRunner* runner = reinterpret_cast<CServerRunner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!runner || !runner->m_pSeat)
        return DefWindowProcA(hwnd, msg, w, l);
    // Nothing may unwind into user32.
    try {
        switch (msg) {
        case WM_TIMER:
            runner->OnTimer(w);
            return 0;
        case WM_APP_FOLLOWER:
            runner->OnFollowerNote(w, l);
            return 0;
        case WM_APP_SOCKET: {
            // Handled in its turn: never inside another notification or a message box.
            CReport& report = runner->Later(CReport::EKind::SocketEvent);
            report.m_nSocket = w;
            report.m_nEvent = l;
            runner->Execute({});
            return 0;
        }
        case WM_APP_WINDOWS_CHECKED:
            runner->OnWindowsChecked(w, l);
            return 0;
        }
    } catch (const std::exception& e) {
        LogMessage("ERR:  The server run failed: %s\n", e.what());
        return 0;
    } catch (...) {
        LogMessage("ERR:  The server run failed.\n");
        return 0;
    }
    return DefWindowProcA(hwnd, msg, w, l);
}

bool CServerRunner::SendCommandLine(const std::string& text)
{
    if (!m_model.IsServerRunning())
        return false;
    Execute(m_model.OnCommandLine(text));
    return true;
}

void CServerRunner::OnTimer(UINT_PTR id)
{
    if (id == kTimerScheduleTick) {
        Execute(m_model.OnScheduleTick(ScheduleNow()));
        return;
    }
    ::KillTimer(m_hWnd, id);
    Execute(m_model.OnTimer(static_cast<unsigned>(id)));
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
            m_pSeat->ShowConsoleText(*note.m_pText);
        break;
    case EFollowerNote::Rewind:
        if (m_model.IsCurrentRun(run))
            m_pSeat->DropConsoleFragment();
        break;
    case EFollowerNote::Ended:
        Execute(m_model.OnFollowerEnded(run, note.m_pLevel ? *note.m_pLevel : std::string(), note.m_nEndedAt));
        break;
    case EFollowerNote::Failed:
        Execute(m_model.OnFollowerLost(run));
        break;
    }
}

void CServerRunner::OnWindowsChecked(WPARAM run, LPARAM answer)
{
    Execute(m_model.OnWindowsChecked(static_cast<RunId>(run), static_cast<EWindowAnswer>(answer), m_nCheckBegan));
}

// The connection's failures are told as the model's own boxes are, in their turn.
void CServerRunner::OnRemoteConsoleError(const char* text)
{
    CRunActions box;
    box.emplace_back(ERunAction::ShowMessage).m_strText = text;
    Execute(std::move(box));
}

void CServerRunner::Execute(CRunActions actions)
{
    for (CRunAction& action : actions)
        m_actions.push_back(std::move(action));
    // The one guard against running nested: a message box runs a message loop, and the timers,
    // follower notes and socket notifications that arrive meanwhile join the queue of the loop
    // below instead of starting one of their own.
    if (m_bCarrying)
        return;
    struct CCarrying {
        CServerRunner& m_runner;
        explicit CCarrying(CServerRunner& runner) : m_runner(runner) { m_runner.m_bCarrying = true; }
        ~CCarrying()
        {
            m_runner.m_bCarrying = false;
            m_runner.m_actions.clear();
            m_runner.m_nNextAction = 0;
            m_runner.m_reports.clear();
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
        // A socket report calls back into Execute (a login, an error), which queues its actions
        // here: they are kept, ahead of what the report itself returns.
        for (CRunAction& action : Deliver(report))
            m_actions.push_back(std::move(action));
    }
    ReleaseEndedProcess();
}

CRunActions CServerRunner::Deliver(const CReport& r)
{
    switch (r.m_eKind) {
    case CReport::EKind::PortChecked: return m_model.OnPortChecked(r.m_check);
    case CReport::EKind::Launched: {
        CRunActions next = m_model.OnLaunched(r.m_bStarted, r.m_nNow);
        if (r.m_bStarted) {
            // A scheduled restart relaunches within the Execute that ended the old run: the old
            // handle goes here, as the new one comes.
            m_serverProcess.Reset(r.m_hProcess);
            m_nProcessRun = m_model.CurrentRun();
        }
        return next;
    }
    case CReport::EKind::ConnectBegun: return m_model.OnConnectBegun(r.m_nRun);
    case CReport::EKind::CrashCopyWritten: return m_model.OnCrashCopyWritten();
    case CReport::EKind::MessageBoxClosed: return m_model.OnMessageBoxClosed();
    case CReport::EKind::FollowerLost: return m_model.OnFollowerLost(r.m_nRun);
    case CReport::EKind::WindowsUnchecked: return m_model.OnWindowsChecked(r.m_nRun, EWindowAnswer::Unknown, r.m_nNow);
    case CReport::EKind::SocketEvent:
        if (m_pSocket)
            m_pSocket->OnSocketMessage(r.m_nSocket, r.m_nEvent);
        return {};
    }
    return {};
}

void CServerRunner::Carry(const CRunAction& a)
{
    switch (a.m_eKind) {
    case ERunAction::Send:
        if (m_pSocket)
            m_pSocket->SendText(a.m_strText);
        break;
    case ERunAction::Log:
        LogMessage("%s", a.m_strText.c_str());
        break;
    case ERunAction::Console:
        m_pSeat->ShowConsoleText(a.m_strText);
        break;
    case ERunAction::SetTimer:
        ::SetTimer(m_hWnd, a.m_nTimer, a.m_nMs, nullptr);
        break;
    case ERunAction::KillTimer:
        ::KillTimer(m_hWnd, a.m_nTimer);
        break;
    case ERunAction::Buttons:
        m_pSeat->ShowButtons(a.m_buttons);
        break;
    case ERunAction::Title:
        m_pSeat->ShowTitle(a.m_strText);
        break;
    case ERunAction::CheckPort:
        Later(CReport::EKind::PortChecked).m_check = CheckConsolePort();
        break;
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
        if (a.m_nRun != m_nProcessRun || !m_serverProcess ||
            !StartWindowCheck(m_hWnd, a.m_nRun, GetProcessId(m_serverProcess.Get())))
            Later(CReport::EKind::WindowsUnchecked).m_nRun = a.m_nRun;
        break;
    case ERunAction::Terminate:
        if (a.m_nRun == m_nProcessRun && m_serverProcess)
            EndServerProcess(m_serverProcess.Get());
        break;
    case ERunAction::ShowMessage:
        m_pSeat->ShowWarning(a.m_strText);
        Later(CReport::EKind::MessageBoxClosed);
        break;
    case ERunAction::Notify:
        m_pSeat->ShowNote(a.m_eNote, a.m_strConfig, a.m_strText);
        break;
    case ERunAction::CrashCopy:
        if (m_crashRecovery.AddCurrentLevelToConfig(m_strGameFolder, a.m_strConfig, a.m_strText, m_record.g_iFPS))
            Later(CReport::EKind::CrashCopyWritten);
        break;
    case ERunAction::SwapScript:
        m_crashRecovery.SwapConfigScript(m_strGameFolder, a.m_strConfig);
        break;
    case ERunAction::CloseWindow:
        m_pSeat->CloseWindow();
        break;
    }
}

void CServerRunner::Launch(const CRunAction& a)
{
    const std::string program = ServerProgramPath(m_strGameFolder);
    SHELLEXECUTEINFOA sei{};
    sei.cbSize = sizeof sei;
    // Nobody may be there to click: a program that cannot be started is reported, not shown in
    // the shell's own box (which would hold a restart until somebody closed it).
    sei.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
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
    if (started && !m_settings.WriteString(kLastLaunchedConfigValue, a.m_strConfig))
        LogMessage("ERR:  Unable to write the last launched configuration to registry.\n");
    CReport& report = Later(CReport::EKind::Launched);
    report.m_bStarted = started;
    report.m_hProcess = started ? sei.hProcess : nullptr;
    report.m_nNow = GetTickCount();
}

std::optional<std::string> CServerRunner::PickUpRunningServer(const std::string& currentConfig)
{
    std::optional<CRunningServer> server = FindRunningServer(m_strGameFolder);
    if (!server)
        return std::nullopt;
    platform::CHandle process(server->m_hProcess);
    CPickedUpConfig config =
        ChoosePickedUpConfig(m_settings.ReadString(kLastLaunchedConfigValue), m_history.ReadStoredConfigNames(), currentConfig);
    std::optional<std::int64_t> startedUtc;
    FILETIME created, unused[3];
    if (GetProcessTimes(process.Get(), &created, &unused[0], &unused[1], &unused[2]))
        startedUtc = UtcSecondsOf(created);
    CRunActions next = m_model.OnServerPickedUp(server->m_nPid, config.m_strName, config.m_bGuessed, startedUtc);
    if (next.empty())
        return std::nullopt;
    m_serverProcess = std::move(process);
    m_nProcessRun = m_model.CurrentRun();
    Execute(next);
    if (!config.m_strLogLine.empty())
        LogMessage("%s", config.m_strLogLine.c_str());
    return config.m_strName;
}

void CServerRunner::Follow(const CRunAction& a)
{
    const RunId run = a.m_nRun;
    CFollowerStart start;
    start.m_nRun = run;
    start.m_pLink = m_pLink;
    start.m_strGameFolder = m_strGameFolder;
    start.m_bFromLogEnd = a.m_bFromLogEnd;
    start.m_strConfig = m_model.ActiveScript();
    FILETIME unused[3];
    if (!m_serverProcess ||
        !GetProcessTimes(m_serverProcess.Get(), &start.m_launched, &unused[0], &unused[1], &unused[2]))
        start.m_launched = FILETIME{};
    HANDLE wait = nullptr;
    const bool duplicated = m_serverProcess && DuplicateHandle(GetCurrentProcess(), m_serverProcess.Get(),
                                                               GetCurrentProcess(), &wait, SYNCHRONIZE, FALSE, 0);
    start.m_wait.Reset(wait);
    if (!duplicated || !StartServerLogFollower(std::move(start))) {
        LogMessage("ERR:  Could not start the server log follower.\n");
        Later(CReport::EKind::FollowerLost).m_nRun = run;
    }
}

void CServerRunner::Connect(RunId run)
{
    // The old connection's notifications that wait their turn would reach the new socket, which
    // may get the same handle value.
    for (size_t i = m_reports.size(); i-- > 0;)
        if (m_reports[i].m_eKind == CReport::EKind::SocketEvent)
            m_reports.erase(m_reports.begin() + static_cast<std::ptrdiff_t>(i));
    if (!CRemoteConsoleSocket::ConnectToServer(m_pSocket, m_hWnd, this))
        return;
    m_nSocketRun = run;
    Later(CReport::EKind::ConnectBegun).m_nRun = run;
}

void CServerRunner::ReleaseEndedProcess()
{
    // Closing the handle leaves the process alone: a server Tollan left behind keeps running.
    if (m_serverProcess && !m_model.IsCurrentRun(m_nProcessRun)) {
        m_serverProcess.Reset();
        m_nProcessRun = 0;
    }
}

void CServerRunner::OnScriptSaved(const std::string& config)
{
    if (m_crashRecovery.CancelPendingSwap(m_strGameFolder, config))
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
