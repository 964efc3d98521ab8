#include "installer/WizardModel.h"

#include "installer/InstallPlan.h"

namespace {
const char* const kDestinationTitle = "Destination Folder";
const char* const kDestinationSubtitle = "Where should the DQ2 Dedicated Server Utility be installed?";
const int kResultFinished = 1;   // IDOK
const int kResultCancelled = 2;  // IDCANCEL

int PageNumber(EWizardPage page) { return static_cast<int>(page); }
}  // namespace

EGameFolder JudgeGameFolder(const std::string& gameFolder, bool isDirectory)
{
    if (gameFolder.empty())
        return EGameFolder::None;
    if (!GameFolderFits(gameFolder))
        return EGameFolder::TooLong;
    return isDirectory ? EGameFolder::Usable : EGameFolder::Missing;
}

std::string TooLongFolderText(const std::string& gameFolder)
{
    return "The path of this game folder is too long to install the DQ2 Dedicated Server Utility below it:\n\n" +
           gameFolder + "\n\nPlease choose a game folder whose path has at most " +
           std::to_string(kMaxGameFolderChars) + " characters.";
}

std::string Describe(const CWizardAction& a)
{
    static const char* const kParts[] = {"page", "header", "back", "next", "cancel"};
    switch (a.m_eKind) {
    case EWizardAction::Show:
        return std::string(a.m_bOn ? "show " : "hide ") + kParts[static_cast<int>(a.m_ePart)] +
               (a.m_ePart == EWizardPart::Page ? " " + std::to_string(PageNumber(a.m_ePage)) : "");
    case EWizardAction::EnableCancel: return a.m_bOn ? "enable cancel" : "disable cancel";
    case EWizardAction::SetNextText: return "next " + a.m_strText;
    case EWizardAction::SetHeader: return "header " + a.m_strText + "|" + a.m_strSubtitle;
    case EWizardAction::FocusNext: return "focus next";
    case EWizardAction::RepaintFrameLine: return "repaint line";
    case EWizardAction::Browse: return "browse";
    case EWizardAction::Warn: return "warn " + a.m_strText;
    case EWizardAction::AskCancel: return "ask cancel";
    case EWizardAction::OpenLog: return "open log";
    case EWizardAction::StartRun: return "start run";
    case EWizardAction::LaunchUtility: return "launch utility";
    case EWizardAction::OpenReadMe: return "open read-me";
    case EWizardAction::Close: return "close " + std::to_string(a.m_nResult);
    }
    return "?";
}

// ---- changes of the view ----

void CWizardModel::Show(EWizardPart part, bool on, CWizardActions& out)
{
    CWizardAction a(EWizardAction::Show);
    a.m_ePart = part;
    a.m_bOn = on;
    out.push_back(a);
    switch (part) {
    case EWizardPart::Header: m_view.m_bHeader = on; break;
    case EWizardPart::Back: m_view.m_bBack = on; break;
    case EWizardPart::Next: m_view.m_bNext = on; break;
    case EWizardPart::Cancel: m_view.m_bCancel = on; break;
    case EWizardPart::Page: break;
    }
}

void CWizardModel::ShowPage(EWizardPage page, bool on, CWizardActions& out)
{
    CWizardAction a(EWizardAction::Show);
    a.m_ePage = page;
    a.m_bOn = on;
    out.push_back(a);
    if (on)
        m_view.m_nShownPage = PageNumber(page);
    else if (m_view.m_nShownPage == PageNumber(page))
        m_view.m_nShownPage = -1;
}

void CWizardModel::SetNextText(const std::string& text, CWizardActions& out)
{
    CWizardAction a(EWizardAction::SetNextText);
    a.m_strText = text;
    out.push_back(a);
    m_view.m_strNext = text;
}

void CWizardModel::SetHeader(const std::string& title, const std::string& subtitle, CWizardActions& out)
{
    CWizardAction a(EWizardAction::SetHeader);
    a.m_strText = title;
    a.m_strSubtitle = subtitle;
    out.push_back(a);
    m_view.m_strTitle = title;
    m_view.m_strSubtitle = subtitle;
}

