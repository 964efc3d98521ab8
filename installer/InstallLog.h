// Installation.log: the Installer's only report. No time stamps and no tags; error lines start
// with "  Error!  ". Each message is formatted, cut to 255 characters and appended unchanged,
// with "\n" written as CR LF.
#pragma once
#include <cstdio>
#include <string>

class CInstallationLog {
public:
    CInstallationLog() = default;
    ~CInstallationLog() { Close(); }
    CInstallationLog(const CInstallationLog&) = delete;
    CInstallationLog& operator=(const CInstallationLog&) = delete;

    // Replaces any earlier log. When it cannot be opened, nothing is logged, without a message.
    bool Open(const std::string& path);
    bool IsOpen() const { return m_file != nullptr; }
    void Printf(const char* format, ...)
#if defined(__GNUC__)
        __attribute__((format(printf, 2, 3)))
#endif
        ;
    void Close();

private:
    std::FILE* m_file = nullptr;
};
