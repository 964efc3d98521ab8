#include "installer/InstallRun.h"

#include "platform/Platform.h"

#include <unzip.h>

#include <cstdio>
#include <vector>

const char* const kStoppedStatus = "The installation has stopped. Installation.log tells why.";
const char* const kStoppedWithoutLogStatus = "The installation has stopped. Installation.log could not be written in:";

namespace {

// What became of one archive entry.
enum class EEntryOutcome { Written, Kept, Refused, Failed };

bool WriteWholeFile(const std::string& path, const void* data, std::size_t size)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(data, 1, size, f) == size;
    return std::fclose(f) == 0 && ok;
}

// Creates every folder along `relative` (an entry name with "/") below `base`.
bool MakeFoldersAlong(const std::string& base, const std::string& relative)
{
    for (std::size_t slash = relative.find('/'); slash != std::string::npos; slash = relative.find('/', slash + 1))
        if (!platform::MakeDirectory(base + relative.substr(0, slash)))
            return false;
    return true;
}

// The current entry's content into `path`, through a twin, so that a program file is either the
// old one or the whole new one. The twin takes the entry's time stamp before it moves in.
bool UnpackCurrentEntry(unzFile zip, const std::string& path, const unz_file_info& info)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    const std::string twin = path + ".new";
    std::FILE* f = std::fopen(twin.c_str(), "wb");
    bool ok = f != nullptr;
    std::vector<char> buffer(64 * 1024);
    while (ok) {
        int n = unzReadCurrentFile(zip, buffer.data(), static_cast<unsigned>(buffer.size()));
        if (n == 0)
            break;
        ok = n > 0 && std::fwrite(buffer.data(), 1, static_cast<std::size_t>(n), f) == static_cast<std::size_t>(n);
    }
    // Closing the entry checks its CRC.
    ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
    if (f)
        ok = std::fclose(f) == 0 && ok;
    if (ok) {
        const tm_unz& d = info.tmu_date;
        platform::CLocalTime when;
        when.m_nYear = static_cast<int>(d.tm_year);
        when.m_nMonth = static_cast<int>(d.tm_mon) + 1;
        when.m_nDay = static_cast<int>(d.tm_mday);
        when.m_nHour = static_cast<int>(d.tm_hour);
        when.m_nMinute = static_cast<int>(d.tm_min);
        when.m_nSecond = static_cast<int>(d.tm_sec);
        platform::SetFileModifiedTime(twin, when);
        ok = platform::ReplaceFileWith(twin, path);
    }
    if (!ok)
        platform::RemoveFile(twin);
    return ok;
}

EEntryOutcome UnpackEntry(unzFile zip, const std::string& base, const std::string& name, const unz_file_info& info)
{
    if (!IsSafeEntryName(name))
        return EEntryOutcome::Refused;
    if (!MakeFoldersAlong(base, name))
        return EEntryOutcome::Failed;
    if (name.back() == '/')
        return EEntryOutcome::Written;  // a folder entry only makes its folder
    const std::string path = base + name;
    if (IsUserDataEntry(name) && platform::FileExists(path))
        return EEntryOutcome::Kept;
    return UnpackCurrentEntry(zip, path, info) ? EEntryOutcome::Written : EEntryOutcome::Failed;
}

// Without a log to tell why, the status says so and the detail line names the folder it could
// not be written in: pointing at a log that is not there would send the user looking for nothing.
void StopRun(CInstallView& view, const CInstallationLog& log, const CInstallSettings& settings)
{
    view.SetStatusLine(log.IsOpen() ? kStoppedStatus : kStoppedWithoutLogStatus);
    view.SetDetailLine(log.IsOpen() ? std::string() : InstallTargetFolder(settings.m_strGameFolder));
    view.ShowStopped();
}

void CreateShortcuts(CInstallSystem& system, CInstallationLog& log, const CInstallSettings& settings)
{
    for (const CShortcutSpec& spec : PlanShortcuts(settings)) {
        std::string linkPath;
        switch (system.MakeShortcut(spec, linkPath)) {
        case CInstallSystem::EShortcutResult::Skipped:
            break;
        case CInstallSystem::EShortcutResult::Saved:
            log.Printf("  %s created.\n", linkPath.c_str());
            break;
        case CInstallSystem::EShortcutResult::Failed:
            log.Printf("  Error!  %s NOT Written! CreateShortCut() failed!\n", linkPath.c_str());
            break;
        }
    }
}

void WriteRegistryValues(CInstallSystem& system, CInstallationLog& log, const CInstallSettings& settings)
{
    const char* const settingsKey = "  HKEY_CURRENT_USER\\Software\\Tollan\\Settings";
    if (system.WriteSettingsNumber("CurrentVersion", kInstalledVersion))
        log.Printf("%s CurrentVersion Value Created\n", settingsKey);
    if (system.WriteSettingsText("GamePath", settings.m_strGameFolder))
        log.Printf("%s GamePath Value Created\n", settingsKey);
    if (system.WriteSettingsNumber("CheckForUpdate", 0))
        log.Printf("%s CheckForUpdate Value Created\n", settingsKey);
    if (system.WriteUninstallEntry(kUninstallDisplayName, UninstallCommand(settings.m_strGameFolder)))
        log.Printf("  HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tollan "
                   "Values Created\n");
}

}  // namespace

