#include "app/ServerWindowCheck.h"

#include "app/AppMessages.h"

#include <memory>
#include <new>
#include <vector>

namespace {

// Windows itself calls a program "not responding" after 5 s without its messages handled.
constexpr UINT kAnswerTimeoutMs = 5000;

struct CWindowCheck {
    HWND hNotify;
    RunId nRun;
    DWORD nPid;
    std::vector<HWND> windows;
};

BOOL CALLBACK CollectServerWindow(HWND window, LPARAM l)
{
    CWindowCheck& check = *reinterpret_cast<CWindowCheck*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != check.nPid)
        return TRUE;
    // A console window answers for the console host, which never hangs with the program; Windows
    // names the program as its owner all the same (GetWindowThreadProcessId), so its class tells.
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "ConsoleWindowClass") != 0 && lstrcmpA(className, "PseudoConsoleWindow") != 0)
        check.windows.push_back(window);
    return TRUE;
}

DWORD WINAPI CheckWindows(void* parameter)
{
    std::unique_ptr<CWindowCheck> owned(static_cast<CWindowCheck*>(parameter));
    CWindowCheck& check = *owned;
    EnumWindows(CollectServerWindow, reinterpret_cast<LPARAM>(&check));
    EWindowAnswer answer = check.windows.empty() ? EWindowAnswer::NoWindow : EWindowAnswer::Silent;
    for (HWND window : check.windows) {
        DWORD_PTR result = 0;
        // SMTO_ABORTIFHUNG returns at once for a thread the system already counts as hung.
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result)) {
            answer = EWindowAnswer::Answered;
            break;
        }
    }
    PostMessageA(check.hNotify, WM_APP_WINDOWS_CHECKED, check.nRun, static_cast<LPARAM>(answer));
    return 0;
}

}  // namespace

bool StartWindowCheck(HWND notify, RunId run, DWORD serverPid)
{
    CWindowCheck* check = new (std::nothrow) CWindowCheck{notify, run, serverPid, {}};
    // Nobody waits for the thread: it ends by itself within the answer's time-out.
    HANDLE thread = check ? CreateThread(nullptr, 0, CheckWindows, check, 0, nullptr) : nullptr;
    if (!thread) {
        delete check;
        return false;
    }
    CloseHandle(thread);
    return true;
}
