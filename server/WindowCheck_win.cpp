#include "server/WindowCheck_win.h"

#include "platform/Handle_win.h"
#include "server/RunMessages_win.h"

#include <memory>
#include <new>
#include <vector>

namespace {

// Windows itself calls a program "not responding" after 5 s without its messages handled.
constexpr UINT kAnswerTimeoutMs = 5000;

struct CWindowCheck {
    HWND m_hNotify;
    RunId m_nRun;
    DWORD m_nPid;
    std::vector<HWND> m_windows;
};

BOOL CALLBACK CollectServerWindow(HWND window, LPARAM l)
{
    CWindowCheck& check = *reinterpret_cast<CWindowCheck*>(l);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != check.m_nPid)
        return TRUE;
    // A console window answers for the console host, which never hangs with the program; Windows
    // names the program as its owner all the same (GetWindowThreadProcessId), so its class tells.
    char className[32] = "";
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "ConsoleWindowClass") != 0 && lstrcmpA(className, "PseudoConsoleWindow") != 0)
        check.m_windows.push_back(window);
    return TRUE;
}

DWORD WINAPI CheckWindows(void* parameter)
{
    std::unique_ptr<CWindowCheck> owned(static_cast<CWindowCheck*>(parameter));
    CWindowCheck& check = *owned;
    EnumWindows(CollectServerWindow, reinterpret_cast<LPARAM>(&check));
    EWindowAnswer answer = check.m_windows.empty() ? EWindowAnswer::NoWindow : EWindowAnswer::Silent;
    for (HWND window : check.m_windows) {
        DWORD_PTR result = 0;
        // SMTO_ABORTIFHUNG returns at once for a thread the system already counts as hung.
        if (SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kAnswerTimeoutMs, &result)) {
            answer = EWindowAnswer::Answered;
            break;
        }
    }
    PostMessageA(check.m_hNotify, WM_APP_WINDOWS_CHECKED, check.m_nRun, static_cast<LPARAM>(answer));
    return 0;
}

}  // namespace

bool StartWindowCheck(HWND notify, RunId run, DWORD serverPid)
{
    std::unique_ptr<CWindowCheck> check(new (std::nothrow) CWindowCheck{notify, run, serverPid, {}});
    // Nobody waits for the thread: it ends by itself within the answer's time-out.
    const platform::CHandle thread(check ? CreateThread(nullptr, 0, CheckWindows, check.get(), 0, nullptr) : nullptr);
    if (!thread)
        return false;
    check.release();  // the thread's now
    return true;
}
