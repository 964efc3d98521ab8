// The installation run: the steps the Installer carries out on its worker thread after
// "&Install", with their pauses and log lines. The run decides; the view (the wizard) shows each
// step and the system carries it out and reports its result.
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"

#include <cstddef>
#include <cstdint>
#include <string>

// What the wizard shows of the run; the wizard implements it (on its own thread, whatever thread
// the run calls from).
class CInstallView {
public:
    virtual void HideBackAndNext() = 0;
    virtual void SetHeader(const char* title, const char* subtitle) = 0;
    virtual void SetStatusLine(const std::string& text) = 0;
    virtual void SetDetailLine(const std::string& text) = 0;
    virtual void SetProgressRange(int entries) = 0;
    virtual void SetProgressPos(int done) = 0;
    // Run completed: Cancel, Back, header and progress page hidden, finished page and "Finish"
    // shown, the run-completed flag set.
    virtual void ShowEndState() = 0;
    // Stopped early: the progress page stays, Back and Next hidden, Cancel usable again.
    virtual void ShowStopped() = 0;

protected:
    ~CInstallView() = default;
};

// What the system does for the run: no window is involved.
class CInstallSystem {
public:
    virtual void Pause(unsigned ms) = 0;
    virtual bool IsUtilityRunning() = 0;
    // The payload resource; false when it is missing (or empty).
    virtual bool GetPayload(const void*& data, std::size_t& size) = 0;
    // A fresh folder of our own for the temporary archive; empty when none could be made.
    virtual std::string MakeTempFolder() = 0;
    virtual void RemoveTempFolder(const std::string& folder) = 0;

    enum class EShortcutResult { Skipped, Saved, Failed };
    // Makes one shortcut; `linkPath` gets the link file's full path when it came that far.
    virtual EShortcutResult MakeShortcut(const CShortcutSpec& spec, std::string& linkPath) = 0;
    // HKCU Software\Tollan\Settings; strings are stored without a terminating NUL.
    virtual bool WriteSettingsNumber(const char* name, std::uint32_t value) = 0;
    virtual bool WriteSettingsText(const char* name, const std::string& text) = 0;
    // HKLM ...\Uninstall\Tollan with DisplayName and UninstallString.
    virtual bool WriteUninstallEntry(const std::string& displayName, const std::string& command) = 0;

protected:
    ~CInstallSystem() = default;
};

// The version number Installer records for Tollan.
constexpr std::uint32_t kInstalledVersion = 5;
// The status line of a run that stopped early; without an open log the detail line then names the
// target folder.
extern const char* const kStoppedStatus;
extern const char* const kStoppedWithoutLogStatus;

// Runs every step in order; true when the run completed (end state shown).
bool RunInstallation(CInstallView& view, CInstallSystem& system, CInstallationLog& log,
                     const CInstallSettings& settings);
