// Installer.exe: the wizard is the whole program. It takes no command line.
#include "installer/InstallerDlg.h"
#include "installer/resource.h"

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    CInstallerDlg wizard;
    wizard.DoModal(instance, IDD_INSTALLER_DIALOG, nullptr);
    return 0;
}
