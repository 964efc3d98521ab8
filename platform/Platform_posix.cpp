#include "platform/Platform.h"

#include <dirent.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utime.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace platform {

const char kSep = '/';

std::vector<CDirEntry> ListDirectory(const std::string& folder)
{
    std::vector<CDirEntry> entries;
    DIR* dir = opendir(folder.c_str());
    if (!dir)
        return entries;
    while (dirent* e = readdir(dir)) {
        CDirEntry entry;
        entry.m_strName = e->d_name;
        entry.m_bIsDirectory = IsDirectory(folder + "/" + entry.m_strName);
        entries.push_back(std::move(entry));
    }
    closedir(dir);
    return entries;
}

bool IsDirectory(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool FileExists(const std::string& path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0 || (errno != ENOENT && errno != ENOTDIR);
}

bool MakeDirectory(const std::string& path)
{
    return mkdir(path.c_str(), 0777) == 0 || IsDirectory(path);
}

bool RemoveFile(const std::string& path) { return std::remove(path.c_str()) == 0; }

bool ReplaceFileWith(const std::string& source, const std::string& target)
{
    return std::rename(source.c_str(), target.c_str()) == 0;
}

bool SetFileModifiedTime(const std::string& path, const CLocalTime& when)
{
    std::tm tm{};
    tm.tm_year = when.m_nYear - 1900;
    tm.tm_mon = when.m_nMonth - 1;
    tm.tm_mday = when.m_nDay;
    tm.tm_hour = when.m_nHour;
    tm.tm_min = when.m_nMinute;
    tm.tm_sec = when.m_nSecond;
    tm.tm_isdst = -1;
    std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1))
        return false;
    utimbuf times{t, t};
    return utime(path.c_str(), &times) == 0;
}

std::string ProgramFolder()
{
    char buf[4096];
    return getcwd(buf, sizeof buf) ? std::string(buf) : std::string(".");
}

}  // namespace platform

int platform::FormatV(char* buffer, std::size_t size, const char* format, std::va_list args)
{
    return std::vsnprintf(buffer, size, format, args);
}

static_assert(sizeof(pthread_mutex_t) <= 64, "the lock's storage holds a mutex");

platform::CLock::CLock() { pthread_mutex_init(reinterpret_cast<pthread_mutex_t*>(m_storage), nullptr); }
platform::CLock::~CLock() { pthread_mutex_destroy(reinterpret_cast<pthread_mutex_t*>(m_storage)); }
void platform::CLock::Acquire() { pthread_mutex_lock(reinterpret_cast<pthread_mutex_t*>(m_storage)); }
void platform::CLock::Release() { pthread_mutex_unlock(reinterpret_cast<pthread_mutex_t*>(m_storage)); }
