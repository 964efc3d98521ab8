// File and path helpers shared by the Windows test programs that run under Wine.
#pragma once
#include <windows.h>

#include "platform/Platform.h"

#include <string>
#include <vector>

inline std::string WinPath(std::string path)
{
    // ctest hands over Unix paths; Wine sees them through drive Z:.
    if (!path.empty() && path[0] == '/')
        path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    while (path.size() > 3 && path.back() == '\\')
        path.pop_back();
    return path;
}

inline std::string JoinPath(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

// Makes the folder and the folders above it ("C:\a\b" makes "C:\a", then "C:\a\b").
inline void MakeDirectories(const std::string& path)
{
    for (size_t i = 3; i <= path.size(); ++i)
        if (i == path.size() || path[i] == '\\')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
}

// A file, or a folder with all it holds.
inline void RemoveTree(const std::string& path)
{
    if (!platform::IsDirectory(path)) {
        DeleteFileA(path.c_str());
        return;
    }
    for (const platform::CDirEntry& e : platform::ListDirectory(path))
        if (e.m_strName != "." && e.m_strName != "..")
            RemoveTree(JoinPath(path, e.m_strName));
    RemoveDirectoryA(path.c_str());
}

// False when a folder cannot be listed or a file not copied.
inline bool CopyTree(const std::string& from, const std::string& to)
{
    CreateDirectoryA(to.c_str(), nullptr);
    if (!platform::IsDirectory(from))
        return false;
    bool ok = true;
    for (const platform::CDirEntry& e : platform::ListDirectory(from)) {
        if (e.m_strName == "." || e.m_strName == "..")
            continue;
        if (e.m_bIsDirectory)
            ok = CopyTree(JoinPath(from, e.m_strName), JoinPath(to, e.m_strName)) && ok;
        else
            ok = CopyFileA(JoinPath(from, e.m_strName).c_str(), JoinPath(to, e.m_strName).c_str(), FALSE) && ok;
    }
    return ok;
}

// The whole file, shared with a writer that may be appending right now; empty when it cannot be
// read.
inline std::string ReadAll(const std::string& path)
{
    std::string out;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return out;
    char buf[4096];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof(buf), &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}

inline bool WriteAll(const std::string& path, const std::string& text)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(h);
    return ok && written == text.size();
}

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) nl = text.size();
        std::string line = text.substr(start, nl - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
        start = nl + 1;
    }
    return lines;
}
