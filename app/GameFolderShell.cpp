#include "app/GameFolderShell.h"

#include "app/GameFolder.h"
#include "app/Settings.h"
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

void BrowseForGameFolder(HWND owner)
{
    SetGameFolder(BrowseForFolder(owner, "Dravic Qel 2 Game Folder", "C:\\"));
}

bool FindGameFolderInRegistry()
{
    HKEY key;
    // The game is a 32-bit program and writes its key in the 32-bit view of the registry; a
    // 64-bit build of Tollan would otherwise look in the other view and miss it.
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Morvane\\DravicQel2", 0, KEY_READ | KEY_WOW64_32KEY,
                      &key) != ERROR_SUCCESS) {
        LogMessage("DQ2 is not installed.\n");
        return false;
    }
    char buf[260];
    DWORD size = sizeof buf;
    DWORD type = 0;
    std::string raw;
    // Only a string that carries its terminating zero within the 260 bytes counts.
    if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<BYTE*>(buf), &size) ==
            ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0 && buf[size - 1] == '\0')
        raw = buf;
    std::string folder = CleanRegistryGamePath(raw);
    LogMessage("DQ2 Is Installed, Location: %s\n", folder.c_str());
    SetGameFolder(folder);
    RegCloseKey(key);
    return true;
}

bool FindGameFolder(HWND owner)
{
    CGameFolderSearch steps;
    steps.readStoredPath = [] { return ReadSettingString("GamePath").value_or(std::string()); };
    steps.readGameRegistry = [](std::string& folder) {
        if (!FindGameFolderInRegistry())
            return false;
        folder = GameFolder();
        return true;
    };
    steps.browse = [owner] {
        BrowseForGameFolder(owner);
        return GameFolder();
    };
    steps.promptValidFolder = [owner] {
        ShowTollanMessage(owner, "Please select a valid Game Installation Folder\n\n For Example: "
                                 "C:\\Program Files\\Dravic Qel 2");
    };
    return SearchGameFolder(steps);
}
