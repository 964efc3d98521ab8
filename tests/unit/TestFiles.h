// Small helpers for tests that touch files: a private temporary folder, whole-file read and write.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include <unistd.h>

class TempDir {
public:
    TempDir()
    {
        char tmpl[] = "/tmp/tollan-test-XXXXXX";
        m_path = mkdtemp(tmpl);
    }
    ~TempDir() { std::system(("rm -rf '" + m_path + "'").c_str()); }
    const std::string& path() const { return m_path; }
    std::string operator/(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};

inline std::string ReadFile(const std::string& path)
{
    std::string out;
    if (std::FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

inline bool WriteFile(const std::string& path, const std::string& bytes)
{
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool FileExistsAt(const std::string& path)
{
    return access(path.c_str(), F_OK) == 0;
}

// Lines joined with CR LF, each ending in one.
inline std::string Crlf(std::initializer_list<std::string> lines)
{
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

// The entries of Tollan.log without their 20-character time prefixes, one per CR LF line.
inline std::vector<std::string> LogLines(const std::string& text)
{
    std::vector<std::string> out;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find("\r\n", pos);
        end = end == std::string::npos ? text.size() : end + 2;
        out.push_back(text.substr(pos + 20, end - pos - 20));
        pos = end;
    }
    return out;
}
