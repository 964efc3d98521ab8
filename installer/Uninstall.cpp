// Uninstall.exe: removes what the Installer put in place: the program files, the shortcuts,
// Tollan's settings and the uninstall entry. The user's configurations and logs stay unless the
// user agrees to remove them too. Its own file goes last: Delete.dll, started under rundll32,
// removes it once this process has ended.
#include "base/Names.h"
#include "installer/InstallPlan.h"
#include "installer/Registration.h"
#include "installer/resource.h"

#include <windows.h>
#include <shlwapi.h>

#include <string>

namespace {

const char* const kTitle = "Tollan";

bool Ask(const std::string& text, bool defaultYes)
{
    UINT style = MB_YESNO | MB_ICONQUESTION | (defaultYes ? MB_DEFBUTTON1 : MB_DEFBUTTON2);
    return MessageBoxA(nullptr, text.c_str(), kTitle, style) == IDYES;
}

void RemoveFilesIn(const std::string& folder)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            DeleteFileA((folder + "\\" + fd.cFileName).c_str());
    } while (FindNextFileA(h, &fd));
    FindClose(h);
}

// Delete.dll from our resources into a file of its own in the temp folder.
std::string WriteDeleteLibrary()
{
    HRSRC res = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_DELETE_DLL), RT_RCDATA);
    HGLOBAL loaded = res ? LoadResource(nullptr, res) : nullptr;
    const void* data = loaded ? LockResource(loaded) : nullptr;
    DWORD size = data ? SizeofResource(nullptr, res) : 0;
    char temp[MAX_PATH] = "";
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (!data || n == 0 || n >= sizeof temp)
        return std::string();
    for (unsigned i = 0; i < 100; ++i) {
        char path[MAX_PATH + 64];
        wsprintfA(path, "%sTollanDelete-%lu-%u.dll", temp, GetCurrentProcessId(), i);
        // Never over a file that is already there.
        HANDLE f = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE)
            continue;
        DWORD written = 0;
        BOOL ok = WriteFile(f, data, size, &written, nullptr) && written == size;
        CloseHandle(f);
        if (ok)
            return path;
        DeleteFileA(path);
        return std::string();
    }
    return std::string();
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

    for (const char* file : {"Tollan.exe", "Updater.exe", "ReadMe.txt"})
        DeleteFileA((utility + "\\" + file).c_str());
    if (removeData) {
        for (const char* file : {"History.ini", "HistoryTemp.ini", "Tollan.log", "Installation.log"})
            DeleteFileA((utility + "\\" + file).c_str());
        for (const char* folder : {"Config", "MapLists"}) {
            RemoveFilesIn(utility + "\\" + folder);
            RemoveDirectoryA((utility + "\\" + folder).c_str());
        }
    }
    // The payload's two folders at the game folder's top go when nothing was put in them.
    for (const char* folder : {"Config", "MapLists"})
        RemoveDirectoryA((game + "\\" + folder).c_str());

    CInstallSettings all;
    all.m_strGameFolder = game;
    std::string group;
    for (const CShortcutSpec& spec : PlanShortcuts(all)) {
        std::string link = ShortcutLinkPath(spec);
        DeleteFileA(link.c_str());
        if (!spec.m_strGroupFolder.empty())
            group = link.substr(0, link.find_last_of('\\'));
    }
    if (!group.empty())
        RemoveDirectoryA(group.c_str());

    SHDeleteKeyA(HKEY_CURRENT_USER, kTollanKeyPath);
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
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
