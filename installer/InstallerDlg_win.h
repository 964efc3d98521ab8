// The Installer's wizard frame: five panels and a header band, walked with Next and Back. The
// wizard model decides what each button does; the frame carries out its actions, and page 3
// runs the installation on a worker thread while the frame keeps painting (CInstallRunner); the
// frame is the run's view.
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "installer/InstallRun.h"
#include "installer/WizardModel.h"
#include "installer/WizardPanels_win.h"
#include "wingui/Controls_win.h"
#include "wingui/Dialog_win.h"

class CInstallerDlg : public wingui::CDialog, private CInstallView {
public:
    CInstallerDlg();

    CInstallSettings m_settings;

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    void OnDestroy() override;

private:
    // The run's view, on the wizard's thread.
    void HideBackAndNext() override;
    void SetHeader(const char* title, const char* subtitle) override;
    void SetStatusLine(const std::string& text) override;
    void SetDetailLine(const std::string& text) override;
    void SetProgressRange(int entries) override;
    void SetProgressPos(int done) override;
    void ShowEndState() override;
    void ShowStopped() override;

    wingui::CDialog& Panel(EWizardPage page);
    wingui::CWindow PartWindow(EWizardPart part);
    EGameFolder JudgeFolder() const;
    // Carries out the actions in order; an answer's actions follow the action that asked.
    void Carry(CWizardActions actions);
    CWizardActions CarryOut(const CWizardAction& action);
    void OpenLog();
    CWizardActions RunInstallation();
    void LaunchUtility();
    void OpenReadMe();

    CWizardModel m_model;
    CWelcomePage m_welcome;
    CDestinationPage m_destination;
    CShortcutsPage m_shortcuts;
    CProgressPage m_progress;
    CFinishedPage m_finished;
    CPageHeader m_header;
    wingui::CButton m_btnNext, m_btnBack, m_btnCancel;
    CInstallationLog m_log;
};
