#include "installer/InstallPlan.h"

#include "base/GamePaths.h"

const char* const kUninstallDisplayName = "Dravic Qel 2 Dedicated Server Utility";

std::string InstallTargetFolder(const std::string& gameFolder) { return UtilityFolderPath(gameFolder); }

std::string GameFolderFromChosen(const std::string& chosen)
{
    std::string folder = chosen;
    while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/'))
        folder.pop_back();
    return folder;
}

bool IsSafeEntryName(const std::string& name)
{
    if (name.empty() || name[0] == '/' || name[0] == '\\')
        return false;
    return name.find("..") == std::string::npos && name.find(':') == std::string::npos;
}

bool IsUserDataEntry(const std::string& name)
{
    static const char* const kUserData[] = {
        "DedicatedServerUtility/History.ini",
        "DedicatedServerUtility/MapLists/MapList.txt",
        "DedicatedServerUtility/Config/NormalCOOP.cfg",
        "DedicatedServerUtility/Config/NormalDM.cfg",
    };
    for (const char* entry : kUserData)
        if (name == entry)
            return true;
    return false;
}

namespace {
// Shortcuts and the uninstall entry are Windows data: their paths always use "\".
std::string WindowsTarget(const std::string& gameFolder) { return gameFolder + "\\DedicatedServerUtility"; }
}  // namespace

std::string UninstallCommand(const std::string& gameFolder)
{
    std::string path = WindowsTarget(gameFolder) + "\\Uninstall.exe";
    return path.find(' ') == std::string::npos ? path : "\"" + path + "\"";
}

std::vector<CShortcutSpec> PlanShortcuts(const CInstallSettings& settings)
{
    const std::string folder = WindowsTarget(settings.m_strGameFolder);
    const std::string updater = folder + "\\Updater.exe";
    const char* const description = "Quorvably Dedicated!";
    const char* const group = "DQ2 Dedicated Server Utility";
    std::vector<CShortcutSpec> plan;
    if (settings.m_bDesktopIcons)
        plan.push_back({0, "", "DQ2 Dedicated Server Utility.lnk", updater, folder, description});
    if (settings.m_bQuickLaunchIcons)
        plan.push_back({26, "", "Microsoft\\Internet Explorer\\Quick Launch\\DQ2 Dedicated Server Utility.lnk",
                        updater, folder, description});
    if (settings.m_bStartMenuIcons) {
        plan.push_back({2, group, "DQ2 Dedicated Server Utility\\DQ2 Dedicated Server Utility.lnk", updater,
                        folder, description});
        plan.push_back({2, group, "DQ2 Dedicated Server Utility\\Uninstall DQ2 Dedicated Server Utility.lnk",
                        folder + "\\Uninstall.exe", folder, ""});
    }
    return plan;
}
