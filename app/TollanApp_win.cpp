#include "app/TollanApp_win.h"

#include "app/AppContext.h"
#include "app/GameFolder_win.h"
#include "app/Settings.h"
#include "app/StartOptions.h"
#include "app/TollanDlg_win.h"
#include "base/Names.h"
#include "base/OwnFolder.h"
#include "base/UtilityLog.h"
#include "config/HistoryStore.h"
#include "config/ServerConfig.h"
#include "maps/LevelCatalogue.h"
#include "platform/Platform.h"
#include "app/Resource.h"
#include "wingui/Dialog_win.h"

#include <commctrl.h>
#include <winsock2.h>

#include <memory>

namespace {

void ReportException(const char* what)
{
    LogMessage("ERR:  Unexpected failure in a window handler: %s\n", what);
}

}  // namespace

int CTollanApp::Run(HINSTANCE instance, const char* commandLine)
{
    m_hInstance = instance;
    // History.ini, HistoryTemp.ini and Tollan.log belong next to the program, whatever the
    // working directory; the server still inherits the working directory.
    SetOwnFolder(platform::ProgramFolder());
    wingui::CDialog::SetExceptionReporter(ReportException);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);
    // Registers the "RichEdit20A" class used by the console.
    m_richEdit.Reset(LoadLibraryA("riched20.dll"));

    WSADATA wsa;
    if (WSAStartup(MAKEWORD(1, 1), &wsa) != 0) {
        wingui::ShowWarning(nullptr, kProgramName, "Failed to Initialize Windows Sockets");
        return 0;
    }
    // "succesful" as the journal has always spelt it: tools that read the log look for it.
    LogMessage("INF:  Windows Sockets initialization was succesful.\n");

    m_instanceMutex.Reset(CreateMutexA(nullptr, TRUE, kInstanceMutexName));
    if (m_instanceMutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        // Another instance runs; leave without a word. A window it hid in the notification area
        // comes back, or this start would seem to do nothing at all.
        PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(kShowHiddenMessageName), 0, 0);
        WSACleanup();
        return 0;
    }
    if (m_instanceMutex)
        ReleaseMutex(m_instanceMutex.Get());

    {
        // The record and the catalogue live on the heap: some 40 KB that a static would carry in
        // the program file.
        std::unique_ptr<CServerConfig> record(new CServerConfig);
        std::unique_ptr<CLevelCatalogue> levels(new CLevelCatalogue);
        CRegistrySettings settings;
        const CHistoryStore history(OwnFile("History.ini"));
        CAppContext context{*record, *levels, history, settings, std::string()};
        const CStartOptions startOptions = ParseStartOptions(commandLine ? commandLine : "");
        CTollanDlg dlg(context, startOptions);
        dlg.RunModalLoop(instance, IDD_TOLLAN_DIALOG, nullptr);
    }

    WSACleanup();
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    CTollanApp app;
    return app.Run(instance, commandLine);
}
