// The Win32 runner of the server run: it hands what happens -- presses, timers, the follower's
// notes, the socket's login -- to CServerRunModel and carries out the actions it returns: the
// launch, the buttons, the title, the console, the timers, the connection, the process.
#pragma once
#include "app/CrashRecovery.h"
#include "app/RemoteConsoleSocket.h"
#include "app/ServerLogFollower.h"
#include "app/ServerRunModel.h"
#include "controls/ConsoleCtrl.h"
#include "wingui/Controls.h"
#include "wingui/Dialog.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

struct CAppContext;
class CSettingsStore;

// The clock as the restart schedule takes it: UTC seconds, the local date and minute.
CScheduleTime ScheduleNow();
// A FILETIME as UTC seconds since 1970.
std::int64_t UtcSecondsOf(const FILETIME& ft);
struct CServerConfig;

// The store the runs are launched from: History.ini, with the record as the fallback game type.
class CHistoryRunStore : public CRunStore {
public:
    explicit CHistoryRunStore(const CServerConfig& record) : m_record(record) {}
    int GameTypeOf(const std::string& configName) override;
    std::optional<std::string> AdminPasswordOf(const std::string& configName) override;

private:
    const CServerConfig& m_record;
};

class CServerRunner : private CRemoteConsoleOwner {
public:
    explicit CServerRunner(CAppContext& context);
    ~CServerRunner();
    CServerRunner(const CServerRunner&) = delete;
    CServerRunner& operator=(const CServerRunner&) = delete;

    // Binds to the main dialog (its server buttons, its title, its timers) and its console.
    void Attach(wingui::CDialog& dialog, CConsoleCtrl& console);
    // WM_DESTROY: followers leave the window alone from now on, and the server keeps running.
    void Detach();

    void OnStartStop(const std::string& currentConfig) { Execute(m_model.OnStartStopPressed(currentConfig)); }
    void OnCommand(EServerCommand command) { Execute(m_model.OnCommandPressed(command)); }
    void OnConfigChosen(const std::string& currentConfig) { Execute(m_model.OnConfigChosen(currentConfig)); }
    void OnConfigBrowsed(const std::string& currentConfig) { Execute(m_model.OnConfigBrowsed(currentConfig)); }
    void OnCloseCommand() { Execute(m_model.OnCloseCommand()); }
    // At start-up: a server of this game folder that still runs becomes the run. Its
    // configuration, or nothing when there was no such server.
    std::optional<std::string> PickUpRunningServer(const std::string& currentConfig);
    // Enter on the command line: sends the text and logs it. False (nothing done) when no run is on.
    bool SendCommandLine(const std::string& text);
    // Save Config wrote this configuration's script: a pending crash swap would undo it.
    void OnScriptSaved(const std::string& config);
    bool IsServerRunning() const { return m_model.IsServerRunning(); }
    // The scheduled restart: its settings, read from the store at start-up and set by its dialog.
    void LoadRestartSettings(CSettingsStore& settings);
    void SetRestartSettings(const CRestartSettings& settings) { m_model.SetRestartSettings(settings); }
    const CRestartSettings& RestartSettings() const { return m_model.RestartSettings(); }
    std::optional<std::int64_t> SecondsUntilRestart(const CScheduleTime& now, const CRestartSettings& settings) const
    {
        return m_model.SecondsUntilRestart(now, settings);
    }
    CRunStatus Status() const { return m_model.Status(); }
    // Told of what a user away from the screen wants to know (a crash, a restart, a failed login).
    std::function<void(const std::string& text)> m_onNotify;

    // Window messages of the main dialog. OnTimer is false for a timer that is not the run's.
    bool OnTimer(UINT_PTR id);
    void OnFollowerNote(WPARAM run, LPARAM note);
    void OnSocketMessage(WPARAM w, LPARAM l);
    void OnWindowsChecked(WPARAM run, LPARAM answer);

private:
    // What an action reports back to the model.
    struct CReport {
        enum class EKind {
            PortChecked,
            Launched,
            ConnectBegun,
            CrashCopyWritten,
            MessageBoxClosed,
            FollowerLost,
            WindowsUnchecked
        };
        explicit CReport(EKind k) : kind(k) {}
        EKind kind;
        RunId run = 0;
        CPortCheck check;
        bool bStarted = false;
        HANDLE hProcess = nullptr;
        RunClock now = 0;
    };
    // Carries out the actions in their order. A report waits until the actions returned before it
    // are done, so nothing runs nested or out of turn.
    void Execute(CRunActions actions);
    void Later(const CReport& report) { m_reports.push_back(report); }
    CRunActions Deliver(const CReport& report);
    void Carry(const CRunAction& action);
    void Launch(const CRunAction& action);
    void Follow(const CRunAction& action);
    void Connect(RunId run);
    void ApplyButtons(const CButtonStates& buttons);
    // The process handle lives as long as its run.
    void ReleaseEndedProcess();

    std::string GetRemoteConsolePassword() override { return m_model.AdminPassword(); }
    void OnRemoteConsoleLoggedIn() override { Execute(m_model.OnLoggedIn(m_nSocketRun)); }

    CRunActions m_actions;  // still to carry, from m_nNextAction on
    size_t m_nNextAction = 0;
    std::vector<CReport> m_reports;
    bool m_bCarrying = false;

    CAppContext& m_context;
    CHistoryRunStore m_store;
    CServerRunModel m_model{m_store};
    wingui::CDialog* m_pDialog = nullptr;
    CConsoleCtrl* m_pConsole = nullptr;
    wingui::CButton m_btnStartServer, m_btnRestartServer, m_btnPauseServer, m_btnListPlayers;
    std::shared_ptr<CFollowerLink> m_pLink{new CFollowerLink};
    HANDLE m_hServerProcess = nullptr;
    RunId m_nProcessRun = 0;
    RunClock m_nCheckBegan = 0;  // when the look at the server's windows under way began
    std::unique_ptr<CRemoteConsoleSocket> m_pSocket;
    RunId m_nSocketRun = 0;  // the run the connection was made for
    CCrashRecovery m_crashRecovery;
};
