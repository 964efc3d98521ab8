#include "server/LogFollower_win.h"

#include "server/RunMessages_win.h"
#include "server/LogFollower.h"
#include "server/RunLogs.h"
#include "base/GamePaths.h"
#include "base/UtilityLog.h"
#include "platform/Platform.h"

#include <exception>
#include <memory>
#include <new>

namespace {

class CFollower {
public:
    explicit CFollower(CFollowerStart start) : m_start(std::move(start)) {}
    CFollower(const CFollower&) = delete;
    CFollower& operator=(const CFollower&) = delete;

    void Run();
    // Nothing is sent once the main window is gone.
    void Note(EFollowerNote kind, const std::string* text = nullptr, DWORD nEndedAt = 0,
              const std::string* level = nullptr)
    {
        if (HWND hwnd = m_start.m_pLink->m_hWnd.load()) {
            CFollowerNote note{kind, text, nEndedAt, level};
            SendMessageA(hwnd, WM_APP_FOLLOWER, m_start.m_nRun, reinterpret_cast<LPARAM>(&note));
        }
    }
    bool Alive() const { return m_start.m_pLink->m_hWnd.load() != nullptr; }

private:
    platform::CHandle OpenLog() const
    {
        // The server keeps writing (and may recreate) its log while we read it.
        return platform::CHandle(CreateFileA(ServerLogPath(m_start.m_strGameFolder).c_str(), GENERIC_READ,
                                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    // A failed GetFileTime counts as written: the copy would rather hold old bytes than none.
    bool WrittenSinceLaunch() const
    {
        FILETIME written;
        return !GetFileTime(m_log.Get(), nullptr, nullptr, &written) || CompareFileTime(&written, &m_start.m_launched) >= 0;
    }
    void Keep(const std::string& bytes);

    CFollowerStart m_start;
    platform::CHandle m_log;   // the server's log
    platform::CHandle m_copy;  // the run's kept copy
    std::string m_strCopyPath;
    bool m_bCopyFailed = false;
};

// The run's copy is made at its first byte, so a server that never starts leaves no file. A
// failed write is logged once and ends the copy, never the run.
void CFollower::Keep(const std::string& bytes)
{
    if (bytes.empty() || m_bCopyFailed)
        return;
    if (!m_copy) {
        const std::string folder = RunLogsFolder(m_start.m_strGameFolder);
        platform::MakeDirectory(folder);
        // A picked-up run goes on in the copy that the Tollan which launched it began.
        m_copy.Reset(CreateFileA(m_strCopyPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        if (m_copy) {
            SetFilePointer(m_copy.Get(), 0, nullptr, FILE_END);
            if (!PruneRunLogs(folder, m_strCopyPath.substr(folder.size() + 1)) && Alive())
                LogMessage("ERR:  Unable to delete an old server log in %s\n", folder.c_str());
        }
    }
    DWORD written = 0;
    if (m_copy &&
        WriteFile(m_copy.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size())
        return;
    m_bCopyFailed = true;
    m_copy.Reset();
    if (Alive())
        LogMessage("ERR:  Unable to keep the server log in %s\n", m_strCopyPath.c_str());
}

void CFollower::Run()
{
    FILETIME launched = m_start.m_launched;
    SYSTEMTIME utc, local;
    if (!launched.dwLowDateTime && !launched.dwHighDateTime)
        GetSystemTimeAsFileTime(&launched);
    if (!FileTimeToSystemTime(&launched, &utc) || !SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local))
        GetLocalTime(&local);
    m_strCopyPath = RunLogsFolder(m_start.m_strGameFolder) + "\\" +
                    RunLogName({local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond},
                               m_start.m_strConfig);

    m_log = OpenLog();
    CLogFollowerModel model;
    LARGE_INTEGER end{};
    if (m_start.m_bFromLogEnd && m_log && GetFileSizeEx(m_log.Get(), &end) &&
        SetFilePointerEx(m_log.Get(), end, nullptr, FILE_BEGIN))
        model.StartAtEnd(static_cast<uint64_t>(end.QuadPart));
    else if (m_start.m_bFromLogEnd)
        model.StartAtEnd(0);
    else
        model.Start(m_log && !WrittenSinceLaunch());
    Note(EFollowerNote::Started);

    Sleep(250);
    bool running = true;
    DWORD endedAt = 0;  // when the wait first saw the process end; the run lasted until then
    bool endSeen = false;
    while (running) {
        char buffer[CLogFollowerModel::kReadSize];
        DWORD got = 0;
        // A first server creates its log only after it has started; until then keep trying.
        if (!m_log)
            m_log = OpenLog();
        if (m_log) {
            LARGE_INTEGER size{};
            if (GetFileSizeEx(m_log.Get(), &size) &&
                model.OnFileSize(static_cast<uint64_t>(size.QuadPart), WrittenSinceLaunch())) {
                LARGE_INTEGER zero{};
                SetFilePointerEx(m_log.Get(), zero, nullptr, FILE_BEGIN);
                Note(EFollowerNote::Rewind);
            }
            if (!ReadFile(m_log.Get(), buffer, sizeof buffer, &got, nullptr))
                got = 0;
        }
        CFollowerActions actions = model.OnRead(std::string(buffer, got));
        for (const std::string& text : actions.m_console)
            Note(EFollowerNote::Text, &text);
        for (const std::string& line : actions.m_log)
            if (Alive())
                LogMessage("%s", line.c_str());
        Keep(actions.m_strRun);
        bool ended = WaitForSingleObject(m_start.m_wait.Get(), 100) != WAIT_TIMEOUT;
        if (ended && !endSeen) {
            endSeen = true;
            endedAt = GetTickCount();
        }
        running = model.OnProcessWait(ended, got);
        Sleep(100);
    }
    m_log.Reset();
    m_copy.Reset();  // complete before the run's end is decided, and the next run launched
    Note(EFollowerNote::Ended, nullptr, endedAt, &model.CurrentLevel());
}

void FollowServerLog(CFollowerStart start)
{
    CFollower follower(std::move(start));
    // Nothing may leave the thread: an exception there would end the process.
    try {
        follower.Run();
        return;
    } catch (const std::exception& e) {
        if (follower.Alive())
            LogMessage("ERR:  The server log follower failed: %s\n", e.what());
    } catch (...) {
        if (follower.Alive())
            LogMessage("ERR:  The server log follower failed.\n");
    }
    follower.Note(EFollowerNote::Failed);
}

DWORD WINAPI FollowerThread(void* parameter)
{
    std::unique_ptr<CFollowerStart> start(static_cast<CFollowerStart*>(parameter));
    FollowServerLog(std::move(*start));
    return 0;
}

}  // namespace

bool StartServerLogFollower(CFollowerStart start)
{
    std::unique_ptr<CFollowerStart> parameter(new (std::nothrow) CFollowerStart(std::move(start)));
    // Nobody waits for the thread: when Tollan closes at once the follower is abandoned with the
    // server, and the process ends without it.
    const platform::CHandle thread(parameter ? CreateThread(nullptr, 0, FollowerThread, parameter.get(), 0, nullptr)
                                             : nullptr);
    if (!thread)
        return false;
    parameter.release();  // the thread's now
    return true;
}