bool RunInstallation(CInstallView& view, CInstallSystem& system, CInstallationLog& log,
                     const CInstallSettings& settings)
{
    view.HideBackAndNext();
    view.SetHeader("Installing", "The program features you have selected are being installed.");
    system.Pause(100);

    // A running Tollan holds its program file and may rewrite History.ini under us.
    if (system.IsUtilityRunning()) {
        log.Printf("  Error!  The DQ2 Dedicated Server Utility is running. Close it, then run the Installer again.\n");
        StopRun(view, log, settings);
        return false;
    }

    // The temporary archive lives in a folder of our own, so it can never replace a user's file.
    const void* payload = nullptr;
    std::size_t payloadSize = 0;
    std::string tempFolder;
    std::string archive;
    bool created = system.GetPayload(payload, payloadSize) && payloadSize > 0;
    if (created) {
        tempFolder = system.MakeTempFolder();
        created = !tempFolder.empty();
    }
    if (created) {
        archive = tempFolder + platform::kSep + "Installer.zip";
        created = WriteWholeFile(archive, payload, payloadSize);
    }
    if (!created) {
        log.Printf("  Error!  Failed to Create Installer.zip file.\n");
        if (!tempFolder.empty()) {
            platform::RemoveFile(archive);
            system.RemoveTempFolder(tempFolder);
        }
        StopRun(view, log, settings);
        return false;
    }
    log.Printf("Created Installer.zip file.\n\n");

    const std::string& game = settings.m_strGameFolder;
    const std::string base = game + platform::kSep;
    unzFile zip = unzOpen(archive.c_str());
    if (!zip) {
        log.Printf("  Error!  Failed to Open Installer.zip file.\n");
        platform::RemoveFile(archive);
        system.RemoveTempFolder(tempFolder);
        StopRun(view, log, settings);
        return false;
    }

    log.Printf("Extracting files from Installer.zip...\n");
    unz_global_info global{};
    unzGetGlobalInfo(zip, &global);
    const int entries = static_cast<int>(global.number_entry);
    view.SetProgressRange(entries);
    int failures = 0;
    for (int i = 0; i < entries; ++i) {
        // Entry i is the current one after i steps from the first.
        int rc = i == 0 ? unzGoToFirstFile(zip) : unzGoToNextFile(zip);
        unz_file_info info{};
        // Names of up to 260 characters; a longer one would arrive cut, so it is refused.
        char nameBuf[261] = "";
        if (rc == UNZ_OK)
            rc = unzGetCurrentFileInfo(zip, &info, nameBuf, sizeof nameBuf - 1, nullptr, 0, nullptr, 0);
        nameBuf[sizeof nameBuf - 1] = '\0';
        const std::string name = nameBuf;
        EEntryOutcome outcome = EEntryOutcome::Failed;
        if (rc == UNZ_OK)
            outcome = info.size_filename >= sizeof nameBuf ? EEntryOutcome::Refused
                                                           : UnpackEntry(zip, base, name, info);
        view.SetDetailLine("Extracting:  " + name);
        switch (outcome) {
        case EEntryOutcome::Written:
            if (name.find('.') != std::string::npos)
                log.Printf("  %s\\%s\n", game.c_str(), name.c_str());
            break;
        case EEntryOutcome::Kept:
            log.Printf("  %s\\%s already exists and is kept.\n", game.c_str(), name.c_str());
            break;
        case EEntryOutcome::Refused:
            log.Printf("  Error!  Refused the unsafe entry name %s.\n", name.c_str());
            ++failures;
            break;
        case EEntryOutcome::Failed:
            log.Printf("  Error!  Failed to extract %s\\%s.\n", game.c_str(), name.c_str());
            ++failures;
            break;
        }
        view.SetProgressPos(i + 1);
        system.Pause(100);
    }
    unzClose(zip);

    if (platform::RemoveFile(archive))
        log.Printf("\nInstaller.zip Deleted.\n");
    else
        log.Printf("\n  Error!  Failed to Delete Installer.zip file.\n");
    system.RemoveTempFolder(tempFolder);

    // Shortcuts and the uninstall entry would point at files that are not all there.
    if (failures > 0) {
        log.Printf("\n  Error!  %d of %d entries could not be installed; no shortcut or registry value was "
                   "created.\n",
                   failures, entries);
        StopRun(view, log, settings);
        return false;
    }

    view.SetDetailLine("");
    view.SetStatusLine("Creating Shortcuts...");
    log.Printf("\nCreating Shortcuts...\n");
    CreateShortcuts(system, log, settings);
    system.Pause(200);

    view.SetStatusLine("Creating Registry Values...");
    log.Printf("\nCreating Registry Values...\n");
    WriteRegistryValues(system, log, settings);
    system.Pause(200);

    view.SetStatusLine("Installation Tasks Completed Successfully.");
    log.Printf("\nInstallation Tasks Completed Successfully.\n");
    system.Pause(100);

    view.ShowEndState();
    return true;
}
