// Processes of the Windows test programs under Wine. One slow test must not spoil the ones after
// it, so every test program
//  - starts its programs through StartTestProcess, which puts them into one job object that ends
//    them when the test program ends, however it ends (ctest kills a test that runs out of time);
//  - first ends, by name, whatever of ours an earlier test left running (EndLeftoverProcesses).
//    The Toolhelp snapshot lists the processes of this prefix's wineserver only, so the sweep
//    never reaches beyond the test prefix; all tests that use the prefix hold ctest's
//    "wineprefix" lock, so none of them runs beside the one that sweeps.
// Wine 8 honours JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE: a driver killed with kill -9 takes the Tollan
// and the stand-in it started with it; without the job both stay. The sweep catches whatever
// escapes the job (a program that another process started on our behalf, say).
// Programs started by the started ones (the stand-in launched by Tollan, winedbg behind a
// crashed program, rundll32 behind Uninstall.exe) are in the job too. The job has no other
// limit, so Tollan still leaves its server running when it closes: only the test program's end
// ends the job.
#pragma once
#include <windows.h>
#include <tlhelp32.h>

#include <string>
#include <vector>

// Lives until the test program ends; the last handle's close ends everything in it.
inline HANDLE TestJob()
{
    static HANDLE s_hJob = [] {
        HANDLE hJob = CreateJobObjectA(nullptr, nullptr);
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits = {};
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        if (hJob && !SetInformationJobObject(hJob, JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
            CloseHandle(hJob);
            hJob = nullptr;
        }
        return hJob;
    }();
    return s_hJob;
}

// CreateProcessA into the test job. Started suspended, so it is in the job before it can start
// anything itself. A folder of nullptr keeps the caller's working folder.
inline bool StartTestProcess(std::string commandLine, const char* folder, DWORD flags, PROCESS_INFORMATION& pi)
{
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, flags | CREATE_SUSPENDED, nullptr, folder,
                        &si, &pi))
        return false;
    if (HANDLE hJob = TestJob())
        AssignProcessToJobObject(hJob, pi.hProcess);
    ResumeThread(pi.hThread);
    return true;
}

// Ends every process of ours in the prefix except the caller; "<name> <pid>" of each one ended.
// explorer.exe counts only when it is not the one that holds the desktop (a folder window that
// Tollan opened is an explorer.exe of its own).
inline std::vector<std::string> EndLeftoverProcesses()
{
    static const char* const kOurs[] = {
        "Tollan.exe",       "DedicatedServer.exe", "Installer.exe",          "Uninstall.exe",
        "Updater.exe",      "winedbg.exe",         "rundll32.exe",           "notepad.exe",
        "explorer.exe",     "TollanDriver.exe",    "InstallerDriver.exe",    "ServerProtocolTest.exe",
        "RemoteConsoleSocketTest.exe"};
    DWORD desktopPid = 0;
    GetWindowThreadProcessId(GetDesktopWindow(), &desktopPid);
    std::vector<std::string> ended;
    HANDLE hSnapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (hSnapshot == INVALID_HANDLE_VALUE)
        return ended;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(hSnapshot, &entry); more; more = Process32Next(hSnapshot, &entry)) {
        if (entry.th32ProcessID == GetCurrentProcessId() || entry.th32ProcessID == desktopPid)
            continue;
        bool ours = false;
        for (const char* name : kOurs)
            ours = ours || lstrcmpiA(entry.szExeFile, name) == 0;
        if (!ours)
            continue;
        HANDLE hProcess = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, entry.th32ProcessID);
        if (!hProcess)
            continue;
        if (TerminateProcess(hProcess, 97) && WaitForSingleObject(hProcess, 5000) == WAIT_OBJECT_0)
            ended.push_back(std::string(entry.szExeFile) + " " + std::to_string(entry.th32ProcessID));
        CloseHandle(hProcess);
    }
    CloseHandle(hSnapshot);
    return ended;
}

// A child process a test started; the destructor stops it if it still runs.
class CChildProcess {
public:
    CChildProcess() = default;
    CChildProcess(const CChildProcess&) = delete;
    CChildProcess& operator=(const CChildProcess&) = delete;
    ~CChildProcess() { Kill(); }

    // In the test job, with the caller's working folder.
    bool Start(const std::string& commandLine, DWORD flags = 0)
    {
        if (!StartTestProcess(commandLine, nullptr, flags, m_pi))
            return false;
        CloseHandle(m_pi.hThread);
        m_pi.hThread = nullptr;
        return true;
    }

    DWORD Pid() const { return m_pi.dwProcessId; }

    // Exit code, or -1 when the process still runs after the wait.
    long WaitExit(DWORD ms)
    {
        if (!m_pi.hProcess || WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<long>(code);
    }

    void Kill()
    {
        if (!m_pi.hProcess) return;
        if (WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0) {
            TerminateProcess(m_pi.hProcess, 99);
            WaitForSingleObject(m_pi.hProcess, 5000);
        }
        CloseHandle(m_pi.hProcess);
        m_pi.hProcess = nullptr;
    }

protected:
    PROCESS_INFORMATION m_pi = {};
};
