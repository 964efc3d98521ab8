// printf into a std::string of any length. The C library formats the integers and the text;
// decimals go through FormatFixed2 and FormatSignificant15 (Decimal.h), never %f or %g, so that
// both builds produce the same bytes.
#pragma once
#include <cstdarg>
#include <string>

std::string StringPrintf(const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 1, 2)))
#endif
    ;
std::string StringPrintfV(const char* format, std::va_list args);

// The text with each "\n" written as CR LF, as Tollan's files and the console's lines carry it.
std::string WithCrLf(const std::string& text);
