// The installation run's host: the run works on a worker thread, and every change it asks of the
// wizard's windows is sent to the wizard's thread and carried out there. The system calls the run
// needs (payload, temporary folder, shortcuts, registry) are made on the worker.
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"

#include <windows.h>

class CInstallerDlg;

class CWizardHost : public CInstallHost {
public:
    explicit CWizardHost(CInstallerDlg& frame) : m_frame(frame) {}
    ~CWizardHost() override;

    // Starts the run on its worker; false when the thread could not be made.
    bool Start(CInstallationLog& log, const CInstallSettings& settings);
    // Waits for the worker's end while the wizard paints and answers; the worker's window
    // changes arrive here as sent messages.
    void WaitForEnd();

    // The frame hands its WM_APP_RUN_ON_UI messages here.
    static void CarryRequest(LPARAM l);

    void HideBackAndNext() override;
    void SetHeader(const char* title, const char* subtitle) override;
    void SetStatusLine(const std::string& text) override;
    void SetDetailLine(const std::string& text) override;
    void SetProgressRange(int entries) override;
    void SetProgressPos(int done) override;
    void ShowEndState() override;
    void ShowStopped() override;
    void Pause(unsigned ms) override;

    bool IsUtilityRunning() override;
    bool GetPayload(const void*& data, std::size_t& size) override;
    std::string MakeTempFolder() override;
    void RemoveTempFolder(const std::string& folder) override;
    EShortcutResult MakeShortcut(const CShortcutSpec& shortcut, std::string& linkPath) override;
    bool WriteSettingsNumber(const char* name, std::uint32_t value) override;
    bool WriteSettingsText(const char* name, const std::string& text) override;
    bool WriteUninstallEntry(const std::string& displayName, const std::string& command) override;

private:
    struct CRunContext {
        CInstallHost* host;
        CInstallationLog* log;
        const CInstallSettings* settings;
    };
    static DWORD WINAPI Worker(LPVOID param);
    template <class F> void OnUi(F fn);
    void SetProgressText(int id, const std::string& text);

    CInstallerDlg& m_frame;
    CRunContext m_context{};
    HANDLE m_hThread = nullptr;
};

// The worker asks the wizard's thread to carry out a window operation (a std::function in lParam).
constexpr UINT WM_APP_RUN_ON_UI = WM_APP + 1;
