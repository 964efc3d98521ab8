#include "installer/InstallerDlg.h"

#include "installer/InstallRun.h"
#include "base/GameRegistry.h"
#include "installer/Registration.h"
#include "installer/resource.h"
#include "platform/Platform.h"
#include "wingui/FolderBrowser.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <functional>

namespace {
// The worker asks the wizard's thread to carry out a window operation (a std::function in lParam).
const UINT WM_APP_RUN_ON_UI = WM_APP + 1;

const char* const kDestinationTitle = "Destination Folder";
const char* const kDestinationSubtitle = "Where should the DQ2 Dedicated Server Utility be installed?";
const char* const kChooseFolder = "Please Choose the DQ2 Game Folder";

void SetCheck(HWND page, int id, bool on)
{
    SendDlgItemMessageA(page, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

HBRUSH WhiteBrush() { return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)); }

// The side picture of the welcome and finished pages: a deep blue fading downwards, with the
// program's icon near the top.
void DrawSidePicture(const DRAWITEMSTRUCT& item)
{
    const RECT& r = item.rcItem;
    const int height = r.bottom - r.top;
    const int bands = 64;
    for (int i = 0; i < bands; ++i) {
        RECT band = {r.left, r.top + height * i / bands, r.right, r.top + height * (i + 1) / bands};
        HBRUSH brush = CreateSolidBrush(RGB(16 + i, 38 + i, 92 + i * 5 / 4));
        FillRect(item.hDC, &band, brush);
        DeleteObject(brush);
    }
    HICON icon = static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0));
    if (icon) {
        DrawIconEx(item.hDC, (r.left + r.right - 48) / 2, r.top + 24, icon, 48, 48, 0, nullptr, DI_NORMAL);
        DestroyIcon(icon);
    }
}

}  // namespace

// ---- panels ----

CWizardPanel::~CWizardPanel()
{
    if (m_hTitleFont)
        DeleteObject(m_hTitleFont);
}

bool CWizardPanel::OnInit()
{
    if (int id = TitleId()) {
        wingui::CWindow title(GetItem(id));
        LOGFONTA lf{};
        HFONT font = title.GetFont() ? title.GetFont() : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
        if (GetObjectA(font, sizeof lf, &lf)) {
            lf.lfHeight = -m_nTitleHeight;
            lf.lfWidth = 0;
            lf.lfWeight = m_nTitleWeight;
            m_hTitleFont = CreateFontIndirectA(&lf);
            if (m_hTitleFont)
                title.SetFont(m_hTitleFont);
        }
    }
    return true;
}

bool CWizardPanel::OnMessage(UINT msg, WPARAM w, LPARAM l, INT_PTR& result)
{
    if (msg == WM_DRAWITEM && w == IDC_SIDE_PICTURE) {
        DrawSidePicture(*reinterpret_cast<const DRAWITEMSTRUCT*>(l));
        result = TRUE;
        return true;
    }
    if (!m_bWhite)
        return false;
    switch (msg) {
    case WM_CTLCOLORDLG:
        result = reinterpret_cast<INT_PTR>(WhiteBrush());
        return true;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
        // The header's etched line keeps the system's colours.
        if (GetDlgCtrlID(reinterpret_cast<HWND>(l)) == IDC_HEADER_LINE)
            return false;
        SetBkColor(reinterpret_cast<HDC>(w), RGB(255, 255, 255));
        result = reinterpret_cast<INT_PTR>(WhiteBrush());
        return true;
    }
    return false;
}

int CWelcomePage::TitleId() const { return IDC_PAGE_TITLE; }
int CFinishedPage::TitleId() const { return IDC_PAGE_TITLE; }
int CPageHeader::TitleId() const { return IDC_HEADER_TITLE; }

bool CDestinationPage::OnInit()
{
    CWizardPanel::OnInit();
    m_settings.m_strGameFolder = ReadGameFolderFromRegistry().value_or(std::string());
    ShowTarget();
    // Windows 2000 (NT 5.0) gets the other folder icon; it draws the usual one poorly.
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    bool windows2000 = GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT &&
                       version.dwMajorVersion == 5 && version.dwMinorVersion == 0;
    if (HMODULE shell = GetModuleHandleA("shell32.dll")) {
        HICON icon = static_cast<HICON>(
            LoadImageA(shell, MAKEINTRESOURCEA(windows2000 ? 5 : 4), IMAGE_ICON, 32, 32, LR_SHARED));
        if (icon)
            SendMessageA(GetItem(IDC_FOLDER_ICON), STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    }
    return true;
}

void CDestinationPage::ShowTarget()
{
    wingui::CWindow edit(GetItem(IDC_TARGET_FOLDER));
    edit.SetText(m_settings.m_strGameFolder.empty() ? kChooseFolder
                                                    : m_settings.m_strGameFolder + "\\DedicatedServerUtility");
}

void CDestinationPage::Browse()
{
    // COM is set up for this thread by the program; nothing is preselected.
    std::string chosen = wingui::BrowseForFolder(m_hWnd, {"DQ2 Game Folder:", "", "Please Choose the DQ2 Game Folder"});
    if (chosen.empty() || !platform::IsDirectory(chosen))
        return;
    m_settings.m_strGameFolder = GameFolderFromChosen(chosen);
    ShowTarget();
}

bool CDestinationPage::OnCommand(WORD code, WORD id, HWND)
{
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        Browse();
        return true;
    }
    return false;
}

