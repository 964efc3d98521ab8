// Uninstall.exe: removes what the Installer put in place: the program files, the shortcuts,
// Tollan's settings and the uninstall entry. The user's configurations and logs stay unless the
// user agrees to remove them too. Its own file goes last: Delete.dll, started under rundll32,
// removes it once this process has ended.
#include "base/Names.h"
#include "installer/InstallPlan.h"
#include "installer/Registration_win.h"
#include "installer/resource.h"
#include "platform/Platform.h"
#include "platform/Handle_win.h"
#include "wingui/Owners_win.h"
#include "platform/Registry_win.h"
#include "platform/Temp_win.h"

#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>

#include <string>
#include <vector>

namespace {

const char* const kTitle = "Tollan";

bool Ask(const std::string& text, bool defaultYes)
{
    UINT style = MB_YESNO | MB_ICONQUESTION | (defaultYes ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return MessageBoxA(nullptr, text.c_str(), kTitle, style) == IDYES;
}

// An entry-style name below the game folder ("DedicatedServerUtility/Config/x.cfg") as a path.
std::string PathOf(const std::string& game, const std::string& name)
{
    std::string path = game + "\\" + name;
    for (char& c : path)
        if (c == '/')
            c = '\\';
    return path;
}

// The files of the utility folder and of its Config, MapLists and Logs folders, named as entries are.
std::vector<std::string> FindInstalledFiles(const std::string& game)
{
    std::vector<std::string> found;
    for (const char* folder : {"DedicatedServerUtility", "DedicatedServerUtility/Config", "DedicatedServerUtility/MapLists",
                               "DedicatedServerUtility/Logs"})
        for (const platform::CDirEntry& entry : platform::ListDirectory(PathOf(game, folder)))
            if (!entry.m_bIsDirectory)
                found.push_back(std::string(folder) + "/" + entry.m_strName);
    return found;
}

// Delete.dll from our resources into a file of its own in the temp folder.
std::string WriteDeleteLibrary()
{
    const void* data = nullptr;
    std::size_t size = 0;
    if (!platform::FindResourceBytes(RT_RCDATA, IDR_DELETE_DLL, data, size))
        return std::string();
    bool written = false;
    const std::string path = platform::CreateInTempFolder("TollanDelete", ".dll", [&](const char* name) {
        // Never over a file that is already there.
        platform::CHandle file(CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD done = 0;
        written = WriteFile(file.Get(), data, static_cast<DWORD>(size), &done, nullptr) && done == size;
        return true;
    });
    if (!path.empty() && !written) {
        DeleteFileA(path.c_str());
        return std::string();
    }
    return path;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    if (n == 0 || n >= MAX_PATH)
        return 1;
    const std::string selfPath = self;
    const std::string utility = selfPath.substr(0, selfPath.find_last_of('\\'));
    const std::string game = utility.substr(0, utility.find_last_of('\\'));

    if (!IsUtilityFolder(utility)) {
        MessageBoxA(nullptr,
                    ("This Uninstall.exe is not in a DedicatedServerUtility folder, so it removes nothing:\n" + utility)
                        .c_str(),
                    kTitle, MB_OK | MB_ICONWARNING);
        return 1;
    }
    if (IsTollanRunning()) {
        MessageBoxA(nullptr, "Please close the DQ2 Dedicated Server Utility, then uninstall it.", kTitle,
                    MB_OK | MB_ICONWARNING);
        return 1;
    }
    if (!Ask("Remove the DQ2 Dedicated Server Utility from\n" + utility +
                 "\ntogether with its shortcuts and registry entries?",
             true))
        return 0;
    const bool removeData = Ask("Remove your own configurations, map lists and logs as well?\n\n"
                                "Choose No to keep them in\n" + utility,
                                false);

    const CUninstallPlan plan = PlanUninstall(FindInstalledFiles(game), removeData);
    for (const std::string& file : plan.m_files)
        DeleteFileA(PathOf(game, file).c_str());
    for (const std::string& folder : plan.m_folders)
        RemoveDirectoryA(PathOf(game, folder).c_str());

    // The registration goes only where it names this installation: after an install into another
    // game folder, the shortcuts, the uninstall entry and the settings are that one's.
    std::string group;
    {
        wingui::CComApartment com;
        CInstallSettings all;
        all.m_strGameFolder = game;
        for (const CShortcutSpec& shortcut : PlanShortcuts(all)) {
            std::string link = ShortcutLinkPath(shortcut);
            if (NamesSamePath(ShortcutTarget(link), shortcut.m_strTarget))
                DeleteFileA(link.c_str());
            if (!shortcut.m_strGroupFolder.empty())
                group = link.substr(0, link.find_last_of('\\'));
        }
    }
    if (!group.empty())
        RemoveDirectoryA(group.c_str());  // only when empty

    // Settings and the uninstall entry go only when they are this installation's.
    platform::CRegKey settings, entry;
    const std::string gamePath = settings.Open(HKEY_CURRENT_USER, kSettingsKeyPath)
                                     ? settings.ReadString("GamePath").value_or(std::string())
                                     : std::string();
    settings.Close();
    if (gamePath.empty() || NamesSamePath(gamePath, game))
        SHDeleteKeyA(HKEY_CURRENT_USER, kTollanKeyPath);
    const std::string command = entry.Open(HKEY_LOCAL_MACHINE, kUninstallKeyPath)
                                    ? entry.ReadString("UninstallString").value_or(std::string())
                                    : std::string();
    entry.Close();
    if (command.empty() || NamesSamePath(command, UninstallCommand(game)))
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kUninstallKeyPath);

    // Our own file is still in use: rundll32 runs MagicDel, which removes it after a pause, then
    // the library itself. The path goes unquoted: MagicDel takes it unchanged.
    const std::string library = WriteDeleteLibrary();
    char system[MAX_PATH] = "";
    if (library.empty() || !GetSystemDirectoryA(system, MAX_PATH))
        return 1;
    std::string commandLine = "\"" + std::string(system) + "\\rundll32.exe\" \"" + library + "\",MagicDel " + selfPath;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, system, &si, &pi)) {
        DeleteFileA(library.c_str());
        return 1;
    }
    platform::CHandle thread(pi.hThread), process(pi.hProcess);
    return 0;
}
