// The few operating-system services the portable core needs. One header, two implementations:
// Platform_win.cpp (Win32 A functions) and Platform_posix.cpp (the native test build).
#pragma once
#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

namespace platform {

// Path separator used when the core joins paths: '\\' on Windows, '/' natively.
extern const char kSep;

struct CDirEntry {
    std::string m_strName;
    bool m_bIsDirectory = false;
};

// Lists the entries of a folder in the order the file system gives them, "." and ".." included
// when the file system reports them. An unreadable folder gives an empty list.
std::vector<CDirEntry> ListDirectory(const std::string& folder);

bool IsDirectory(const std::string& path);
bool FileExists(const std::string& path);
// Anything at all under that name: a file, a folder, or an entry we may not read.
bool PathExists(const std::string& path);
// Creates one folder level; true when it exists afterwards.
bool MakeDirectory(const std::string& path);
bool RemoveFile(const std::string& path);
// Replaces `target` with `source` in one operation (MoveFileEx with MOVEFILE_REPLACE_EXISTING, or
// rename(2)); the old target stays intact when this fails.
bool ReplaceFileWith(const std::string& source, const std::string& target);

// A local calendar time as an archive entry records it.
struct CLocalTime {
    int m_nYear = 1980, m_nMonth = 1, m_nDay = 1, m_nHour = 0, m_nMinute = 0, m_nSecond = 0;
};
// Sets a file's last-write (and last-access) time; false when the file cannot be changed.
bool SetFileModifiedTime(const std::string& path, const CLocalTime& when);

// Folder of the running program, without a trailing separator (the working directory natively).
std::string ProgramFolder();

// A lock for what two threads share (the utility log's file): a critical section on Windows, a
// mutex natively. Static ones are made before main and live to the end of the process.
class CLock {
public:
    CLock();
    ~CLock();
    CLock(const CLock&) = delete;
    CLock& operator=(const CLock&) = delete;
    void Acquire();
    void Release();

private:
    alignas(8) unsigned char m_storage[64];  // the system's lock object
};

class CLockHold {
public:
    explicit CLockHold(CLock& lock) : m_lock(lock) { m_lock.Acquire(); }
    ~CLockHold() { m_lock.Release(); }
    CLockHold(const CLockHold&) = delete;
    CLockHold& operator=(const CLockHold&) = delete;

private:
    CLock& m_lock;
};

// vsnprintf's contract on the C library's own formatter: the full length is returned, and at most
// size - 1 characters and a zero are written. For integers and text; decimals have base/Decimal.h.
int FormatV(char* buffer, std::size_t size, const char* format, std::va_list args);

}  // namespace platform
