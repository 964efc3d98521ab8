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

const char* const kPayloadEntries[10] = {
    "Config/",
    "MapLists/",
    "DedicatedServerUtility/History.ini",
    "DedicatedServerUtility/Tollan.exe",
    "DedicatedServerUtility/MapLists/MapList.txt",
    "DedicatedServerUtility/Config/NormalCOOP.cfg",
    "DedicatedServerUtility/Config/NormalDM.cfg",
    "DedicatedServerUtility/Updater.exe",
    "DedicatedServerUtility/Uninstall.exe",
    "DedicatedServerUtility/ReadMe.txt",
};
const char* const kUninstallerEntry = "DedicatedServerUtility/Uninstall.exe";

namespace {
const char* const kUtility = "DedicatedServerUtility";

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool IsFolderEntry(const std::string& name) { return !name.empty() && name.back() == '/'; }
}  // namespace

bool IsUserDataEntry(const std::string& name)
{
    const std::string utility = std::string(kUtility) + "/";
    if (!StartsWith(name, utility))
        return false;
    const std::string rest = name.substr(utility.size());
    for (const char* file : {"History.ini", "HistoryTemp.ini", "Tollan.log", "Installation.log"})
        if (rest == file)
            return true;
    for (const char* folder : {"Config/", "MapLists/", "Logs/"})
        if (StartsWith(rest, folder) && rest.size() > std::string(folder).size())
            return true;
    return false;
}

bool GameFolderFits(const std::string& gameFolder) { return gameFolder.size() <= kMaxGameFolderChars; }

CUninstallPlan PlanUninstall(const std::vector<std::string>& found, bool removeUserData)
{
    CUninstallPlan plan;
    for (const char* entry : kPayloadEntries)
        if (!IsFolderEntry(entry) && !IsUserDataEntry(entry) && entry != std::string(kUninstallerEntry))
            plan.m_files.push_back(entry);
    if (removeUserData) {
        for (const std::string& name : found)
            if (IsUserDataEntry(name))
                plan.m_files.push_back(name);
        for (const char* folder : {"Config", "MapLists", "Logs"})
            plan.m_folders.push_back(std::string(kUtility) + "/" + folder);
    }
    // The payload's folders at the game folder's top go when nothing was put in them.
    for (const char* entry : kPayloadEntries)
        if (IsFolderEntry(entry))
            plan.m_folders.push_back(std::string(entry, std::string(entry).size() - 1));
    return plan;
}

namespace {
// Windows compares file names without regard to letter case.
std::string Folded(std::string s)
{
    for (char& c : s)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return s;
}
}  // namespace

bool IsUtilityFolder(const std::string& folder)
{
    const std::size_t slash = folder.find_last_of("\\/");
    const std::string last = slash == std::string::npos ? folder : folder.substr(slash + 1);
    return Folded(last) == Folded(kUtility);
}

bool NamesSamePath(const std::string& registered, const std::string& ours)
{
    auto plain = [](std::string s) {
        if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
            s = s.substr(1, s.size() - 2);
        while (!s.empty() && (s.back() == '\\' || s.back() == '/'))
            s.pop_back();
        return Folded(s);
    };
    return !registered.empty() && plain(registered) == plain(ours);
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
