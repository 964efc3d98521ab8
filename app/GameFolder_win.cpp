#include "app/GameFolder_win.h"

#include "app/GameFolder.h"
#include "base/GameRegistry.h"
#include "base/Names.h"
#include "wingui/Dialog_win.h"
#include "base/SettingsStore.h"
#include "base/UtilityLog.h"
#include "wingui/FolderBrowser_win.h"
#include "wingui/Owners_win.h"

#include <objbase.h>

std::string BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder)
{
    // The new dialog style hosts shell views and needs COM on this thread.
    wingui::CComApartment com;
    return wingui::BrowseForFolder(owner, {title, initialFolder, initialFolder});
}

bool FindGameFolderInRegistry(std::string& folder)
{
    std::optional<std::string> found = ReadGameFolderFromRegistry();
    if (!found) {
        LogMessage("DQ2 is not installed.\n");
        return false;
    }
    folder = *found;
    LogMessage("DQ2 Is Installed, Location: %s\n", folder.c_str());
    return true;
}

bool FindGameFolder(HWND owner, CSettingsStore& settings, std::string& folder)
{
    CGameFolderSearch steps;
    steps.m_readStoredPath = [&settings] { return settings.ReadString("GamePath").value_or(std::string()); };
    steps.m_readGameRegistry = FindGameFolderInRegistry;
    steps.m_browse = [owner] { return BrowseForFolder(owner, "Dravic Qel 2 Game Folder", "C:\\"); };
    steps.m_promptValidFolder = [owner] {
        wingui::ShowWarning(owner, kProgramName, "Please select a valid Game Installation Folder\n\n For Example: "
                                 "C:\\Program Files\\Dravic Qel 2");
    };
    return SearchGameFolder(steps, folder);
}
