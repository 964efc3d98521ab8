// The Installer's wizard frame: five panels and a header band, walked with Next and Back; page 3
// runs the installation on a worker thread while the frame keeps painting (CWizardHost).
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "installer/WizardPanels.h"
#include "wingui/Controls.h"
#include "wingui/Dialog.h"

#include <atomic>

class CInstallerDlg : public wingui::CDialog {
public:
    CInstallerDlg();

    CInstallSettings m_settings;

    // For the run's host, on the wizard's thread.
    void OnRunHidesButtons();
    void OnRunHeader(const char* title, const char* subtitle);
    void OnRunCompleted();
    void OnRunStopped();
    HWND ProgressPanel() const { return m_progress.GetHWND(); }

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    void OnDestroy() override;

private:
    void OnNext();
    void OnBack();
    void OnCancel();
    wingui::CDialog& Page(int index);
    void SetHeader(const char* title, const char* subtitle);
    bool GameFolderUsable() const;
    void OpenLog();
    void RunInstallation();
    void LaunchUtility();
    void OpenReadMe();

    int m_nPage = 0;
    bool m_bRunning = false;
    std::atomic<bool> m_bRunCompleted{false};
    CWelcomePage m_welcome;
    CDestinationPage m_destination;
    CShortcutsPage m_shortcuts;
    CProgressPage m_progress;
    CFinishedPage m_finished;
    CPageHeader m_header;
    bool m_bPanelsCreated = false;
    wingui::CButton m_btnNext, m_btnBack, m_btnCancel;
    CInstallationLog m_log;
};
