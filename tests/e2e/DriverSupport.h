// Helpers of the Wine end-to-end driver: it starts Tollan.exe in a prepared game folder and drives
// it only through documented control ids and standard window messages, then checks the log, the
// registry and the files. A failed check throws; the driver then ends whatever it started.
// Each scenario starts clean: the driver first ends whatever of ours an earlier one left running
// in the prefix (noted in its output), and everything it starts lives in a job object that ends
// with the driver, also when ctest kills it for taking too long (WinTestProcesses.h).
#pragma once
#include <windows.h>

#include "tests/e2e/WinTestFiles.h"
#include "tests/e2e/WinTestProcesses.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

struct CDriverFailure {
    std::string m_strWhat;
};

[[noreturn]] void Fail(const char* format, ...) __attribute__((format(printf, 1, 2)));
#define E2E_CHECK(cond, ...)      \
    do {                          \
        if (!(cond))              \
            ::e2e::Fail(__VA_ARGS__); \
    } while (0)
void Note(const char* format, ...) __attribute__((format(printf, 1, 2)));

// What the command line gave the driver.
struct CDriverContext {
    std::string m_strScenario;
    std::string m_strTollanExe;  // Windows path of the freshly built Tollan.exe
    std::string m_strWorkRoot;   // private folder of this scenario (emptied at start)
    std::string m_strDemoGame;   // the demo game folder, or empty for a minimal one
};
const CDriverContext& Context();

// Scenarios register themselves: E2E_SCENARIO(startup_stored_gamepath) { ... }
using ScenarioFn = void (*)();
struct CScenarioRegistrar {
    CScenarioRegistrar(const char* name, ScenarioFn fn);
};
#define E2E_SCENARIO(name)                                        \
    static void Scenario_##name();                                \
    static ::e2e::CScenarioRegistrar g_register_##name(#name, Scenario_##name); \
    static void Scenario_##name()

// Runs when the scenario ends, passed or failed (to put back what a scenario changed).
void AtScenarioEnd(std::function<void()> cleanup);

// ---- files and folders (Windows paths) ----
// The file helpers of every Windows test program are WinTestFiles.h's; these add the checks.
std::string Join(const std::string& folder, const std::string& name);
void CopyTreeOrFail(const std::string& from, const std::string& to);
void WriteTextFile(const std::string& path, const std::string& bytes);

// A game folder "<work root>\<name>" with Bin\DedicatedServer.exe (the demo game when there is
// one) and Tollan.exe in its DedicatedServerUtility folder, as Installer lays it out.
std::string PrepareGameFolder(const std::string& name = "Dravic Qel 2");
std::string UtilityFolder(const std::string& game);
std::string LogPathOf(const std::string& game);

// ---- registry ----
// Removes HKCU\Software\Tollan and the game's key, as if neither program had ever run.
void ResetRegistry();
// Writes the game's own key HKLM\Software\Morvane\DravicQel2 value Path (32-bit view).
void WriteGameKey(const std::string& pathValue);
// Writes Settings\GamePath; withZero=false stores it the way Installer does.
void WriteStoredGamePath(const std::string& path, bool withZero);
void WriteStoredPlacement(const std::string& bytes);
// Any value of HKCU\Software\Tollan\Settings, its bytes as given (a REG_SZ with its zero).
void WriteSetting(const char* name, DWORD type, const std::string& data);
// The desktop colour scheme name Tollan reads (HKCU ...\ThemeManager ColorName); empty removes it.
// The scheme found at the start is put back when the scenario ends.
void SetColourScheme(const std::string& name);
// Raw value of HKCU\Software\Tollan\Settings; false when missing.
bool ReadSetting(const char* name, DWORD& type, std::string& data);
std::uint32_t Field32(const std::string& data, size_t index);

// ---- the Tollan process ----
struct CTollanRun {
    PROCESS_INFORMATION m_pi{};
    LARGE_INTEGER m_startTicks{};
    std::string m_strGame;
    DWORD Pid() const { return m_pi.dwProcessId; }
};
// Starts Tollan.exe from <game>\DedicatedServerUtility with that folder as working directory.
CTollanRun StartTollan(const std::string& game);
// Starts any program with the given working folder, in the driver's job; it is ended with the
// others if it outlives the scenario.
CTollanRun StartProgram(const std::string& commandLine, const std::string& folder);
bool WaitForExit(const CTollanRun& run, DWORD timeoutMs);
DWORD ExitCodeOf(const CTollanRun& run);
bool IsRunning(const CTollanRun& run);
// Milliseconds since the process was created.
double ElapsedMs(const CTollanRun& run);
// Ends every process the driver started that still runs; true when there was none.
bool EndEverythingStarted();

// ---- the log ----
// The messages of Tollan.log, without their date prefix, each with its "\n" (CR LF read as "\n").
std::vector<std::string> LogMessages(const std::string& game);
bool LogHas(const std::string& game, const std::string& message);
// Waits until the log has the message; fails after the timeout.
void WaitForLogMessage(const std::string& game, const std::string& message, DWORD timeoutMs = 20000);
extern const char* const kStartedLine;
extern const char* const kShutDownLine;
extern const char* const kSocketsLine;

// ---- windows ----
HWND FindProcessWindow(DWORD pid, const char* className, const char* title);
// Waits for a top-level window of the process; fails after the timeout.
HWND WaitForWindow(const CTollanRun& run, const char* className, const char* title, DWORD timeoutMs = 20000);
HWND WaitForMainWindow(const CTollanRun& run);
extern const char* const kMainCaption;
std::string WindowText(HWND hwnd);
std::string ControlText(HWND dialog, int id);
std::string ClassOf(HWND hwnd);
// A message box of the process titled "Tollan": its text, then it is confirmed with OK.
std::string ConfirmTollanMessage(const CTollanRun& run, DWORD timeoutMs = 20000);
void ClickButton(HWND dialog, int id);
void PostKey(HWND target, UINT virtualKey);
// Types text as WM_CHAR messages, the way the field sees typing once keys are translated.
void PostChars(HWND target, const std::string& text);
// The edit field of the main window's command line (1057).
HWND CommandLineEdit(HWND main);
// 'Q' into the empty command line: the list opens and the field shows "q".
void TypeLetterOpeningList(HWND main);
// True when the keyboard focus of Tollan's window thread is on the window or one of its children.
bool FocusIsOn(const CTollanRun& run, HWND window);
void WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, const char* what);

// Closes Tollan through the title bar's close command and waits for the process to end.
void CloseAndWait(const CTollanRun& run, HWND main);

}  // namespace e2e
