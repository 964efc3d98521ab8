#include "base/StringPrintf.h"

#include "platform/Platform.h"

std::string StringPrintf(const char* format, ...)
{
    std::va_list args;
    va_start(args, format);
    std::string text = StringPrintfV(format, args);
    va_end(args);
    return text;
}

std::string StringPrintfV(const char* format, std::va_list args)
{
    char small[256];
    std::va_list copy;
    va_copy(copy, args);
    const int n = platform::FormatV(small, sizeof small, format, copy);
    va_end(copy);
    if (n < 0)
        return std::string();
    if (static_cast<size_t>(n) < sizeof small)
        return std::string(small, static_cast<size_t>(n));
    std::string big(static_cast<size_t>(n) + 1, '\0');
    platform::FormatV(&big[0], big.size(), format, args);
    big.resize(static_cast<size_t>(n));
    return big;
}

std::string WithCrLf(const std::string& text)
{
    std::string bytes;
    bytes.reserve(text.size() + text.size() / 16 + 2);
    for (char c : text) {
        if (c == '\n')
            bytes += '\r';
        bytes += c;
    }
    return bytes;
}
