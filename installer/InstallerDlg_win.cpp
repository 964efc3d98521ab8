#include "installer/InstallerDlg_win.h"

#include <commctrl.h>

#include "installer/CancelDlg_win.h"
#include "installer/InstallRunner_win.h"
#include "installer/InstallSystem_win.h"
#include "installer/resource.h"
#include "platform/Platform.h"

#include "platform/Shell_win.h"

CInstallerDlg::CInstallerDlg() : m_destination(m_settings), m_shortcuts(m_settings), m_finished(m_settings) {}

wingui::CDialog& CInstallerDlg::Panel(EWizardPage page)
{
    wingui::CDialog* panels[] = {&m_welcome, &m_destination, &m_shortcuts, &m_progress, &m_finished};
    return *panels[static_cast<int>(page)];
}

wingui::CWindow CInstallerDlg::PartWindow(EWizardPart part)
{
    switch (part) {
    case EWizardPart::Header: return wingui::CWindow(m_header.GetHWND());
    case EWizardPart::Back: return m_btnBack;
    case EWizardPart::Next: return m_btnNext;
    case EWizardPart::Cancel: return m_btnCancel;
    case EWizardPart::Page: break;
    }
    return wingui::CWindow();
}

bool CInstallerDlg::OnInit()
{
    HINSTANCE instance = Instance();
    // Both icons shared (LoadIcon's always is): the system keeps them, nothing is left to destroy.
    SendMsg(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))));
    SendMsg(WM_SETICON, ICON_SMALL,
            reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, 16, 16, LR_SHARED)));
    m_btnNext.Attach(GetItem(IDC_NEXT));
    m_btnBack.Attach(GetItem(IDC_BACK));
    m_btnCancel.Attach(GetItem(IDCANCEL));

    const int templates[] = {IDD_WELCOME_PAGE, IDD_DESTINATION_PAGE, IDD_SHORTCUTS_PAGE, IDD_PROGRESS_PAGE,
                             IDD_FINISHED_PAGE};
    bool created = true;
    for (int i = 0; i < 5; ++i)
        created = Panel(static_cast<EWizardPage>(i)).CreateChild(instance, templates[i], m_hWnd) && created;
    created = m_header.CreateChild(instance, IDD_PAGE_HEADER, m_hWnd) && created;
    if (created) {
        RECT client = GetClientRectangle();
        const int W = client.right, H = client.bottom;
        m_welcome.Move(0, 0, W, H - 46);
        m_finished.Move(0, 0, W, H - 46);
        for (wingui::CDialog* page : {static_cast<wingui::CDialog*>(&m_destination),
                                      static_cast<wingui::CDialog*>(&m_shortcuts),
                                      static_cast<wingui::CDialog*>(&m_progress)})
            page->Move(0, 67, W, H - 110);
        m_header.Move(0, 0, W, 67);
    }
    Carry(m_model.OnOpened(created));
    return true;
}

EGameFolder CInstallerDlg::JudgeFolder() const
{
    const std::string& folder = m_settings.m_strGameFolder;
    return JudgeGameFolder(folder, !folder.empty() && platform::IsDirectory(folder));
}

bool CInstallerDlg::OnCommand(WORD code, WORD id, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT: {
        CWizardFacts facts;
        facts.m_eFolder = JudgeFolder();
        facts.m_strGameFolder = m_settings.m_strGameFolder;
        // The run reads only the shortcut flags and the folder, so the finishing flags may be
        // read here at any time.
        m_finished.ReadChoices(m_settings);
        facts.m_bLaunchUtility = m_settings.m_bLaunchUtility;
        facts.m_bViewReadMe = m_settings.m_bViewReadMe;
        Carry(m_model.OnNext(facts));
        return true;
    }
    case IDC_BACK: Carry(m_model.OnBack()); return true;
    case IDCANCEL: Carry(m_model.OnCancel()); return true;
    case IDC_BROWSE: Carry(m_model.OnBrowsePressed()); return true;  // from the destination page
    }
    return false;
}

bool CInstallerDlg::OnMessage(UINT msg, WPARAM, LPARAM l, INT_PTR& result)
{
    if (msg == WM_APP_RUN_ON_UI) {
        CInstallRunner::CarryRequest(l);
        result = TRUE;
        return true;
    }
    return false;
}

void CInstallerDlg::Carry(CWizardActions actions)
{
    for (std::size_t i = 0; i < actions.size(); ++i) {
        const CWizardAction action = actions[i];
        CWizardActions answer = CarryOut(action);
        actions.insert(actions.end(), answer.begin(), answer.end());
    }
}

