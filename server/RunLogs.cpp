#include "server/RunLogs.h"

#include "base/GamePaths.h"
#include "base/StringPrintf.h"

#include <cstring>

std::string RunLogsFolder(const std::string& gameFolder)
{
    return UtilityFolderPath(gameFolder) + platform::kSep + "Logs";
}

std::string RunLogName(const platform::CLocalTime& t, const std::string& config)
{
    std::string name = config.empty() ? "_" : config;
    for (char& c : name)
        if (static_cast<unsigned char>(c) < 32 || c == 127 || std::strchr("\\/:*?\"<>|", c))
            c = '_';
    return StringPrintf("%04d-%02d-%02d %02d-%02d-%02d ", t.m_nYear, t.m_nMonth, t.m_nDay, t.m_nHour, t.m_nMinute, t.m_nSecond) + name +
           ".log";
}

bool IsRunLogName(const std::string& name)
{
    static const char kShape[] = "0000-00-00 00-00-00 ";
    const std::size_t n = sizeof kShape - 1;
    if (name.size() < n + 5 || name.compare(name.size() - 4, 4, ".log") != 0)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (kShape[i] == '0' ? name[i] < '0' || name[i] > '9' : name[i] != kShape[i])
            return false;
    return true;
}

std::vector<std::string> PlanRunLogPruning(const std::vector<std::string>& names, const std::string& keep)
{
    // A folder holds some thirty of them: counting the newer ones for each is cheap, and smaller
    // than a sort.
    auto counts = [&](const std::string& s) { return s != keep && IsRunLogName(s); };
    std::vector<std::string> gone;
    for (const std::string& name : names) {
        std::size_t newer = 0;
        for (const std::string& other : names)
            newer += counts(other) && other > name;
        if (counts(name) && newer >= kRunLogsKept - 1)
            gone.push_back(name);
    }
    return gone;
}

bool PruneRunLogs(const std::string& folder, const std::string& keep)
{
    std::vector<std::string> files;
    for (const platform::CDirEntry& entry : platform::ListDirectory(folder))
        if (!entry.m_bIsDirectory)
            files.push_back(entry.m_strName);
    bool ok = true;
    for (const std::string& name : PlanRunLogPruning(files, keep))
        ok = platform::RemoveFile(folder + platform::kSep + name) && ok;
    return ok;
}
