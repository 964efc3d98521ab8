#include "installer/InstallLog.h"

#include "base/StringPrintf.h"
#include "platform/Platform.h"

#include <cstdarg>

bool CInstallationLog::Open(const std::string& path)
{
    Close();
    // Binary mode, CR LF written by us: the same bytes on every build.
    m_file = std::fopen(path.c_str(), "wb");
    return m_file != nullptr;
}

void CInstallationLog::Printf(const char* format, ...)
{
    if (!m_file)
        return;
    char text[256];
    va_list args;
    va_start(args, format);
    const int n = platform::FormatV(text, sizeof text, format, args);
    va_end(args);
    if (n < 0)
        return;
    const std::string out = WithCrLf(text);
    std::fwrite(out.data(), 1, out.size(), m_file);
    // The run may end in a crash or a kill; what was logged so far is on disk.
    std::fflush(m_file);
}

void CInstallationLog::Close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}
