#include "installer/InstallRun.h"
#include "platform/Platform.h"
#include "tests/unit/TestFiles.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <zip.h>

#include <ctime>
#include <string>
#include <utility>
#include <vector>

namespace {

using Entries = std::vector<std::pair<std::string, std::string>>;

// The payload's entries in archive order; a name ending in "/" is a folder entry.
const Entries kPayload = {
    {"Config/", ""},
    {"MapLists/", ""},
    {"DedicatedServerUtility/History.ini", "history\r\n"},
    {"DedicatedServerUtility/Tollan.exe", std::string("MZ\0\1program", 11)},
    {"DedicatedServerUtility/MapLists/MapList.txt", "maplist\r\n"},
    {"DedicatedServerUtility/Config/NormalCOOP.cfg", "coop\r\n"},
    {"DedicatedServerUtility/Config/NormalDM.cfg", "dm\r\n"},
    {"DedicatedServerUtility/Updater.exe", "MZupdater"},
    {"DedicatedServerUtility/Uninstall.exe", "MZuninstall"},
    {"DedicatedServerUtility/ReadMe.txt", "readme\r\n"},
};

// Every entry carries this time stamp: 17 May 2009, 10:20:30 local time.
std::string MakePayload(const TempDir& dir, const Entries& entries)
{
    const std::string path = dir / "payload.zip";
    zipFile zf = zipOpen(path.c_str(), APPEND_STATUS_CREATE);
    for (const auto& e : entries) {
        zip_fileinfo info{};
        info.tmz_date = {30, 20, 10, 17, 4, 2009};
        zipOpenNewFileInZip(zf, e.first.c_str(), &info, nullptr, 0, nullptr, 0, nullptr, Z_DEFLATED,
                            Z_DEFAULT_COMPRESSION);
        zipWriteInFileInZip(zf, e.second.data(), static_cast<unsigned>(e.second.size()));
        zipCloseFileInZip(zf);
    }
    zipClose(zf, nullptr);
    return ReadFile(path);
}

// Records what the run asks of the wizard and the system; every system call succeeds unless
// a test says otherwise.
struct CFakeHost : CInstallView, CInstallSystem {
    std::string m_strPayload;
    bool m_bHasPayload = true;
    bool m_bUtilityRunning = false;
    bool m_bTempFolderFails = false;
    bool m_bRegistryFails = false;
    EShortcutResult m_shortcutResult = EShortcutResult::Saved;
    std::string m_strTempRoot;

    std::vector<unsigned> m_pauses;
    std::vector<std::string> m_events;     // wizard changes
    std::vector<std::string> m_registry;   // registry writes
    std::vector<std::string> m_tempFolders;
    int m_nRange = -1, m_nPos = -1;
    bool m_bEnd = false, m_bStopped = false;
    std::string m_strStatus = "Extracting files...";
    std::string m_strDetail = "Extracting files...";

    void HideBackAndNext() override { m_events.push_back("hide back+next"); }
    void SetHeader(const char* t, const char* s) override { m_events.push_back(std::string(t) + "|" + s); }
    void SetStatusLine(const std::string& text) override { m_strStatus = text; }
    void SetDetailLine(const std::string& text) override { m_strDetail = text; }
    void SetProgressRange(int n) override { m_nRange = n; }
    void SetProgressPos(int pos) override
    {
        EXPECT_EQ(pos, m_nPos < 0 ? 1 : m_nPos + 1);
        m_nPos = pos;
    }
    void ShowEndState() override { m_bEnd = true; }
    void ShowStopped() override { m_bStopped = true; }
    void Pause(unsigned ms) override { m_pauses.push_back(ms); }
    bool IsUtilityRunning() override { return m_bUtilityRunning; }
    bool GetPayload(const void*& data, std::size_t& size) override
    {
        data = m_strPayload.data();
        size = m_strPayload.size();
        return m_bHasPayload;
    }
    std::string MakeTempFolder() override
    {
        if (m_bTempFolderFails)
            return "";
        std::string folder = m_strTempRoot + "/tmp" + std::to_string(m_tempFolders.size());
        platform::MakeDirectory(folder);
        m_tempFolders.push_back(folder);
        return folder;
    }
    void RemoveTempFolder(const std::string& folder) override
    {
        EXPECT_EQ(folder, m_tempFolders.back());
        EXPECT_FALSE(FileExistsAt(folder + "/Installer.zip"));
        rmdir(folder.c_str());
    }
    EShortcutResult MakeShortcut(const CShortcutSpec& spec, std::string& linkPath) override
    {
        linkPath = "L\\" + spec.m_strLinkName;
        return m_shortcutResult;
    }
    bool WriteSettingsNumber(const char* name, std::uint32_t value) override
    {
        m_registry.push_back(std::string(name) + "=" + std::to_string(value));
        return !m_bRegistryFails;
    }
    bool WriteSettingsText(const char* name, const std::string& text) override
    {
        m_registry.push_back(std::string(name) + "=" + text);
        return !m_bRegistryFails;
    }
    bool WriteUninstallEntry(const std::string& displayName, const std::string& command) override
    {
        m_registry.push_back(displayName + "=" + command);
        return !m_bRegistryFails;
    }
};

struct InstallRunTest : ::testing::Test {
    TempDir m_dir;
    std::string m_strGame = m_dir / "Dravic Qel 2";
    CFakeHost m_host;
    CInstallSettings m_settings;

