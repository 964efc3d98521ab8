// Installer.exe: the wizard is the whole program. It takes no command line.
#include "installer/InstallerDlg_win.h"
#include "installer/resource.h"
#include "wingui/Owners_win.h"

#include <commctrl.h>
#include <objbase.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    // COM once for this thread: the folder browser's new style hosts shell views. The worker
    // thread of the run sets up its own.
    const wingui::CComApartment com;
    CInstallerDlg wizard;
    wizard.DoModal(instance, IDD_INSTALLER_DIALOG, nullptr);
    return 0;
}
