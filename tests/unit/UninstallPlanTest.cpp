#include "installer/InstallPlan.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

// The quoted names of one list of make_payload.py ("FOLDERS = [" ... "]").
Names PythonList(const std::string& text, const std::string& name)
{
    Names names;
    std::size_t pos = text.find(name + " = [");
    const std::size_t end = text.find(']', pos);
    while (pos != std::string::npos && (pos = text.find('"', pos + 1)) < end) {
        const std::size_t close = text.find('"', pos + 1);
        names.push_back(text.substr(pos + 1, close - pos - 1));
        pos = close;
    }
    return names;
}

TEST(UninstallPlan, ThePayloadsEntriesAreThoseTheBuildPacks)
{
    const std::string script = ReadFile(std::string(TOLLAN_SOURCE_DIR) + "/installer/make_payload.py");
    Names packed = PythonList(script, "FOLDERS");
    const Names files = PythonList(script, "FILES");
    packed.insert(packed.end(), files.begin(), files.end());
    EXPECT_EQ(Names(std::begin(kPayloadEntries), std::end(kPayloadEntries)), packed);

    // A reinstall keeps exactly the four defaults the user may have changed.
    Names kept;
    for (const char* entry : kPayloadEntries)
        if (IsUserDataEntry(entry))
            kept.push_back(entry);
    EXPECT_EQ(kept, (Names{"DedicatedServerUtility/History.ini", "DedicatedServerUtility/MapLists/MapList.txt",
                           "DedicatedServerUtility/Config/NormalCOOP.cfg",
                           "DedicatedServerUtility/Config/NormalDM.cfg"}));
}

TEST(UninstallPlan, ProgramFilesAlwaysGoTheUsersDataOnlyWhenAskedAndOtherFilesStay)
{
    const Names found = {
        "DedicatedServerUtility/Tollan.exe",        "DedicatedServerUtility/Uninstall.exe",
        "DedicatedServerUtility/History.ini",       "DedicatedServerUtility/HistoryTemp.ini",
        "DedicatedServerUtility/Tollan.log",        "DedicatedServerUtility/Installation.log",
        "DedicatedServerUtility/Notes.txt",         "DedicatedServerUtility/Config/NormalDM.cfg",
        "DedicatedServerUtility/Config/MineTemp.cfg", "DedicatedServerUtility/MapLists/Mine.txt",
        "DedicatedServerUtility/Logs/2024-05-01 10-00-00 NormalDM.log",
    };
    const Names programs = {"DedicatedServerUtility/Tollan.exe", "DedicatedServerUtility/Updater.exe",
                            "DedicatedServerUtility/ReadMe.txt"};
    const Names topFolders = {"Config", "MapLists"};

    CUninstallPlan keep = PlanUninstall(found, false);
    EXPECT_EQ(keep.m_files, programs);
    EXPECT_EQ(keep.m_folders, topFolders);

    CUninstallPlan all = PlanUninstall(found, true);
    Names files = programs;
    for (const char* name : {"History.ini", "HistoryTemp.ini", "Tollan.log", "Installation.log", "Config/NormalDM.cfg",
                             "Config/MineTemp.cfg", "MapLists/Mine.txt", "Logs/2024-05-01 10-00-00 NormalDM.log"})
        files.push_back(std::string("DedicatedServerUtility/") + name);
    EXPECT_EQ(all.m_files, files);
    EXPECT_EQ(all.m_folders,
              (Names{"DedicatedServerUtility/Config", "DedicatedServerUtility/MapLists", "DedicatedServerUtility/Logs",
                     "Config", "MapLists"}));
}

TEST(UninstallPlan, ItActsOnlyFromAFolderNamedDedicatedServerUtility)
{
    for (const char* folder : {"C:\\Games\\DQ2\\DedicatedServerUtility", "C:\\Games\\DQ2\\dedicatedserverutility",
                               "/games/dq2/DedicatedServerUtility", "DedicatedServerUtility"})
        EXPECT_TRUE(IsUtilityFolder(folder)) << folder;
    for (const char* folder : {"C:\\Users\\Me\\Downloads", "C:\\Games\\DQ2\\DedicatedServerUtility - Copy",
                               "C:\\DedicatedServerUtility\\Sub", "C:\\XDedicatedServerUtility", ""})
        EXPECT_FALSE(IsUtilityFolder(folder)) << folder;
}

TEST(UninstallPlan, TheRegistrationIsRemovedOnlyWhereItNamesThisInstallation)
{
    const std::string ours = "C:\\Games\\DQ2\\DedicatedServerUtility\\Uninstall.exe";
    for (const std::string& same : {ours, "\"" + ours + "\"", std::string("c:\\games\\dq2\\dedicatedserverutility\\uninstall.exe")})
        EXPECT_TRUE(NamesSamePath(same, ours)) << same;
    EXPECT_TRUE(NamesSamePath("C:\\Games\\DQ2\\", "C:\\Games\\DQ2"));
    for (const std::string& other : {std::string(""), std::string("D:\\Games\\DQ2\\DedicatedServerUtility\\Uninstall.exe"),
                                     std::string("C:\\Games\\DQ2 Test\\DedicatedServerUtility\\Uninstall.exe")})
        EXPECT_FALSE(NamesSamePath(other, ours)) << other;
}

}  // namespace