void CWizardModel::EnableCancel(bool on, CWizardActions& out)
{
    CWizardAction a(EWizardAction::EnableCancel);
    a.m_bOn = on;
    out.push_back(a);
    m_view.m_bCancelEnabled = on;
}

void CWizardModel::Ask(EAsking what, EWizardAction kind, CWizardActions& out)
{
    m_eAsking = what;
    out.emplace_back(kind);
}

void CWizardModel::Close(int result, CWizardActions& out)
{
    CWizardAction a(EWizardAction::Close);
    a.m_nResult = result;
    out.push_back(a);
    m_bClosed = true;
}

// ---- events ----

CWizardActions CWizardModel::OnOpened(bool bPanelsCreated)
{
    CWizardActions out;
    m_bPanelsCreated = bPanelsCreated;
    if (bPanelsCreated)
        ShowPage(EWizardPage::Welcome, true, out);
    Show(EWizardPart::Back, false, out);
    return out;
}

CWizardActions CWizardModel::OnNext(const CWizardFacts& facts)
{
    CWizardActions out;
    // While the run works there is nothing to go on to; its last step shows Finish, and a click
    // on that counts even before the worker has quite ended.
    if (!Idle() || !m_bPanelsCreated || (m_bRunning && !m_bRunCompleted))
        return out;
    // A run that stopped, or never started, hides Next but leaves it the default button: Enter
    // must not reach the finished page of an installation that did not happen.
    if (m_ePage == EWizardPage::Progress && !m_bRunCompleted)
        return out;
    // "&Install" needs a game folder that exists and fits: the run would otherwise unpack below
    // the drive's root, or fail half-way on paths too long.
    if (m_ePage == EWizardPage::Tasks && facts.m_eFolder != EGameFolder::Usable) {
        if (facts.m_eFolder == EGameFolder::TooLong) {
            CWizardAction warn(EWizardAction::Warn);
            warn.m_strText = TooLongFolderText(facts.m_strGameFolder);
            out.push_back(warn);
        }
        Ask(EAsking::BrowseForInstall, EWizardAction::Browse, out);
        return out;
    }
    return Advance(facts);
}

CWizardActions CWizardModel::Advance(const CWizardFacts& facts)
{
    CWizardActions out;
    if (m_ePage != EWizardPage::Finished) {
        ShowPage(m_ePage, false, out);
        m_ePage = static_cast<EWizardPage>(PageNumber(m_ePage) + 1);
        ShowPage(m_ePage, true, out);
    }
    switch (m_ePage) {
    case EWizardPage::Welcome:
        break;
    case EWizardPage::Destination:
        Show(EWizardPart::Back, true, out);
        Show(EWizardPart::Header, true, out);
        SetNextText("&Next >", out);
        // The header's texts follow the browser's answer.
        if (facts.m_eFolder == EGameFolder::None)
            Ask(EAsking::BrowseOnEntry, EWizardAction::Browse, out);
        else
            SetHeader(kDestinationTitle, kDestinationSubtitle, out);
        break;
    case EWizardPage::Tasks:
        SetNextText("&Install", out);
        SetHeader("Select Additional Tasks", "Which additional tasks should be performed during installation?", out);
        break;
    case EWizardPage::Progress:
        out.emplace_back(EWizardAction::OpenLog);
        // One run only: a second "&Install" while the wait dispatches messages would reach Finish
        // and start Tollan before it is unpacked. A cancel could not stop the run, so none is offered.
        Show(EWizardPart::Next, false, out);
        Show(EWizardPart::Back, false, out);
        EnableCancel(false, out);
        out.emplace_back(EWizardAction::StartRun);
        break;
    case EWizardPage::Finished:
        SetNextText("&Finish", out);
        Show(EWizardPart::Cancel, false, out);
        Show(EWizardPart::Back, false, out);
        Show(EWizardPart::Header, false, out);
        if (facts.m_bLaunchUtility)
            out.emplace_back(EWizardAction::LaunchUtility);
        if (facts.m_bViewReadMe)
            out.emplace_back(EWizardAction::OpenReadMe);
        Close(kResultFinished, out);
        break;
    }
    return out;
}

