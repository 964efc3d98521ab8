#include "app/GameFolderShell.h"

#include "app/GameFolder.h"
#include "base/GameRegistry.h"
#include "base/SettingsStore.h"
#include "base/UtilityLog.h"
#include "wingui/FolderBrowser.h"

#include <objbase.h>

void ShowTollanMessage(HWND owner, const char* text)
{
    MessageBoxA(owner, text, "Tollan", MB_OK | MB_ICONWARNING);
}

std::string BrowseForFolder(HWND owner, const std::string& title, const std::string& initialFolder)
{
    // The new dialog style hosts shell views and needs COM on this thread.
    HRESULT com = CoInitialize(nullptr);
    std::string chosen = wingui::BrowseForFolder(owner, {title, initialFolder, initialFolder});
    if (SUCCEEDED(com))
        CoUninitialize();
    return chosen;
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
    steps.readStoredPath = [&settings] { return settings.ReadString("GamePath").value_or(std::string()); };
    steps.readGameRegistry = FindGameFolderInRegistry;
    steps.browse = [owner] { return BrowseForFolder(owner, "Dravic Qel 2 Game Folder", "C:\\"); };
    steps.promptValidFolder = [owner] {
        ShowTollanMessage(owner, "Please select a valid Game Installation Folder\n\n For Example: "
                                 "C:\\Program Files\\Dravic Qel 2");
    };
    return SearchGameFolder(steps, folder);
}
