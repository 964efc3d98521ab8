#include "base/UtilityLog.h"

#include "base/OwnFolder.h"
#include "base/StringPrintf.h"
#include "platform/Platform.h"

#include <cstdarg>
#include <cstdio>

namespace {
platform::CLock g_logLock;
}

std::string FormatLogPrefix(const std::tm& t)
{
    return StringPrintf("%02d/%02d/%02d %02d:%02d:%02d - ", (t.tm_mon + 1) % 100, t.tm_mday % 100,
                        t.tm_year % 100, t.tm_hour % 100, t.tm_min % 100, t.tm_sec % 100);
}

std::string UtilityLogPath() { return OwnFile("Tollan.log"); }

void LogMessage(const char* format, ...)
{
    // The message is formatted once into 255 characters; what an argument brings in (a "%"
    // typed by the user, say) is copied as it is and never formatted again.
    char message[256];
    va_list args;
    va_start(args, format);
    platform::FormatV(message, sizeof message, format, args);
    va_end(args);

    std::time_t now = std::time(nullptr);
    std::tm local{};
#if defined(_WIN32)
    local = *std::localtime(&now);
#else
    localtime_r(&now, &local);
#endif
    const std::string entry = WithCrLf(FormatLogPrefix(local) + message);

    // One lock, one write and one close per entry: the entry reaches the file whole, and is on
    // disk when we return.
    platform::CLockHold hold(g_logLock);
    if (std::FILE* f = std::fopen(UtilityLogPath().c_str(), "ab")) {
        std::fwrite(entry.data(), 1, entry.size(), f);
        std::fclose(f);
    }
}