bool CShortcutsPage::OnInit()
{
    CWizardPanel::OnInit();
    SetCheck(m_hWnd, IDC_START_MENU_ICONS, m_settings.m_bStartMenuIcons);
    SetCheck(m_hWnd, IDC_DESKTOP_ICONS, m_settings.m_bDesktopIcons);
    SetCheck(m_hWnd, IDC_QUICK_LAUNCH_ICONS, m_settings.m_bQuickLaunchIcons);
    return true;
}

bool CShortcutsPage::OnCommand(WORD code, WORD id, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_START_MENU_ICONS: m_settings.m_bStartMenuIcons = !m_settings.m_bStartMenuIcons; return true;
    case IDC_DESKTOP_ICONS: m_settings.m_bDesktopIcons = !m_settings.m_bDesktopIcons; return true;
    case IDC_QUICK_LAUNCH_ICONS: m_settings.m_bQuickLaunchIcons = !m_settings.m_bQuickLaunchIcons; return true;
    }
    return false;
}

bool CFinishedPage::OnInit()
{
    CWizardPanel::OnInit();
    SetCheck(m_hWnd, IDC_VIEW_README, m_settings.m_bViewReadMe);
    SetCheck(m_hWnd, IDC_LAUNCH_UTILITY, m_settings.m_bLaunchUtility);
    return true;
}

bool CFinishedPage::OnCommand(WORD code, WORD id, HWND)
{
    if (code != BN_CLICKED)
        return false;
    switch (id) {
    case IDC_VIEW_README: m_settings.m_bViewReadMe = !m_settings.m_bViewReadMe; return true;
    case IDC_LAUNCH_UTILITY: m_settings.m_bLaunchUtility = !m_settings.m_bLaunchUtility; return true;
    }
    return false;
}

bool CCancelDlg::OnInit()
{
    SendMessageA(GetItem(IDC_QUESTION_ICON), STM_SETICON,
                 reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_QUESTION)), 0);
    return true;
}

bool CCancelDlg::OnCommand(WORD, WORD id, HWND)
{
    if (id == IDYES || id == IDNO || id == IDCANCEL) {
        End(id == IDYES ? IDYES : IDNO);
        return true;
    }
    return false;
}

// ---- the run's host: the worker thread asks the wizard's thread to change its windows ----

class CWizardHost : public IInstallHost {
public:
    explicit CWizardHost(CInstallerDlg& dlg) : m_dlg(dlg) {}

    void HideBackAndNext() override
    {
        OnUi([this] {
            m_dlg.m_btnBack.Show(SW_HIDE);
            m_dlg.m_btnNext.Show(SW_HIDE);
        });
    }
    void SetHeader(const char* title, const char* subtitle) override
    {
        OnUi([=] { m_dlg.SetHeader(title, subtitle); });
    }
    void SetStatusLine(const std::string& text) override { SetItemText(IDC_STATUS_LINE, text); }
    void SetDetailLine(const std::string& text) override { SetItemText(IDC_DETAIL_LINE, text); }
    void SetProgressRange(int entries) override
    {
        OnUi([=] { SendMessageA(m_dlg.m_progress.GetItem(IDC_PROGRESS), PBM_SETRANGE32, 0, entries); });
    }
    void SetProgressPos(int done) override
    {
        OnUi([=] { SendMessageA(m_dlg.m_progress.GetItem(IDC_PROGRESS), PBM_SETPOS, done, 0); });
    }
    void ShowEndState() override
    {
        OnUi([this] { m_dlg.ShowEndState(); });
    }
    void ShowStopped() override
    {
        OnUi([this] { m_dlg.m_btnCancel.Enable(true); });
    }
    void Pause(unsigned ms) override { Sleep(ms); }

