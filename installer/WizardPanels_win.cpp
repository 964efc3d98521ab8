#include "installer/WizardPanels_win.h"

#include "base/GameRegistry.h"
#include "installer/Registration_win.h"
#include "installer/WizardModel.h"
#include "installer/resource.h"
#include "platform/Platform.h"
#include "wingui/FolderBrowser_win.h"
#include "wingui/Owners_win.h"

const char* const kInstallerCaption = " DQ2 Dedicated Server Utility Installer";

namespace {
const char* const kChooseFolder = "Please Choose the DQ2 Game Folder";

void SetCheck(HWND page, int id, bool on)
{
    SendDlgItemMessageA(page, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

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
        const wingui::CBrush brush(CreateSolidBrush(RGB(16 + i, 38 + i, 92 + i * 5 / 4)));
        FillRect(item.hDC, &band, brush.Get());
    }
    const wingui::CIcon icon(static_cast<HICON>(
        LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 48, 48, 0)));
    if (icon)
        DrawIconEx(item.hDC, (r.left + r.right - 48) / 2, r.top + 24, icon.Get(), 48, 48, 0, nullptr, DI_NORMAL);
}

}  // namespace

bool CWizardPanel::OnInit()
{
    if (int id = TitleId()) {
        wingui::CWindow title(GetItem(id));
        m_titleFont = wingui::DerivedFont(title, -m_nTitleHeight, m_nTitleWeight);
        if (m_titleFont)
            title.SetFont(m_titleFont.Get());
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

// ---- destination ----

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
    std::string chosen = wingui::BrowseForFolder(m_hWnd, {"DQ2 Game Folder:", "", kChooseFolder});
    if (chosen.empty() || !platform::IsDirectory(chosen))
        return;
    const std::string folder = GameFolderFromChosen(chosen);
    if (!GameFolderFits(folder)) {
        wingui::ShowWarning(::GetParent(m_hWnd), kInstallerCaption, TooLongFolderText(folder));
        return;
    }
    m_settings.m_strGameFolder = folder;
    ShowTarget();
}

bool CDestinationPage::OnCommand(WORD code, WORD id, HWND control)
{
    if (id == IDC_BROWSE && code == BN_CLICKED) {
        SendMessageA(::GetParent(m_hWnd), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(control));
        return true;
    }
    return false;
}

// ---- the check-box pages ----

bool CShortcutsPage::OnInit()
{
    CWizardPanel::OnInit();
    SetCheck(m_hWnd, IDC_START_MENU_ICONS, m_settings.m_bStartMenuIcons);
    SetCheck(m_hWnd, IDC_DESKTOP_ICONS, m_settings.m_bDesktopIcons);
    SetCheck(m_hWnd, IDC_QUICK_LAUNCH_ICONS, m_settings.m_bQuickLaunchIcons);
    return true;
}

void CShortcutsPage::ReadChoices(CInstallSettings& settings) const
{
    settings.m_bStartMenuIcons = IsChecked(m_hWnd, IDC_START_MENU_ICONS);
    settings.m_bDesktopIcons = IsChecked(m_hWnd, IDC_DESKTOP_ICONS);
    settings.m_bQuickLaunchIcons = IsChecked(m_hWnd, IDC_QUICK_LAUNCH_ICONS);
}

bool CFinishedPage::OnInit()
{
    CWizardPanel::OnInit();
    SetCheck(m_hWnd, IDC_VIEW_README, m_settings.m_bViewReadMe);
    SetCheck(m_hWnd, IDC_LAUNCH_UTILITY, m_settings.m_bLaunchUtility);
    return true;
}

void CFinishedPage::ReadChoices(CInstallSettings& settings) const
{
    settings.m_bViewReadMe = IsChecked(m_hWnd, IDC_VIEW_README);
    settings.m_bLaunchUtility = IsChecked(m_hWnd, IDC_LAUNCH_UTILITY);
}
