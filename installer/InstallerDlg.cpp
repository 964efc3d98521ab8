#include "installer/InstallerDlg.h"

#include "installer/CancelDlg.h"
#include "installer/WizardHost.h"
#include "installer/resource.h"
#include "platform/Platform.h"

#include <shellapi.h>

namespace {
const char* const kDestinationTitle = "Destination Folder";
const char* const kDestinationSubtitle = "Where should the DQ2 Dedicated Server Utility be installed?";
}  // namespace

CInstallerDlg::CInstallerDlg() : m_destination(m_settings), m_shortcuts(m_settings), m_finished(m_settings) {}

wingui::CDialog& CInstallerDlg::Page(int index)
{
    wingui::CDialog* pages[] = {&m_welcome, &m_destination, &m_shortcuts, &m_progress, &m_finished};
    return *pages[index];
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
        created = Page(i).CreateChild(instance, templates[i], m_hWnd) && created;
    created = m_header.CreateChild(instance, IDD_PAGE_HEADER, m_hWnd) && created;
    m_bPanelsCreated = created;
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
        m_welcome.Show(SW_SHOW);
    }
    m_btnBack.Show(SW_HIDE);
    return true;
}

void CInstallerDlg::SetHeader(const char* title, const char* subtitle)
{
    SetDlgItemTextA(m_header, IDC_HEADER_TITLE, title);
    SetDlgItemTextA(m_header, IDC_HEADER_SUBTITLE, subtitle);
}

bool CInstallerDlg::GameFolderUsable() const
{
    return !m_settings.m_strGameFolder.empty() && platform::IsDirectory(m_settings.m_strGameFolder);
}

bool CInstallerDlg::OnCommand(WORD code, WORD id, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_NEXT: OnNext(); return true;
    case IDC_BACK: OnBack(); return true;
    case IDCANCEL: OnCancel(); return true;
    }
    return false;
}

bool CInstallerDlg::OnMessage(UINT msg, WPARAM, LPARAM l, INT_PTR& result)
{
    if (msg == WM_APP_RUN_ON_UI) {
        CWizardHost::CarryRequest(l);
        result = TRUE;
        return true;
    }
    return false;
}

void CInstallerDlg::OnNext()
{
    // The worker's last step shows Finish; a click on it may arrive before the worker has
    // quite ended, and counts.
    if ((m_bRunning && !m_bRunCompleted) || !m_bPanelsCreated)
        return;
    // "&Install" needs a game folder that exists: the run would otherwise unpack below the
    // drive's root and register an empty GamePath.
    if (m_nPage == 2 && !GameFolderUsable()) {
        m_destination.Browse();
        if (!GameFolderUsable())
            return;
    }
    if (m_nPage < 4) {
        Page(m_nPage).Show(SW_HIDE);
        ++m_nPage;
        Page(m_nPage).Show(SW_SHOW);
    }
    switch (m_nPage) {
    case 1:
        m_btnBack.Show(SW_SHOW);
        m_header.Show(SW_SHOW);
        m_btnNext.SetText("&Next >");
        if (m_settings.m_strGameFolder.empty())
            m_destination.Browse();
        SetHeader(kDestinationTitle, kDestinationSubtitle);
        break;
    case 2:
        m_btnNext.SetText("&Install");
        SetHeader("Select Additional Tasks", "Which additional tasks should be performed during installation?");
        break;
    case 3:
        OpenLog();
        RunInstallation();
        break;
    case 4:
        m_btnNext.SetText("&Finish");
        m_btnCancel.Show(SW_HIDE);
        m_btnBack.Show(SW_HIDE);
        m_header.Show(SW_HIDE);
        // What the boxes show is what is done.
        m_finished.ReadChoices(m_settings);
        if (m_settings.m_bLaunchUtility)
            LaunchUtility();
        if (m_settings.m_bViewReadMe)
            OpenReadMe();
        End(IDOK);
        break;
    }
}