    bool IsUtilityRunning() override { return IsTollanRunning(); }
    bool GetPayload(const void*& data, std::size_t& size) override
    {
        HRSRC res = FindResourceExA(nullptr, "ZIP", MAKEINTRESOURCEA(IDR_PAYLOAD),
                                    MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
        HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
        data = loaded ? LockResource(loaded) : nullptr;
        size = data ? SizeofResource(nullptr, res) : 0;
        return data != nullptr;
    }
    std::string MakeTempFolder() override
    {
        char temp[MAX_PATH] = "";
        DWORD n = GetTempPathA(sizeof temp, temp);
        if (n == 0 || n >= sizeof temp)
            return std::string();
        for (unsigned i = 0; i < 100; ++i) {
            char name[MAX_PATH + 64];
            wsprintfA(name, "%sTollanInstaller-%lu-%u", temp, GetCurrentProcessId(), i);
            if (CreateDirectoryA(name, nullptr))
                return name;
        }
        return std::string();
    }
    void RemoveTempFolder(const std::string& folder) override { RemoveDirectoryA(folder.c_str()); }
    ShortcutResult MakeShortcut(const CShortcutSpec& spec, std::string& linkPath) override
    {
        return SaveShortcut(spec, linkPath);
    }
    bool WriteSettingsNumber(const char* name, std::uint32_t value) override
    {
        return WriteTollanSettingNumber(name, value);
    }
    bool WriteSettingsText(const char* name, const std::string& text) override
    {
        return WriteTollanSettingText(name, text);
    }
    bool WriteUninstallEntry(const std::string& displayName, const std::string& command) override
    {
        return WriteUninstallKey(displayName, command);
    }

private:
    void OnUi(std::function<void()> fn)
    {
        SendMessageA(m_dlg.GetHWND(), WM_APP_RUN_ON_UI, 0, reinterpret_cast<LPARAM>(&fn));
    }
    void SetItemText(int id, const std::string& text)
    {
        OnUi([=] { SetDlgItemTextA(m_dlg.m_progress.GetHWND(), id, text.c_str()); });
    }
    CInstallerDlg& m_dlg;
};

// ---- the frame ----

CInstallerDlg::CInstallerDlg() : m_destination(m_settings), m_shortcuts(m_settings), m_finished(m_settings) {}

wingui::CDialog& CInstallerDlg::Page(int index)
{
    wingui::CDialog* pages[] = {&m_welcome, &m_destination, &m_shortcuts, &m_progress, &m_finished};
    return *pages[index];
}

bool CInstallerDlg::OnInit()
{
    HINSTANCE instance = Instance();
    SendMsg(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(LoadIconA(instance, MAKEINTRESOURCEA(IDR_MAINFRAME))));
    SendMsg(WM_SETICON, ICON_SMALL,
            reinterpret_cast<LPARAM>(LoadImageA(instance, MAKEINTRESOURCEA(IDI_SMALL), IMAGE_ICON, 16, 16, 0)));
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
        (*reinterpret_cast<std::function<void()>*>(l))();
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

namespace {
struct CRunContext {
    IInstallHost* host;
    CInstallationLog* log;
    const CInstallSettings* settings;
};

DWORD WINAPI InstallationThread(LPVOID param)
{
    const CRunContext& ctx = *static_cast<CRunContext*>(param);
    // The shortcuts are COM objects: COM is set up once for this thread.
    HRESULT com = CoInitialize(nullptr);
    ::RunInstallation(*ctx.host, *ctx.log, *ctx.settings);
    if (SUCCEEDED(com))
        CoUninitialize();
    return 0;
}
}  // namespace

void CInstallerDlg::RunInstallation()
{
    // One run only: a second "&Install" while messages are dispatched would reach Finish and
    // start Tollan before it is unpacked.
    m_btnNext.Show(SW_HIDE);
    m_btnBack.Show(SW_HIDE);
    m_btnCancel.Enable(false);

    CWizardHost host(*this);
    CRunContext ctx{&host, &m_log, &m_settings};
    HANDLE thread = CreateThread(nullptr, 0, InstallationThread, &ctx, 0, nullptr);
    if (!thread) {
        m_btnCancel.Enable(true);
        return;
    }
    m_bRunning = true;
    // Wait for the run while the wizard paints and answers; the worker's window changes
    // arrive here as sent messages.
    for (;;) {
        DWORD wait = MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT);
        if (wait != WAIT_OBJECT_0 + 1)
            break;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (!IsDialogMessageA(m_hWnd, &msg)) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    m_bRunning = false;
}

void CInstallerDlg::ShowEndState()
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

void CInstallerDlg::LaunchUtility()
{
    const std::string target = InstallTargetFolder(m_settings.m_strGameFolder);
    m_log.Printf("Launching Utility, Location: %s\n", target.c_str());
    SetCurrentDirectoryA(target.c_str());
    HINSTANCE rc = ShellExecuteA(m_hWnd, "open", "Tollan.exe", nullptr, nullptr, SW_SHOWNORMAL);
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