    void SetUp() override
    {
        platform::MakeDirectory(m_strGame);
        platform::MakeDirectory(m_dir / "temp");
        ResetHost();
        m_settings.m_strGameFolder = m_strGame;
    }
    std::vector<std::string> Run(const Entries& payload = kPayload) { return RunOn(MakePayload(m_dir, payload)); }
    // The log of one run on the given payload bytes, line by line.
    std::vector<std::string> RunOn(const std::string& payloadBytes)
    {
        m_host.m_strPayload = payloadBytes;
        CInstallationLog log;
        EXPECT_TRUE(log.Open(m_dir / "Installation.log"));
        RunInstallation(m_host, m_host, log, m_settings);
        log.Close();
        std::vector<std::string> lines;
        std::string text = ReadFile(m_dir / "Installation.log");
        for (size_t pos = 0, end; pos < text.size(); pos = end + 2) {
            end = text.find("\r\n", pos);
            EXPECT_NE(end, std::string::npos) << "every line ends in CR LF";
            lines.push_back(text.substr(pos, end - pos));
        }
        return lines;
    }
    void ResetHost()
    {
        m_host = CFakeHost();
        m_host.m_strTempRoot = m_dir / "temp";
    }
    std::string Installed(const std::string& name) const { return ReadFile(m_strGame + "/" + name); }
    void ExpectStoppedWithoutRegistration()
    {
        EXPECT_TRUE(m_host.m_bStopped);
        EXPECT_FALSE(m_host.m_bEnd);
        EXPECT_EQ(m_host.m_strStatus, kStoppedStatus);
        EXPECT_TRUE(m_host.m_registry.empty());
    }
};

TEST_F(InstallRunTest, CompleteRunUnpacksInOrderAndLogsEveryStep)
{
    const std::string G = m_strGame;
    const std::string L = "  L\\";
    std::vector<std::string> expected = {
        "Created Installer.zip file.", "", "Extracting files from Installer.zip..."};
    for (size_t i = 2; i < kPayload.size(); ++i)
        expected.push_back("  " + G + "\\" + kPayload[i].first);
    for (const char* line :
         {"", "Installer.zip Deleted.", "", "Creating Shortcuts..."})
        expected.push_back(line);
    expected.push_back(L + "DQ2 Dedicated Server Utility.lnk created.");
    expected.push_back(L + "Microsoft\\Internet Explorer\\Quick Launch\\DQ2 Dedicated Server Utility.lnk created.");
    expected.push_back(L + "DQ2 Dedicated Server Utility\\DQ2 Dedicated Server Utility.lnk created.");
    expected.push_back(L + "DQ2 Dedicated Server Utility\\Uninstall DQ2 Dedicated Server Utility.lnk created.");
    for (const char* line :
         {"", "Creating Registry Values...",
          "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings CurrentVersion Value Created",
          "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings GamePath Value Created",
          "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings CheckForUpdate Value Created",
          "  HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollan Values Created", "",
          "Installation Tasks Completed Successfully."})
        expected.push_back(line);

    EXPECT_EQ(Run(), expected);

    for (size_t i = 2; i < kPayload.size(); ++i)
        EXPECT_EQ(Installed(kPayload[i].first), kPayload[i].second) << kPayload[i].first;
    EXPECT_TRUE(platform::IsDirectory(G + "/Config"));
    EXPECT_TRUE(platform::IsDirectory(G + "/MapLists"));
    EXPECT_FALSE(FileExistsAt(G + "/DedicatedServerUtility/Tollan.exe.new"));
    struct stat st{};
    ASSERT_EQ(stat((G + "/DedicatedServerUtility/Tollan.exe").c_str(), &st), 0);
    std::tm local{};
    localtime_r(&st.st_mtime, &local);
    EXPECT_EQ(std::vector<int>({local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                local.tm_min, local.tm_sec}),
              std::vector<int>({2009, 5, 17, 10, 20, 30}));

    EXPECT_EQ(m_host.m_events, std::vector<std::string>(
                                   {"hide back+next",
                                    "Installing|The program features you have selected are being installed."}));
    EXPECT_EQ(m_host.m_nRange, 10);
    EXPECT_EQ(m_host.m_nPos, 10);
    std::vector<unsigned> pauses = {100};
    pauses.insert(pauses.end(), 10, 100);
    pauses.insert(pauses.end(), {200, 200, 100});
    EXPECT_EQ(m_host.m_pauses, pauses);
    EXPECT_EQ(m_host.m_registry, std::vector<std::string>({"CurrentVersion=5", "GamePath=" + G, "CheckForUpdate=0",
                                                           "Dravic Qel 2 Dedicated Server Utility=\"" + G +
                                                               "\\DedicatedServerUtility\\Uninstall.exe\""}));
    EXPECT_EQ(m_host.m_strStatus, "Installation Tasks Completed Successfully.");
    EXPECT_TRUE(m_host.m_bEnd);
    EXPECT_FALSE(m_host.m_bStopped);
    ASSERT_EQ(m_host.m_tempFolders.size(), 1u);
    EXPECT_FALSE(platform::IsDirectory(m_host.m_tempFolders[0]));
}

TEST_F(InstallRunTest, ReinstallKeepsTheUsersDataAndReplacesProgramFiles)
{
    platform::MakeDirectory(m_strGame + "/DedicatedServerUtility");
    platform::MakeDirectory(m_strGame + "/DedicatedServerUtility/Config");
    WriteFile(m_strGame + "/DedicatedServerUtility/History.ini", "mine");
    WriteFile(m_strGame + "/DedicatedServerUtility/Config/NormalDM.cfg", "my dm");
    WriteFile(m_strGame + "/DedicatedServerUtility/Tollan.exe", "old program");

    std::vector<std::string> log = Run();

    EXPECT_EQ(Installed("DedicatedServerUtility/History.ini"), "mine");
    EXPECT_EQ(Installed("DedicatedServerUtility/Config/NormalDM.cfg"), "my dm");
    EXPECT_EQ(Installed("DedicatedServerUtility/Tollan.exe"), kPayload[3].second);
    EXPECT_EQ(Installed("DedicatedServerUtility/Config/NormalCOOP.cfg"), "coop\r\n");
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log[3], "  " + m_strGame + "\\DedicatedServerUtility/History.ini already exists and is kept.");
    EXPECT_EQ(log[4], "  " + m_strGame + "\\DedicatedServerUtility/Tollan.exe");
    EXPECT_EQ(log[7], "  " + m_strGame + "\\DedicatedServerUtility/Config/NormalDM.cfg already exists and is kept.");
    EXPECT_TRUE(m_host.m_bEnd);
}