CWizardActions CInstallerDlg::CarryOut(const CWizardAction& a)
{
    switch (a.m_eKind) {
    case EWizardAction::Show:
        if (a.m_ePart == EWizardPart::Page)
            Panel(a.m_ePage).Show(a.m_bOn ? SW_SHOW : SW_HIDE);
        else
            PartWindow(a.m_ePart).Show(a.m_bOn ? SW_SHOW : SW_HIDE);
        break;
    case EWizardAction::EnableCancel: m_btnCancel.Enable(a.m_bOn); break;
    case EWizardAction::SetNextText: m_btnNext.SetText(a.m_strText); break;
    case EWizardAction::SetHeader:
        m_header.SetItemText(IDC_HEADER_TITLE, a.m_strText);
        m_header.SetItemText(IDC_HEADER_SUBTITLE, a.m_strSubtitle);
        break;
    case EWizardAction::FocusNext: m_btnNext.SetFocus(); break;
    case EWizardAction::RepaintFrameLine: wingui::CWindow(GetItem(IDC_FRAME_LINE)).Invalidate(); break;
    case EWizardAction::Browse:
        m_destination.Browse();
        return m_model.OnBrowsed(JudgeFolder());
    case EWizardAction::Warn: wingui::ShowWarning(m_hWnd, kInstallerCaption, a.m_strText); break;
    case EWizardAction::AskCancel: {
        CCancelDlg confirm;
        return m_model.OnCancelAnswered(confirm.DoModal(Instance(), IDD_CANCEL_DIALOG, m_hWnd) == IDYES);
    }
    case EWizardAction::OpenLog: OpenLog(); break;
    case EWizardAction::StartRun: return RunInstallation();
    case EWizardAction::LaunchUtility: LaunchUtility(); break;
    case EWizardAction::OpenReadMe: OpenReadMe(); break;
    case EWizardAction::Close: End(a.m_nResult); break;
    }
    return {};
}

void CInstallerDlg::OpenLog()
{
    const std::string target = InstallTargetFolder(m_settings.m_strGameFolder);
    if (platform::IsDirectory(m_settings.m_strGameFolder))
        CreateDirectoryA(target.c_str(), nullptr);
    m_log.Open(target + "\\Installation.log");
}

CWizardActions CInstallerDlg::RunInstallation()
{
    // The worker reads the shortcut flags: they are taken from the boxes before it starts.
    m_shortcuts.ReadChoices(m_settings);
    CWindowsInstallSystem system;
    CInstallRunner runner(m_hWnd, *this, system);
    const bool started = runner.Start(m_log, m_settings);
    Carry(m_model.OnRunStarted(started));
    if (!started)
        return {};
    runner.WaitForEnd();
    return m_model.OnRunEnded();
}

// ---- the run's view ----

void CInstallerDlg::HideBackAndNext() { Carry(m_model.OnRunHidesButtons()); }
void CInstallerDlg::SetHeader(const char* title, const char* subtitle) { Carry(m_model.OnRunHeader(title, subtitle)); }
void CInstallerDlg::SetStatusLine(const std::string& text) { m_progress.SetItemText(IDC_STATUS_LINE, text); }
void CInstallerDlg::SetDetailLine(const std::string& text) { m_progress.SetItemText(IDC_DETAIL_LINE, text); }
void CInstallerDlg::SetProgressRange(int entries)
{
    SendDlgItemMessageA(m_progress.GetHWND(), IDC_PROGRESS, PBM_SETRANGE32, 0, entries);
}
void CInstallerDlg::SetProgressPos(int done) { SendDlgItemMessageA(m_progress.GetHWND(), IDC_PROGRESS, PBM_SETPOS, done, 0); }
void CInstallerDlg::ShowEndState() { Carry(m_model.OnRunCompleted()); }
void CInstallerDlg::ShowStopped() { Carry(m_model.OnRunStopped()); }

// ---- the finishing actions ----

void CInstallerDlg::LaunchUtility()
{
    const std::string target = InstallTargetFolder(m_settings.m_strGameFolder);
    m_log.Printf("Launching Utility, Location: %s\n", target.c_str());
    SetCurrentDirectoryA(target.c_str());
    // "Lauch" is the log's own wording of this line; it stays as it always was.
    if (!platform::ShellOpen(m_hWnd, "Tollan.exe", std::string()))
        m_log.Printf("  Error!  ShellExecute() failed to Lauch the Utility.\n");
}

void CInstallerDlg::OpenReadMe()
{
    const std::string path = m_settings.m_strGameFolder + "\\DedicatedServerUtility\\ReadMe.txt";
    m_log.Printf("Opening current ReadMe File: %s.\n", path.c_str());
    if (!platform::OpenInNotepad(m_hWnd, path))
        m_log.Printf("  Error!  ShellExecute() failed to open: %s.\n", path.c_str());
}

void CInstallerDlg::OnDestroy() { m_log.Close(); }
