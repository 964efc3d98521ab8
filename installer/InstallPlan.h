// What the installation writes where: the target folder, the payload's rules for entries, the
// shortcuts and the uninstall entry. Pure functions; the Win32 shell carries them out.
#pragma once
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

// The user's own data among the payload's entries: a reinstall keeps an existing copy.
bool IsUserDataEntry(const std::string& name);

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
