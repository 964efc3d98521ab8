#include "app/ServerLogFollower.h"

#include "app/AppMessages.h"
#include "app/LogFollowerModel.h"
#include "app/RunLogs.h"
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
    ~CFollower()
    {
        if (m_hLog != INVALID_HANDLE_VALUE)
            CloseHandle(m_hLog);
        CloseCopy();
        CloseHandle(m_start.m_hWait);
    }
    CFollower(const CFollower&) = delete;
    CFollower& operator=(const CFollower&) = delete;

    void Run();
    // Nothing is sent once the main window is gone.
    void Note(EFollowerNote kind, const std::string* text = nullptr, DWORD nEndedAt = 0)
    {
        if (HWND hwnd = m_start.m_pLink->m_hWnd.load()) {
            CFollowerNote note{kind, text, nEndedAt};
            SendMessageA(hwnd, WM_APP_FOLLOWER, m_start.m_nRun, reinterpret_cast<LPARAM>(&note));
        }
    }
    bool Alive() const { return m_start.m_pLink->m_hWnd.load() != nullptr; }

private:
    HANDLE OpenLog() const
    {
        // The server keeps writing (and may recreate) its log while we read it.
        return CreateFileA(ServerLogPath(m_start.m_strGameFolder).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    }

    // A failed GetFileTime counts as written: the copy would rather hold old bytes than none.
    bool WrittenSinceLaunch() const
    {
        FILETIME written;
        return !GetFileTime(m_hLog, nullptr, nullptr, &written) || CompareFileTime(&written, &m_start.m_launched) >= 0;
    }
    void Keep(const std::string& bytes);
    void CloseCopy()
    {
        if (m_hCopy != INVALID_HANDLE_VALUE)
            CloseHandle(m_hCopy);
        m_hCopy = INVALID_HANDLE_VALUE;
    }

    CFollowerStart m_start;
    HANDLE m_hLog = INVALID_HANDLE_VALUE;
    HANDLE m_hCopy = INVALID_HANDLE_VALUE;
    std::string m_strCopyPath;
    bool m_bCopyFailed = false;
};

// The run's copy is made at its first byte, so a server that never starts leaves no file. A
// failed write is logged once and ends the copy, never the run.
void CFollower::Keep(const std::string& bytes)
{
    if (bytes.empty() || m_bCopyFailed)
        return;
    if (m_hCopy == INVALID_HANDLE_VALUE) {
        const std::string folder = RunLogsFolder(m_start.m_strGameFolder);
        platform::MakeDirectory(folder);
        // A picked-up run goes on in the copy that the Tollan which launched it began.
        m_hCopy = CreateFileA(m_strCopyPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
        if (m_hCopy != INVALID_HANDLE_VALUE) {
            SetFilePointer(m_hCopy, 0, nullptr, FILE_END);
            if (!PruneRunLogs(folder, m_strCopyPath.substr(folder.size() + 1)) && Alive())
                LogMessage("ERR:  Unable to delete an old server log in %s\n", folder.c_str());
        }
    }
    DWORD written = 0;
    if (m_hCopy != INVALID_HANDLE_VALUE &&
        WriteFile(m_hCopy, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) && written == bytes.size())
        return;
    m_bCopyFailed = true;
    CloseCopy();
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

    m_hLog = OpenLog();
    CLogFollowerModel model;
    LARGE_INTEGER end{};
    if (m_start.m_bFromLogEnd && m_hLog != INVALID_HANDLE_VALUE && GetFileSizeEx(m_hLog, &end) &&
        SetFilePointerEx(m_hLog, end, nullptr, FILE_BEGIN))
        model.StartAtEnd(static_cast<uint64_t>(end.QuadPart));
    else if (m_start.m_bFromLogEnd)
        model.StartAtEnd(0);
    else
        model.Start(m_hLog != INVALID_HANDLE_VALUE && !WrittenSinceLaunch());
    Note(EFollowerNote::Started);

    Sleep(250);
    bool running = true;
    DWORD endedAt = 0;  // when the wait first saw the process end; the run lasted until then
    bool endSeen = false;
    while (running) {
        char buffer[CLogFollowerModel::kReadSize];
        DWORD got = 0;
        // A first server creates its log only after it has started; until then keep trying.
        if (m_hLog == INVALID_HANDLE_VALUE)
            m_hLog = OpenLog();
        if (m_hLog != INVALID_HANDLE_VALUE) {
            LARGE_INTEGER size{};
            if (GetFileSizeEx(m_hLog, &size) &&
                model.OnFileSize(static_cast<uint64_t>(size.QuadPart), WrittenSinceLaunch())) {
                LARGE_INTEGER zero{};
                SetFilePointerEx(m_hLog, zero, nullptr, FILE_BEGIN);
                Note(EFollowerNote::Rewind);
            }
            if (!ReadFile(m_hLog, buffer, sizeof buffer, &got, nullptr))
                got = 0;
        }
        CFollowerActions actions = model.OnRead(std::string(buffer, got));
        for (const std::string& text : actions.console)
            Note(EFollowerNote::Text, &text);
        for (const std::string& line : actions.log)
            if (Alive())
                LogMessage("%s", line.c_str());
        Keep(actions.run);
        bool ended = WaitForSingleObject(m_start.m_hWait, 100) != WAIT_TIMEOUT;
        if (ended && !endSeen) {
            endSeen = true;
            endedAt = GetTickCount();
        }
        running = model.OnProcessWait(ended, got);
        Sleep(100);
    }
    if (m_hLog != INVALID_HANDLE_VALUE)
        CloseHandle(m_hLog);
    m_hLog = INVALID_HANDLE_VALUE;
    CloseCopy();  // complete before the run's end is decided, and the next run launched
    Note(EFollowerNote::Ended, nullptr, endedAt);
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
    HANDLE hWait = start.m_hWait;
    CFollowerStart* parameter = new (std::nothrow) CFollowerStart(std::move(start));
    // Nobody waits for the thread: when Tollan closes at once the follower is abandoned with the
    // server, and the process ends without it.
    HANDLE thread = parameter ? CreateThread(nullptr, 0, FollowerThread, parameter, 0, nullptr) : nullptr;
    if (!thread) {
        delete parameter;
        CloseHandle(hWait);
        return false;
    }
    CloseHandle(thread);
    return true;
}
