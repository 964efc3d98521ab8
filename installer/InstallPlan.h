// What the installation writes where: the target folder, the payload's rules for entries, the
// shortcuts and the uninstall entry. Pure functions; the Win32 shell carries them out.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

// The choices of the wizard's pages, read by the run.
struct CInstallSettings {
    std::string m_strGameFolder;
    bool m_bStartMenuIcons = true;
    bool m_bDesktopIcons = true;
    bool m_bQuickLaunchIcons = true;
    bool m_bLaunchUtility = false;
    bool m_bViewReadMe = false;
};

// "<game>\DedicatedServerUtility", whatever the game folder ends with.
std::string InstallTargetFolder(const std::string& gameFolder);

// A folder the browser returned, as a game folder: trailing separators go, so a drive root
// "C:\" becomes "C:" and the paths built from it keep single separators.
std::string GameFolderFromChosen(const std::string& chosen);

// An entry name may only name a place below the extraction base: no "..", no leading "/" or
// "\", no ":" (drive letters, alternate streams), and not empty.
bool IsSafeEntryName(const std::string& name);

// The payload's entries in archive order, as installer/make_payload.py puts them together; a
// name ending in "/" is a folder entry.
extern const char* const kPayloadEntries[10];

// The user's own data below the game folder, named as entries are ("DedicatedServerUtility/..."):
// the configuration store and its twin, the two logs, and everything in the folders of the
// options scripts, the map lists and the runs' logs. A reinstall keeps an existing copy; the uninstaller removes it
// only when the user agrees.
bool IsUserDataEntry(const std::string& name);

// The longest game folder the installation fits below. Every line the run and its finishing
// actions log then stays whole within the log's 255 characters (the longest reads
// "  Error!  ShellExecute() failed to open: <game>\DedicatedServerUtility\ReadMe.txt.\n"), and
// every path it writes stays within the 259 characters of the ANSI file calls.
constexpr std::size_t kMaxGameFolderChars = 178;
bool GameFolderFits(const std::string& gameFolder);

// Registry data of the uninstall entry. The path is quoted when it holds a blank, so that the
// system does not split it; without one it is the bare path.
std::string UninstallCommand(const std::string& gameFolder);
extern const char* const kUninstallDisplayName;

// One shortcut of the additional-tasks page, in the order they are made.
struct CShortcutSpec {
    int m_nSpecialFolder = 0;       // CSIDL_DESKTOP 0, CSIDL_PROGRAMS 2, CSIDL_APPDATA 26
    std::string m_strGroupFolder;   // created below the special folder when not empty
    std::string m_strLinkName;      // below the special folder, "\" separated
    std::string m_strTarget;
    std::string m_strWorkingFolder;
    std::string m_strDescription;   // empty: none is set
};
std::vector<CShortcutSpec> PlanShortcuts(const CInstallSettings& settings);

// What Uninstall.exe removes below the game folder, names as entries are ("/" separated, below
// the game folder). `found` lists the files it found in the utility folder and in its Config and
// MapLists folders. Program files always go (its own file excepted: Delete.dll removes that once
// it has ended), the user's data only when asked; a file that is neither stays.
struct CUninstallPlan {
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;  // removed in this order, each only when empty
};
CUninstallPlan PlanUninstall(const std::vector<std::string>& found, bool removeUserData);
extern const char* const kUninstallerEntry;  // DedicatedServerUtility/Uninstall.exe

// Uninstall.exe acts only from a folder named DedicatedServerUtility (in any letter case, as the
// file system compares it): a copy elsewhere would remove another folder's files.
bool IsUtilityFolder(const std::string& folder);

// Whether a path the registration holds (a shortcut's target, the uninstall entry's command,
// GamePath) names `ours`, letter case, surrounding quotes and trailing separators aside. An empty
// one names nothing.
bool NamesSamePath(const std::string& registered, const std::string& ours);