CWizardActions CWizardModel::OnBack()
{
    CWizardActions out;
    if (!Idle() || m_bRunning || m_ePage == EWizardPage::Welcome || PageNumber(m_ePage) > PageNumber(EWizardPage::Tasks))
        return out;
    ShowPage(m_ePage, false, out);
    m_ePage = static_cast<EWizardPage>(PageNumber(m_ePage) - 1);
    ShowPage(m_ePage, true, out);
    if (m_ePage == EWizardPage::Welcome) {
        Show(EWizardPart::Back, false, out);
        Show(EWizardPart::Header, false, out);
    } else {
        Show(EWizardPart::Back, true, out);
        SetNextText("&Next >", out);
        if (m_ePage == EWizardPage::Destination)
            SetHeader(kDestinationTitle, kDestinationSubtitle, out);
    }
    return out;
}

CWizardActions CWizardModel::OnCancel()
{
    CWizardActions out;
    if (!Idle() || (m_bRunning && !m_bRunCompleted))
        return out;
    if (m_bRunCompleted)
        Close(kResultCancelled, out);
    else
        Ask(EAsking::CancelQuestion, EWizardAction::AskCancel, out);
    return out;
}

CWizardActions CWizardModel::OnBrowsePressed()
{
    CWizardActions out;
    if (Idle())
        Ask(EAsking::BrowseByButton, EWizardAction::Browse, out);
    return out;
}

CWizardActions CWizardModel::OnBrowsed(EGameFolder folder)
{
    CWizardActions out;
    const EAsking asked = m_eAsking;
    if (asked != EAsking::BrowseOnEntry && asked != EAsking::BrowseForInstall && asked != EAsking::BrowseByButton)
        return out;
    m_eAsking = EAsking::Nothing;
    if (asked == EAsking::BrowseOnEntry)
        SetHeader(kDestinationTitle, kDestinationSubtitle, out);
    else if (asked == EAsking::BrowseForInstall && folder == EGameFolder::Usable) {
        CWizardFacts facts;
        facts.m_eFolder = folder;
        return Advance(facts);
    }
    return out;
}

CWizardActions CWizardModel::OnCancelAnswered(bool bYes)
{
    CWizardActions out;
    if (m_eAsking != EAsking::CancelQuestion)
        return out;
    m_eAsking = EAsking::Nothing;
    if (bYes)
        Close(kResultCancelled, out);
    return out;
}

CWizardActions CWizardModel::OnRunStarted(bool bStarted)
{
    CWizardActions out;
    if (bStarted)
        m_bRunning = true;
    else
        EnableCancel(true, out);
    return out;
}

CWizardActions CWizardModel::OnRunEnded()
{
    m_bRunning = false;
    return {};
}

CWizardActions CWizardModel::OnRunHidesButtons()
{
    CWizardActions out;
    Show(EWizardPart::Back, false, out);
    Show(EWizardPart::Next, false, out);
    return out;
}

CWizardActions CWizardModel::OnRunHeader(const std::string& title, const std::string& subtitle)
{
    CWizardActions out;
    SetHeader(title, subtitle, out);
    return out;
}

CWizardActions CWizardModel::OnRunCompleted()
{
    CWizardActions out;
    Show(EWizardPart::Cancel, false, out);
    Show(EWizardPart::Back, false, out);
    Show(EWizardPart::Header, false, out);
    ShowPage(EWizardPage::Progress, false, out);
    ShowPage(EWizardPage::Finished, true, out);
    SetNextText("Finish", out);
    Show(EWizardPart::Next, true, out);
    out.emplace_back(EWizardAction::FocusNext);
    out.emplace_back(EWizardAction::RepaintFrameLine);
    // The current page stays the progress page: Finish goes through Next, to the finished page.
    m_bRunCompleted = true;
    return out;
}

CWizardActions CWizardModel::OnRunStopped()
{
    CWizardActions out;
    EnableCancel(true, out);
    return out;
}