TEST_F(InstallRunTest, RunsThatStopBeforeUnpackingLogOneErrorAndRegisterNothing)
{
    struct Case {
        const char* m_pszWhat;
        void (*m_arrange)(CFakeHost&);
        std::vector<std::string> m_log;
        bool m_bPayloadValid;
    };
    const std::string running =
        "  Error!  The DQ2 Dedicated Server Utility is running. Close it, then run the Installer again.";
    const std::vector<Case> cases = {
        {"Tollan running", [](CFakeHost& h) { h.m_bUtilityRunning = true; }, {running}, true},
        {"no payload", [](CFakeHost& h) { h.m_bHasPayload = false; },
         {"  Error!  Failed to Create Installer.zip file."}, true},
        {"no temp folder", [](CFakeHost& h) { h.m_bTempFolderFails = true; },
         {"  Error!  Failed to Create Installer.zip file."}, true},
        {"damaged payload", [](CFakeHost&) {},
         {"Created Installer.zip file.", "", "  Error!  Failed to Open Installer.zip file."}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.m_pszWhat);
        ResetHost();
        c.m_arrange(m_host);
        EXPECT_EQ(c.m_bPayloadValid ? Run() : RunOn("PK\3\4 not an archive"), c.m_log);
        ExpectStoppedWithoutRegistration();
        EXPECT_FALSE(platform::IsDirectory(m_strGame + "/DedicatedServerUtility"));
        for (const std::string& folder : m_host.m_tempFolders)
            EXPECT_FALSE(platform::IsDirectory(folder));
    }
}

