#include "server/PickUp_win.h"

#include "server/PickUp.h"
#include "base/GamePaths.h"
#include "platform/Processes_win.h"

namespace {

// What a run needs of its process, and enough to read its image path.
constexpr DWORD kServerRights = SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION;

// Letters beyond ASCII are folded here, as the file system would; the core folds ASCII.
std::string Upper(std::string s)
{
    if (!s.empty())
        CharUpperBuffA(&s[0], static_cast<DWORD>(s.size()));
    return s;
}

std::string FullPath(const std::string& path)
{
    char buf[MAX_PATH * 2];
    DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
    return n && n < sizeof buf ? std::string(buf, n) : path;
}

// The call is in every system Tollan runs on (Vista on), but not in the XP headers it is built with.
std::string ImagePath(HANDLE process)
{
    using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
    const auto query = reinterpret_cast<QueryFullProcessImageNameFn>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA"));
    char buf[MAX_PATH * 2] = "";
    DWORD size = sizeof buf;
    return query && query(process, 0, buf, &size) ? std::string(buf, size) : std::string();
}

}  // namespace

std::optional<CRunningServer> FindRunningServer(const std::string& gameFolder)
{
    const std::string expected = Upper(FullPath(ServerProgramPath(gameFolder)));
    std::optional<CRunningServer> found;
    platform::ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (lstrcmpiA(entry.szExeFile, "DedicatedServer.exe") != 0 || entry.th32ProcessID == GetCurrentProcessId())
            return true;
        platform::CHandle process(OpenProcess(kServerRights, FALSE, entry.th32ProcessID));
        // A process that has ended may linger while some handle to it is open.
        if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
            IsSameWindowsPath(Upper(ImagePath(process.Get())), expected))
            found = CRunningServer{process.Release(), entry.th32ProcessID};
        return !found;
    });
    return found;
}