void CInstallerDlg::OnBack()
{
    if (m_nPage == 0 || m_nPage > 2 || m_bRunning)
        return;
    Page(m_nPage).Show(SW_HIDE);
    --m_nPage;
    Page(m_nPage).Show(SW_SHOW);
    if (m_nPage == 0) {
        m_btnBack.Show(SW_HIDE);
        m_header.Show(SW_HIDE);
    } else {
        m_btnBack.Show(SW_SHOW);
        m_btnNext.SetText("&Next >");
        if (m_nPage == 1)
            SetHeader(kDestinationTitle, kDestinationSubtitle);
    }
}

void CInstallerDlg::OnCancel()
{
    // A cancel could not stop the run, so none is offered while it works.
    if (m_bRunning && !m_bRunCompleted)
        return;
    if (m_bRunCompleted) {
        End(IDCANCEL);
        return;
    }
    CCancelDlg confirm;
    if (confirm.DoModal(Instance(), IDD_CANCEL_DIALOG, m_hWnd) == IDYES)
        End(IDCANCEL);
}

void CInstallerDlg::OpenLog()
{
    const std::string target = InstallTargetFolder(m_settings.m_strGameFolder);
    if (platform::IsDirectory(m_settings.m_strGameFolder))
        CreateDirectoryA(target.c_str(), nullptr);
    m_log.Open(target + "\\Installation.log");
}

void CInstallerDlg::RunInstallation()
{
    // One run only: a second "&Install" while messages are dispatched would reach Finish and
    // start Tollan before it is unpacked.
    m_btnNext.Show(SW_HIDE);
    m_btnBack.Show(SW_HIDE);
    m_btnCancel.Enable(false);

    // The worker reads the shortcut flags: they are taken from the boxes before it starts.
    m_shortcuts.ReadChoices(m_settings);
    CWizardHost host(*this);
    if (!host.Start(m_log, m_settings)) {
        m_btnCancel.Enable(true);
        return;
    }
    m_bRunning = true;
    host.WaitForEnd();
    m_bRunning = false;
}

// ---- the run's requests ----

void CInstallerDlg::OnRunHidesButtons()
{
    m_btnBack.Show(SW_HIDE);
    m_btnNext.Show(SW_HIDE);
}

void CInstallerDlg::OnRunHeader(const char* title, const char* subtitle) { SetHeader(title, subtitle); }

void CInstallerDlg::OnRunCompleted()
{
    m_btnCancel.Show(SW_HIDE);
    m_btnBack.Show(SW_HIDE);
    m_header.Show(SW_HIDE);
    m_progress.Show(SW_HIDE);
    m_finished.Show(SW_SHOW);
    m_btnNext.SetText("Finish");
    m_btnNext.Show(SW_SHOW);
    m_btnNext.SetFocus();
    wingui::CWindow(GetItem(IDC_FRAME_LINE)).Invalidate();
    m_bRunCompleted = true;
}

void CInstallerDlg::OnRunStopped() { m_btnCancel.Enable(true); }

// ---- the finishing actions ----

void CInstallerDlg::LaunchUtility()
{
    const std::string target = InstallTargetFolder(m_settings.m_strGameFolder);
    m_log.Printf("Launching Utility, Location: %s\n", target.c_str());
    SetCurrentDirectoryA(target.c_str());
    HINSTANCE rc = ShellExecuteA(m_hWnd, "open", "Tollan.exe", nullptr, nullptr, SW_SHOWNORMAL);
    // "Lauch" is the log's own wording of this line; it stays as it always was.
    if (reinterpret_cast<INT_PTR>(rc) <= 32)
        m_log.Printf("  Error!  ShellExecute() failed to Lauch the Utility.\n");
}

void CInstallerDlg::OpenReadMe()
{
    const std::string path = m_settings.m_strGameFolder + "\\DedicatedServerUtility\\ReadMe.txt";
    m_log.Printf("Opening current ReadMe File: %s.\n", path.c_str());
    // Quoted when it holds a blank, so that notepad gets one file name.
    const std::string parameter = path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
    HINSTANCE rc = ShellExecuteA(m_hWnd, "open", "notepad.exe", parameter.c_str(), nullptr, SW_SHOWNORMAL);
    if (reinterpret_cast<INT_PTR>(rc) <= 32)
        m_log.Printf("  Error!  ShellExecute() failed to open: %s.\n", path.c_str());
}

void CInstallerDlg::OnDestroy() { m_log.Close(); }