TEST_F(InstallRunTest, UnsafeOrUnwritableEntriesEndTheRunInTheErrorState)
{
    platform::MakeDirectory(m_strGame + "/DedicatedServerUtility");
    // A folder where Updater.exe belongs: the file cannot take its place, as with a locked file.
    platform::MakeDirectory(m_strGame + "/DedicatedServerUtility/Updater.exe");
    Entries payload = {{"../Escaped.txt", "x"},
                       {"/Rooted.txt", "x"},
                       {"C:Drive.txt", "x"},
                       {"DedicatedServerUtility/Updater.exe", "MZ"},
                       {"DedicatedServerUtility/ReadMe.txt", "readme"}};
    std::vector<std::string> log = Run(payload);

    const std::string G = m_strGame;
    EXPECT_EQ(log, std::vector<std::string>(
                       {"Created Installer.zip file.", "", "Extracting files from Installer.zip...",
                        "  Error!  Refused the unsafe entry name ../Escaped.txt.",
                        "  Error!  Refused the unsafe entry name /Rooted.txt.",
                        "  Error!  Refused the unsafe entry name C:Drive.txt.",
                        "  Error!  Failed to extract " + G + "\\DedicatedServerUtility/Updater.exe.",
                        "  " + G + "\\DedicatedServerUtility/ReadMe.txt", "", "Installer.zip Deleted.", "",
                        "  Error!  4 of 5 entries could not be installed; no shortcut or registry value was "
                        "created."}));
    EXPECT_FALSE(FileExistsAt(m_dir / "Escaped.txt"));
    EXPECT_FALSE(FileExistsAt(G + "/DedicatedServerUtility/Updater.exe.new"));
    EXPECT_EQ(m_host.m_nPos, 5);
    ExpectStoppedWithoutRegistration();
}

TEST_F(InstallRunTest, ShortcutAndRegistryOutcomesAreLoggedOnlyAsTheyHappened)
{
    // No shortcut box ticked, every registry write failing: the run still completes.
    m_settings.m_bDesktopIcons = m_settings.m_bQuickLaunchIcons = m_settings.m_bStartMenuIcons = false;
    m_host.m_bRegistryFails = true;
    std::vector<std::string> log = Run();
    ASSERT_EQ(log.size(), 19u);
    EXPECT_EQ(std::vector<std::string>(log.begin() + 12, log.end()),
              std::vector<std::string>({"Installer.zip Deleted.", "", "Creating Shortcuts...", "",
                                        "Creating Registry Values...", "",
                                        "Installation Tasks Completed Successfully."}));
    EXPECT_TRUE(m_host.m_bEnd);

    // The desktop shortcut alone: a skipped one leaves no line, a failed one its error line.
    m_settings.m_bDesktopIcons = true;
    for (auto result : {CInstallSystem::EShortcutResult::Skipped, CInstallSystem::EShortcutResult::Failed}) {
        ResetHost();
        m_host.m_shortcutResult = result;
        log = Run();
        ASSERT_GE(log.size(), 23u);
        std::vector<std::string> shortcutLines(log.begin() + 15, log.end() - 8);
        EXPECT_EQ(shortcutLines, result == CInstallSystem::EShortcutResult::Skipped
                                     ? std::vector<std::string>()
                                     : std::vector<std::string>({"  Error!  L\\DQ2 Dedicated Server Utility.lnk NOT "
                                                                 "Written! CreateShortCut() failed!"}));
    }
}

TEST_F(InstallRunTest, AStopWithoutALogNamesTheFolderTheLogCouldNotBeWrittenIn)
{
    // A file where the utility's folder belongs: neither the log nor any entry can be written.
    WriteFile(m_strGame + "/DedicatedServerUtility", "in the way");
    m_host.m_strPayload = MakePayload(m_dir, kPayload);
    CInstallationLog notOpen;
    EXPECT_FALSE(RunInstallation(m_host, m_host, notOpen, m_settings));
    EXPECT_TRUE(m_host.m_bStopped);
    EXPECT_EQ(m_host.m_strStatus, "The installation has stopped. Installation.log could not be written in:");
    EXPECT_EQ(m_host.m_strDetail, m_strGame + "/DedicatedServerUtility");
    EXPECT_TRUE(m_host.m_registry.empty());
}

