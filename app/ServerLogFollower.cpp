// FollowServerLog: the worker thread of one server run. It reads the server's log while the
// process lives, hands the text to the console and decides what the end of the process means.
// Every window operation goes to the UI thread as a synchronous WM_APP_RUN_ON_UI; once the main
// window is gone (Tollan closed at once) nothing is sent any more and the server is left running.
#include "app/ServerRun.h"

#include "app/LogFollowerModel.h"
#include "base/GamePaths.h"
#include "base/UtilityLog.h"
#include "wingui/AppMessages.h"

#include <exception>
#include <thread>

namespace {

class CFollower {
public:
    explicit CFollower(CFollowerStart start) : m_start(std::move(start)) {}

    void Run();

private:
    // False when the main window is gone; the operation is then skipped.
    bool ToUi(WPARAM op, LPARAM payload = 0)
    {
        HWND hwnd = m_start.pState->m_hWndAlive.load();
        if (!hwnd)
            return false;
        SendMessageA(hwnd, WM_APP_RUN_ON_UI, op, payload);
        return true;
    }
    bool Alive() const { return m_start.pState->m_hWndAlive.load() != nullptr; }
    void AppendConsoleText(const std::string& text)
    {
        ToUi(kUiConsoleText, reinterpret_cast<LPARAM>(&text));
    }
    void Log(const std::string& line)
    {
        if (Alive())
            LogMessage("%s", line.c_str());
    }

    CFollowerStart m_start;
};

void CFollower::Run()
{
    CServerRunState& state = *m_start.pState;
    const std::string logPath = ServerLogPath(m_start.strGameFolder);
    // The server keeps writing (and may recreate) its log while we read it.
    auto openLog = [&] {
        return CreateFileA(logPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    };
    HANDLE hLog = openLog();

    CLogFollowerModel model;
    model.Start();
    // m_bServerRunning and m_bStopRequested were set by LaunchServer before this thread began.
    state.m_console.ClearCurrentLevel();
    ToUi(kUiRunStarted, reinterpret_cast<LPARAM>(&m_start.strConfigName));

    Sleep(250);
    while (state.m_bServerRunning) {
        char buffer[CLogFollowerModel::kReadSize];
        DWORD got = 0;
        // A first server creates its log only after it has started; until then keep trying.
        if (hLog == INVALID_HANDLE_VALUE)
            hLog = openLog();
        if (hLog != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER size{};
            if (GetFileSizeEx(hLog, &size) && model.OnFileSize(static_cast<uint64_t>(size.QuadPart))) {
                LARGE_INTEGER zero{};
                SetFilePointerEx(hLog, zero, nullptr, FILE_BEGIN);
            }
            if (!ReadFile(hLog, buffer, sizeof buffer, &got, nullptr))
                got = 0;
        }
        CFollowerActions actions = model.OnRead(std::string(buffer, got));
        for (const std::string& text : actions.console)
            AppendConsoleText(text);
        for (const std::string& line : actions.log)
            Log(line);
        bool ended = WaitForSingleObject(m_start.hWait, 100) != WAIT_TIMEOUT;
        if (!model.OnProcessWait(ended, got))
            state.m_bServerRunning = false;
        Sleep(100);
    }

    if (hLog != INVALID_HANDLE_VALUE)
        CloseHandle(hLog);
    CloseHandle(m_start.hWait);
    m_start.pProcess->Close();
    if (!Alive())
        return;  // Tollan is closing; the window and the dialog are no longer ours to touch
    ToUi(kUiRunEnded);

    COutcome outcome = CLogFollowerModel::DecideOutcome(state.m_bStopRequested, state.m_bClosing,
                                                        state.m_bLoginFailed, m_start.gtGameType);
    if (!outcome.strConsole.empty())
        AppendConsoleText(outcome.strConsole);
    if (!outcome.strLog.empty())
        Log(outcome.strLog);
    if (!outcome.strMessageBox.empty() && Alive())
        MessageBoxA(nullptr, outcome.strMessageBox.c_str(), "Tollan", MB_OK | MB_ICONWARNING | MB_SETFOREGROUND);
    if (outcome.bCaptionStart)
        ToUi(kUiCaptionStart);
    if (outcome.bCloseTimer)
        ToUi(kUiStartTimer, kTimerClose);
    if (outcome.kind == EFollowerOutcome::Crashed) {
        // The UI thread decides cooperative or not from the stored configuration, writes the
        // copy of the script and starts the restart timer, in that order.
        std::string level = state.m_console.CurrentLevel();
        ToUi(kUiCrashed, reinterpret_cast<LPARAM>(&level));
    }
    ToUi(kUiTitleIdle);
}

}  // namespace

bool StartServerLogFollower(CFollowerStart start)
{
    try {
        // Detached: when Tollan closes at once the follower is abandoned with the server, and a
        // joinable thread destroyed at exit would end the process through std::terminate.
        std::thread([s = std::move(start)]() mutable {
            std::shared_ptr<CServerRunState> keep = s.pState;
            CFollower(std::move(s)).Run();
        }).detach();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}
