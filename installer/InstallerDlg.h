// The Installer's wizard: a frame with five panels and a header band, walked with Next and
// Back; page 3 runs the installation on a worker thread while the frame keeps painting.
#pragma once
#include "installer/InstallLog.h"
#include "installer/InstallPlan.h"
#include "wingui/Controls.h"
#include "wingui/Dialog.h"

#include <atomic>

// A caption-less child panel. White panels paint themselves and their controls white; a title
// control may get the dialog font with another weight and character height.
class CWizardPanel : public wingui::CDialog {
public:
    CWizardPanel(bool white, int titleWeight, int titleHeight)
        : m_bWhite(white), m_nTitleWeight(titleWeight), m_nTitleHeight(titleHeight) {}
    ~CWizardPanel() override;

protected:
    bool OnInit() override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    // The control that gets the title font (0: none).
    virtual int TitleId() const { return 0; }

private:
    bool m_bWhite;
    int m_nTitleWeight;
    int m_nTitleHeight;
    HFONT m_hTitleFont = nullptr;
};

class CWelcomePage : public CWizardPanel {
public:
    CWelcomePage() : CWizardPanel(true, FW_BOLD, 14) {}

protected:
    int TitleId() const override;
};

class CDestinationPage : public CWizardPanel {
public:
    explicit CDestinationPage(CInstallSettings& settings) : CWizardPanel(false, 0, 0), m_settings(settings) {}
    // The folder browser; an existing folder the user confirms becomes the game folder.
    void Browse();

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    void ShowTarget();
    CInstallSettings& m_settings;
};

class CShortcutsPage : public CWizardPanel {
public:
    explicit CShortcutsPage(CInstallSettings& settings) : CWizardPanel(false, 0, 0), m_settings(settings) {}

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    CInstallSettings& m_settings;
};

class CProgressPage : public CWizardPanel {
public:
    CProgressPage() : CWizardPanel(false, 0, 0) {}
};

class CFinishedPage : public CWizardPanel {
public:
    explicit CFinishedPage(CInstallSettings& settings) : CWizardPanel(true, FW_SEMIBOLD, 12), m_settings(settings) {}

protected:
    int TitleId() const override;
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;

private:
    CInstallSettings& m_settings;
};

class CPageHeader : public CWizardPanel {
public:
    CPageHeader() : CWizardPanel(true, FW_SEMIBOLD, 11) {}

protected:
    int TitleId() const override;
};

// "Are you 'Sure' ...": ends with 6 (Yes) or 7 (No); Escape and closing count as No.
class CCancelDlg : public wingui::CDialog {
protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
};

class CInstallerDlg : public wingui::CDialog {
public:
    CInstallerDlg();

    CInstallSettings m_settings;

protected:
    bool OnInit() override;
    bool OnCommand(WORD code, WORD id, HWND control) override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    void OnDestroy() override;

private:
    friend class CWizardHost;
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
    void ShowEndState();

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