TEST_F(InstallRunTest, BelowTheLongestGameFolderEveryLogLineStaysWhole)
{
    // The longest lines of a run are those of the kept entries on a reinstall.
    const std::string base = m_dir / "";
    m_strGame = base + std::string(kMaxGameFolderChars - base.size(), 'g');
    m_settings.m_strGameFolder = m_strGame;
    for (const char* folder : {"", "/DedicatedServerUtility", "/DedicatedServerUtility/Config"})
        platform::MakeDirectory(m_strGame + folder);
    WriteFile(m_strGame + "/DedicatedServerUtility/Config/NormalCOOP.cfg", "mine");
    std::vector<std::string> log = Run();
    ASSERT_GE(log.size(), 8u);
    EXPECT_EQ(log[6], "  " + m_strGame + "\\DedicatedServerUtility/Config/NormalCOOP.cfg already exists and is kept.");
    EXPECT_EQ(log[7], "  " + m_strGame + "\\DedicatedServerUtility/Config/NormalDM.cfg");
    EXPECT_TRUE(m_host.m_bEnd);
}

TEST(InstallationLog, CutsEachMessageAt255AndWritesCrLf)
{
    TempDir dir;
    CInstallationLog log;
    EXPECT_FALSE(log.Open(dir / "missing/Installation.log"));
    log.Printf("nothing is written while closed\n");
    ASSERT_TRUE(log.Open(dir / "Installation.log"));
    log.Printf("%s\n", std::string(300, 'x').c_str());
    log.Printf("a %d%%\n\n", 5);
    log.Close();
    EXPECT_EQ(ReadFile(dir / "Installation.log"), std::string(255, 'x') + "a 5%\r\n\r\n");
}

TEST(InstallPlan, NamesPathsAndShortcutsFollowTheGameFolder)
{
    EXPECT_EQ(UninstallCommand("C:\\Games\\DQ2"), "C:\\Games\\DQ2\\DedicatedServerUtility\\Uninstall.exe");
    EXPECT_EQ(UninstallCommand("C:\\Program Files\\DQ2"),
              "\"C:\\Program Files\\DQ2\\DedicatedServerUtility\\Uninstall.exe\"");
    const std::string longFolder = "D:\\" + std::string(90, 'g');
    EXPECT_EQ(UninstallCommand(longFolder), longFolder + "\\DedicatedServerUtility\\Uninstall.exe");
    EXPECT_EQ(GameFolderFromChosen("C:\\"), "C:");
    EXPECT_EQ(GameFolderFromChosen("D:\\Games\\DQ2"), "D:\\Games\\DQ2");

    for (const char* bad : {"", "../x", "a/../b", "a..b", "/x", "\\x", "C:x", "a/b:c"})
        EXPECT_FALSE(IsSafeEntryName(bad)) << bad;
    for (const char* good : {"Config/", "DedicatedServerUtility/Config/NormalDM.cfg", "a.b/c"})
        EXPECT_TRUE(IsSafeEntryName(good)) << good;

    CInstallSettings settings;
    settings.m_strGameFolder = "C:\\Games\\DQ2";
    std::vector<CShortcutSpec> plan = PlanShortcuts(settings);
    ASSERT_EQ(plan.size(), 4u);
    const std::string folder = "C:\\Games\\DQ2\\DedicatedServerUtility";
    std::vector<std::string> rows;
    for (const CShortcutSpec& s : plan)
        rows.push_back(std::to_string(s.m_nSpecialFolder) + "|" + s.m_strGroupFolder + "|" + s.m_strLinkName + "|" +
                       s.m_strTarget + "|" + s.m_strWorkingFolder + "|" + s.m_strDescription);
    const std::string updater = folder + "\\Updater.exe|" + folder + "|Quorvably Dedicated!";
    EXPECT_EQ(rows, std::vector<std::string>(
                        {"0||DQ2 Dedicated Server Utility.lnk|" + updater,
                         "26||Microsoft\\Internet Explorer\\Quick Launch\\DQ2 Dedicated Server Utility.lnk|" + updater,
                         "2|DQ2 Dedicated Server Utility|DQ2 Dedicated Server Utility\\DQ2 Dedicated Server "
                         "Utility.lnk|" + updater,
                         "2|DQ2 Dedicated Server Utility|DQ2 Dedicated Server Utility\\Uninstall DQ2 Dedicated "
                         "Server Utility.lnk|" + folder + "\\Uninstall.exe|" + folder + "|"}));
    settings.m_bDesktopIcons = settings.m_bStartMenuIcons = false;
    EXPECT_EQ(PlanShortcuts(settings).size(), 1u);
}

}  // namespace
