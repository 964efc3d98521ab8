#include "platform/Platform.h"

#include <windows.h>

#include <cstdio>

namespace platform {

const char kSep = '\\';

std::vector<CDirEntry> ListDirectory(const std::string& folder)
{
    std::vector<CDirEntry> entries;
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((folder + "\\*.*").c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return entries;
    do {
        entries.push_back({fd.cFileName, (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
    } while (FindNextFileA(h, &fd));
    FindClose(h);
    return entries;
}

bool IsDirectory(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path)
{
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool PathExists(const std::string& path)
{
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    // A file held open without sharing can refuse even its attributes.
    DWORD error = GetLastError();
    return error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND && error != ERROR_INVALID_NAME;
}

bool MakeDirectory(const std::string& path)
{
    return CreateDirectoryA(path.c_str(), nullptr) || IsDirectory(path);
}

bool RemoveFile(const std::string& path) { return ::DeleteFileA(path.c_str()) != 0; }

bool ReplaceFileWith(const std::string& source, const std::string& target)
{
    return MoveFileExA(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool SetFileModifiedTime(const std::string& path, const CLocalTime& when)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(when.m_nYear);
    st.wMonth = static_cast<WORD>(when.m_nMonth);
    st.wDay = static_cast<WORD>(when.m_nDay);
    st.wHour = static_cast<WORD>(when.m_nHour);
    st.wMinute = static_cast<WORD>(when.m_nMinute);
    st.wSecond = static_cast<WORD>(when.m_nSecond);
    FILETIME local, utc;
    if (!SystemTimeToFileTime(&st, &local) || !LocalFileTimeToFileTime(&local, &utc))
        return false;
    HANDLE h = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    BOOL ok = SetFileTime(h, nullptr, &utc, &utc);
    CloseHandle(h);
    return ok != 0;
}

std::string ProgramFolder()
{
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string path(buf, n);
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

}  // namespace platform

// msvcrt's own formatter: the C99 one of MinGW would add its float code to every program.
int platform::FormatV(char* buffer, std::size_t size, const char* format, std::va_list args)
{
    std::va_list copy;
    va_copy(copy, args);
    const int length = _vscprintf(format, copy);
    va_end(copy);
    if (length < 0 || size == 0)
        return length;
    // _vsnprintf writes no zero when the text fills the buffer.
    _vsnprintf(buffer, size - 1, format, args);
    buffer[static_cast<std::size_t>(length) < size - 1 ? length : size - 1] = '\0';
    return length;
}

static_assert(sizeof(CRITICAL_SECTION) <= 64, "the lock's storage holds a critical section");

platform::CLock::CLock() { InitializeCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
platform::CLock::~CLock() { DeleteCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void platform::CLock::Acquire() { EnterCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
void platform::CLock::Release() { LeaveCriticalSection(reinterpret_cast<CRITICAL_SECTION*>(m_storage)); }
