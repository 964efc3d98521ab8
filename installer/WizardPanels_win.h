// The wizard's panels: caption-less child dialogs from templates of their own, placed and shown
// by the frame. The check-box pages leave their boxes as the truth: the frame reads them when it
// acts, so what a box shows is what the installation does.
#pragma once
#include "installer/InstallPlan.h"
#include "wingui/Dialog_win.h"
#include "wingui/Owners_win.h"

// The caption of the wizard and of the boxes it shows.
extern const char* const kInstallerCaption;

// White panels paint themselves and their controls white; a title control may get the dialog
// font with another weight and character height.
class CWizardPanel : public wingui::CDialog {
public:
    CWizardPanel(bool white, int titleWeight, int titleHeight)
        : m_bWhite(white), m_nTitleWeight(titleWeight), m_nTitleHeight(titleHeight) {}

protected:
    bool OnInit() override;
    bool OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result) override;
    // The control that gets the title font (0: none).
    virtual int TitleId() const { return 0; }

private:
    bool m_bWhite;
    int m_nTitleWeight;
    int m_nTitleHeight;
    wingui::CFont m_titleFont;
};

class CWelcomePage : public CWizardPanel {
public:
    CWelcomePage() : CWizardPanel(true, FW_BOLD, 14) {}

protected:
    int TitleId() const override;
};

// Shows the target folder; its Browse button goes to the frame, which decides when the browser
// opens.
class CDestinationPage : public CWizardPanel {
public:
    explicit CDestinationPage(CInstallSettings& settings) : CWizardPanel(false, 0, 0), m_settings(settings) {}
    // The folder browser; an existing folder the user confirms becomes the game folder, unless
    // the installation does not fit below it (then a warning says so and nothing changes).
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
    explicit CShortcutsPage(const CInstallSettings& settings) : CWizardPanel(false, 0, 0), m_settings(settings) {}
    // The three shortcut flags as the boxes show them.
    void ReadChoices(CInstallSettings& settings) const;

protected:
    bool OnInit() override;

private:
    const CInstallSettings& m_settings;
};

class CProgressPage : public CWizardPanel {
public:
    CProgressPage() : CWizardPanel(false, 0, 0) {}
};

class CFinishedPage : public CWizardPanel {
public:
    explicit CFinishedPage(const CInstallSettings& settings) : CWizardPanel(true, FW_SEMIBOLD, 12), m_settings(settings) {}
    // The launch and read-me flags as the boxes show them.
    void ReadChoices(CInstallSettings& settings) const;

protected:
    int TitleId() const override;
    bool OnInit() override;

private:
    const CInstallSettings& m_settings;
};

class CPageHeader : public CWizardPanel {
public:
    CPageHeader() : CWizardPanel(true, FW_SEMIBOLD, 11) {}

protected:
    int TitleId() const override;
};
