#include "server/PickUp_win.h"

#include "server/PickUp.h"
#include "base/GamePaths.h"
#include "platform/Processes_win.h"


#include <cstring>

namespace {

// Vista and later; XP knows neither the right nor the call.
constexpr DWORD kQueryLimitedInformation = 0x1000;  // PROCESS_QUERY_LIMITED_INFORMATION
using QueryFullProcessImageNameFn = BOOL(WINAPI*)(HANDLE, DWORD, LPSTR, PDWORD);
using GetModuleFileNameExFn = DWORD(WINAPI*)(HANDLE, HMODULE, LPSTR, DWORD);

constexpr DWORD kRunRights = SYNCHRONIZE | PROCESS_TERMINATE;

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

// The image path of an opened process: QueryFullProcessImageNameA where the system has it,
// else psapi's GetModuleFileNameExA (which needs PROCESS_VM_READ as well).
std::string ImagePath(HANDLE process, bool limited)
{
    char buf[MAX_PATH * 2] = "";
    DWORD size = sizeof buf;
    if (limited) {
        auto query = reinterpret_cast<QueryFullProcessImageNameFn>(
            GetProcAddress(GetModuleHandleA("kernel32.dll"), "QueryFullProcessImageNameA"));
        return query && query(process, 0, buf, &size) ? std::string(buf, size) : std::string();
    }
    std::string path;
    const platform::CModule psapi(LoadLibraryA("psapi.dll"));
    auto get = psapi.Proc<GetModuleFileNameExFn>("GetModuleFileNameExA");
    if (get && (size = get(process, nullptr, buf, sizeof buf)) != 0)
        path.assign(buf, size);
    return path;
}

// The process with the rights of a run and enough to read its image path; nullptr when denied.
HANDLE OpenServer(DWORD pid, bool& limited)
{
    limited = true;
    if (HANDLE h = OpenProcess(kRunRights | kQueryLimitedInformation, FALSE, pid))
        return h;
    limited = false;
    return OpenProcess(kRunRights | PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
}

bool IsServerName(const char* exeFile)
{
    // Older systems give the snapshot's name with its folder.
    const char* slash = std::strrchr(exeFile, '\\');
    return lstrcmpiA(slash ? slash + 1 : exeFile, "DedicatedServer.exe") == 0;
}

}  // namespace

std::optional<CRunningServer> FindRunningServer(const std::string& gameFolder)
{
    const std::string expected = Upper(FullPath(ServerProgramPath(gameFolder)));
    std::optional<CRunningServer> found;
    platform::ForEachProcess([&](const PROCESSENTRY32& entry) {
        if (!IsServerName(entry.szExeFile) || entry.th32ProcessID == GetCurrentProcessId())
            return true;
        bool limited = false;
        platform::CHandle process(OpenServer(entry.th32ProcessID, limited));
        // A process that has ended may linger while some handle to it is open.
        if (process && WaitForSingleObject(process.Get(), 0) == WAIT_TIMEOUT &&
            IsSameWindowsPath(Upper(ImagePath(process.Get(), limited)), expected))
            found = CRunningServer{process.Release(), entry.th32ProcessID};
        return !found;
    });
    return found;
}
