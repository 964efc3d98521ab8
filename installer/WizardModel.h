// The Installer wizard's navigation without windows: which page shows, what Next, Back and
// Cancel read and whether they show, the header's texts, when the folder browser opens and when
// the cancel question is asked. The frame (CInstallerDlg) hands in what the user did and carries
// out the returned actions in their order. An action that waits for an answer (Browse,
// AskCancel, StartRun) ends its list; the answer's event brings what follows.
#pragma once
#include <string>
#include <vector>

// The pages in the order Next walks them; the panels are numbered the same way.
enum class EWizardPage { Welcome, Destination, Tasks, Progress, Finished };

// The game folder as the destination page holds it.
enum class EGameFolder {
    None,     // empty: the user has not chosen one
    Missing,  // not an existing folder
    TooLong,  // longer than the installation fits below (GameFolderFits)
    Usable,
};
EGameFolder JudgeGameFolder(const std::string& gameFolder, bool isDirectory);

// The warning for a game folder the installation does not fit below.
std::string TooLongFolderText(const std::string& gameFolder);

// What Next needs to know of the pages at the moment it is pressed.
struct CWizardFacts {
    EGameFolder m_eFolder = EGameFolder::None;
    std::string m_strGameFolder;
    bool m_bLaunchUtility = false;  // as the finished page's boxes show them
    bool m_bViewReadMe = false;
};

// The frame's parts that show or hide.
enum class EWizardPart { Page, Header, Back, Next, Cancel };

enum class EWizardAction {
    Show,              // m_ePart (m_ePage), m_bOn
    EnableCancel,      // m_bOn
    SetNextText,       // m_strText
    SetHeader,         // m_strText: the title, m_strSubtitle
    FocusNext,
    RepaintFrameLine,  // the etched line above the buttons, after the panels changed over it
    Browse,            // the folder browser; report OnBrowsed
    Warn,              // m_strText: a warning box owned by the frame
    AskCancel,         // the cancel confirmation; report OnCancelAnswered
    OpenLog,           // Installation.log in the target folder, before the run
    StartRun,          // the installation run on its worker; report OnRunStarted, then OnRunEnded
    LaunchUtility,
    OpenReadMe,
    Close,             // m_nResult: end the wizard (1 finished, 2 cancelled)
};

struct CWizardAction {
    explicit CWizardAction(EWizardAction k) : m_eKind(k) {}
    EWizardAction m_eKind;
    EWizardPart m_ePart = EWizardPart::Page;
    EWizardPage m_ePage = EWizardPage::Welcome;
    bool m_bOn = false;
    std::string m_strText;
    std::string m_strSubtitle;
    int m_nResult = 0;
};
using CWizardActions = std::vector<CWizardAction>;

// One line per action, for tests: "show page 1", "hide back", "next &Install", "browse", ...
std::string Describe(const CWizardAction& action);

// What the frame shows once it has carried out every action so far.
struct CWizardView {
    int m_nShownPage = -1;  // the visible panel, -1 for none
    bool m_bHeader = false;
    bool m_bBack = true;
    bool m_bNext = true;
    bool m_bCancel = true;
    bool m_bCancelEnabled = true;
    std::string m_strNext = "&Next >";
    std::string m_strTitle;
    std::string m_strSubtitle;
};

class CWizardModel {
public:
    // The frame has made its panels and header band (all of them, or not).
    CWizardActions OnOpened(bool bPanelsCreated);

    // The user.
    CWizardActions OnNext(const CWizardFacts& facts);
    CWizardActions OnBack();
    CWizardActions OnCancel();
    CWizardActions OnBrowsePressed();

    // Answers to the actions that wait for one.
    CWizardActions OnBrowsed(EGameFolder folder);
    CWizardActions OnCancelAnswered(bool bYes);
    CWizardActions OnRunStarted(bool bStarted);
    CWizardActions OnRunEnded();

    // The installation run's own requests, carried to the wizard's thread.
    CWizardActions OnRunHidesButtons();
    CWizardActions OnRunHeader(const std::string& title, const std::string& subtitle);
    CWizardActions OnRunCompleted();
    CWizardActions OnRunStopped();

    EWizardPage Page() const { return m_ePage; }
    bool RunCompleted() const { return m_bRunCompleted; }
    const CWizardView& View() const { return m_view; }

private:
    // What the wizard waits for; while it waits, the frame's buttons do nothing, so that a click
    // that reaches the frame under the modal box cannot walk the pages beneath it.
    enum class EAsking { Nothing, BrowseOnEntry, BrowseForInstall, BrowseByButton, CancelQuestion };

    bool Idle() const { return m_eAsking == EAsking::Nothing && !m_bClosed; }
    CWizardActions Advance(const CWizardFacts& facts);
    void Show(EWizardPart part, bool on, CWizardActions& out);
    void ShowPage(EWizardPage page, bool on, CWizardActions& out);
    void SetNextText(const std::string& text, CWizardActions& out);
    void SetHeader(const std::string& title, const std::string& subtitle, CWizardActions& out);
    void EnableCancel(bool on, CWizardActions& out);
    void Ask(EAsking what, EWizardAction kind, CWizardActions& out);
    void Close(int result, CWizardActions& out);

    EWizardPage m_ePage = EWizardPage::Welcome;
    bool m_bPanelsCreated = false;
    bool m_bRunning = false;
    bool m_bRunCompleted = false;
    bool m_bClosed = false;
    EAsking m_eAsking = EAsking::Nothing;
    CWizardView m_view;
};
