// The Win32 runner of the server run: it hands what happens -- presses, timers, the follower's
// notes, the socket's login -- to CServerRunModel and carries out the actions it returns: the
// launch, the connection, the process, and what the user sees, through the seam (CRunSeat). It
// owns a message-only window for its timers, its follower's notes and its socket's events, so the
// main window forwards nothing to it.
#pragma once
#include <windows.h>

#include "server/CrashRecovery.h"
#include "server/HistoryRunStore.h"
#include "server/LogFollower_win.h"
#include "server/RemoteConsole_win.h"
#include "server/RunModel.h"
#include "server/RunSeat.h"
#include "platform/Handle_win.h"
#include "wingui/Owners_win.h"

#include <memory>
#include <string>
#include <vector>

class CHistoryStore;
class CSettingsStore;
struct CServerConfig;

// The clock as the restart schedule takes it: UTC seconds, the local date and minute.
CScheduleTime ScheduleNow();
// A FILETIME as UTC seconds since 1970.
std::int64_t UtcSecondsOf(const FILETIME& ft);

class CServerRunner : private CRemoteConsoleOwner {
public:
    // `gameFolder` is read at each use: it is found after the runner is made.
    CServerRunner(const std::string& gameFolder, CServerConfig& record, const CHistoryStore& history,
                  CSettingsStore& settings);
    ~CServerRunner();
    CServerRunner(const CServerRunner&) = delete;
    CServerRunner& operator=(const CServerRunner&) = delete;

    // Makes the runner's window and starts showing the run through `seat`. False when the window
    // cannot be made.
    bool Attach(CRunSeat& seat);
    // The main window is being destroyed: followers leave the run alone from now on, the runner's
    // window goes, and the server keeps running.
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
    const CButtonStates& Buttons() const { return m_model.Buttons(); }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l);
    void OnTimer(UINT_PTR id);
    void OnFollowerNote(WPARAM run, LPARAM note);
    void OnWindowsChecked(WPARAM run, LPARAM answer);

    // What an action reports back to the model, and a socket notification that waits its turn.
    struct CReport {
        enum class EKind {
            PortChecked,
            Launched,
            ConnectBegun,
            CrashCopyWritten,
            MessageBoxClosed,
            FollowerLost,
            WindowsUnchecked,
            SocketEvent,
        };
        explicit CReport(EKind kind) : m_eKind(kind) {}
        EKind m_eKind;
        RunId m_nRun = 0;
        CPortCheck m_check;
        bool m_bStarted = false;
        HANDLE m_hProcess = nullptr;
        RunClock m_nNow = 0;
        WPARAM m_nSocket = 0;
        LPARAM m_nEvent = 0;
    };
    // Carries out the actions in their order. A report waits until the actions returned before it
    // are done, so nothing runs nested or out of turn.
    void Execute(CRunActions actions);
    // A report appended to the queue, its fields filled in place.
    CReport& Later(CReport::EKind kind)
    {
        m_reports.emplace_back(kind);
        return m_reports.back();
    }
    CRunActions Deliver(const CReport& report);
    void Carry(const CRunAction& action);
    void Launch(const CRunAction& action);
    void Follow(const CRunAction& action);
    void Connect(RunId run);
    // The process handle lives as long as its run.
    void ReleaseEndedProcess();

    std::string GetRemoteConsolePassword() override { return m_model.AdminPassword(); }
    void OnRemoteConsoleLoggedIn() override { Execute(m_model.OnLoggedIn(m_nSocketRun)); }
    void OnRemoteConsoleError(const char* text) override;

    CRunActions m_actions;  // still to carry, from m_nNextAction on
    size_t m_nNextAction = 0;
    std::vector<CReport> m_reports;
    bool m_bCarrying = false;

    const std::string& m_strGameFolder;
    CServerConfig& m_record;  // crash recovery may raise its frame rate
    const CHistoryStore& m_history;
    CSettingsStore& m_settings;
    CHistoryRunStore m_store;
    CServerRunModel m_model{m_store};
    CRunSeat* m_pSeat = nullptr;
    HWND m_hWnd = nullptr;  // the runner's own message-only window
    std::shared_ptr<CFollowerLink> m_pLink{new CFollowerLink};
    platform::CHandle m_serverProcess;
    RunId m_nProcessRun = 0;
    RunClock m_nCheckBegan = 0;  // when the look at the server's windows under way began
    std::unique_ptr<CRemoteConsoleSocket> m_pSocket;
    RunId m_nSocketRun = 0;  // the run the connection was made for
    CCrashRecovery m_crashRecovery;
};
